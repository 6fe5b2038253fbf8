// dayplot: draws and publishes the day graph of the radiation monitor.
// For now only the run without windows exists; the settings window comes later and
// will be started when no argument is given.
#include <QGuiApplication>
#include <cstdio>
#include <string_view>

#include "process_mode.h"
#include "text_files.h"

namespace {

constexpr const char* kUsage =
    "使い方: dayplot --process YYYYMMDD\n"
    "  指定した日のグラフを描き、dayplot.ini の設定どおりに画像を保存します。\n"
    "  FTP転送が有効なら転送の終わりを待ち、失敗したときは終了コード3で終わります。\n";

// Stderr carries the operator's messages; Qt's own notes (a missing runtime folder and
// the like) would bury them. Real failures of Qt still come through.
void quietQtNotes(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
}

int processMain(int argc, char** argv, std::string_view day) {
  // A station without a screen has no display; the graph needs none.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(quietQtNotes);
  QGuiApplication app(argc, argv);
  radmon::StderrMessages messages;
  radmon::SystemClock clock;
  radmon::SpawnLauncher launcher;
  return radmon::runProcessMode(day, radmon::programFolder(), messages, clock, launcher);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string_view(argv[1]) == "--process") {
    return processMain(argc, argv, argv[2]);
  }
  std::fputs(kUsage, stderr);
  return radmon::kProcessFailed;
}
