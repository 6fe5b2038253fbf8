#include "process_mode.h"

#include <exception>

#include "day_graph.h"
#include "dayplot_settings.h"
#include "settings_graph_source.h"

namespace radmon {

int runProcessMode(std::string_view targetDay, const std::string& programFolder,
                   MessageSink& messages, const Clock& clock) {
  if (!LocalDateTime::fromYyyymmdd(targetDay)) {
    messages.show("日付はyyyymmddの8桁で指定してください: " + std::string(targetDay));
    return kProcessFailed;
  }
  try {
    const DayplotStart start = startSettings(programFolder, clock.now().yyyymmdd());
    const SettingsGraphSource source(start.controls);
    DayGraph graph(source, messages, clock);
    const std::string TargetDay(targetDay);
    switch (graph.DrawDayGraph(start.DataFolder, TargetDay)) {
      case DayGraphResult::Done: return kProcessDone;
      case DayGraphResult::NoDayFile: return kProcessNoDayFile;
      case DayGraphResult::BadScale:
      case DayGraphResult::WriteFailed:
      case DayGraphResult::Failed: return kProcessFailed;
    }
  } catch (const std::exception& e) {
    messages.show(std::string("処理中にエラーが発生しました: ") + e.what());
  }
  return kProcessFailed;
}

}  // namespace radmon
