// The settings of dayplot by what they are, plus the program-wide values that the start
// sequence sets. The control table is the one place that ties each setting to its control
// in the settings window and its field in dayplot.ini. No widgets: the settings window
// and the runs without a window all sit on this.
#pragma once

#include <array>
#include <cstdint>
#include <expected>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "dayplot_names.h"
#include "read_result.h"
#include "readings_settings.h"
#include "settings_edits.h"
#include "settings_text.h"
#include "text_files.h"

namespace radmon {

// Default text of the FTP server box; the built-in account rule of the upload compares
// the server box against this very text.
inline constexpr std::string_view kDefaultFtpServer = "ftp.example.com";

// The periods of "today every N minutes", in the order of their option buttons; the
// first is the one selected when nothing else is.
inline constexpr std::array<int16_t, 4> kRealtimePeriods = {10, 20, 30, 60};
// "Yesterday at HH:MM", compared with the clock as texts.
inline constexpr std::string_view kDefaultStartHour = "00";
inline constexpr std::string_view kDefaultStartMinute = "03";

// Ticks hold 0 (cleared) or 1 (ticked); exactly one period is selected in a well-formed
// file, but a short file can leave none selected.
struct DayplotSettings {
  std::string place = "大阪府大阪市";              // measurement place, on the graph
  std::string dataPath;                            // the day files' path as shown in the window
  std::string graphName{kDefaultGraphName};        // the graph images' base name
  std::string scaleMaximum = "2";                  // vertical full scale, μSv/h
  std::string dataPrefix = "μSVHData";             // the day files' name before the date
  std::string tube = "自作GM管";                   // tube name, on the graph
  std::string manualYear, manualMonth, manualDay;  // the day processed by hand
  int jpeg = 1;
  int bmp = 0;
  int todayEvery = 0;                                       // today's graph every N minutes
  std::array<bool, 4> every = {true, false, false, false};  // N, by kRealtimePeriods
  int yesterdayAt = 0;  // yesterday's graph (and its month) at HH:MM
  std::string atHour = std::string(kDefaultStartHour);
  std::string atMinute = std::string(kDefaultStartMinute);
  int upload = 0;  // send each graph to the server after drawing it
  std::string server = std::string(kDefaultFtpServer);
  std::string user;
  std::string password;   // in clear, as the file has always held it
  std::string subFolder;  // on the server; may be empty

  // Selects period n (1 to 4) the way a click or a True does: the others are cleared.
  void selectOption(int n);
  bool option(int n) const { return n >= 1 && n <= 4 && every[n - 1]; }

  friend bool operator==(const DayplotSettings&, const DayplotSettings&) = default;
};

// One control of the settings window: its objectName, the name --show-settings and
// --set know a saved setting by, and the setting it holds (a text, a tick or period n of
// the option buttons, which share one key). The first kFileFields controls are the
// fields of dayplot.ini in the file's order; a line of the file ends after each marked.
// A text's rule is what --set and the window take for it, by what it is used as.
struct DayplotControl {
  const char* name;
  const char* key;
  std::string DayplotSettings::*text = nullptr;
  int DayplotSettings::*tick = nullptr;
  int option = 0;  // 1 to 4
  bool endsLine = false;
  ValueRule rule{};
};
inline constexpr size_t kFileFields = 21;

inline constexpr std::array<DayplotControl, 24> kDayplotControls{{
    {"Text1", "place", &DayplotSettings::place},
    {"Text2", "data_path", &DayplotSettings::dataPath},
    {"Text3", "graph_name", &DayplotSettings::graphName, nullptr, 0, false, {ValueRule::FileName}},
    {"Text4",
     "scale_max_usv_h",
     &DayplotSettings::scaleMaximum,
     nullptr,
     0,
     false,
     {ValueRule::Any, 0, 0,
      QT_TRANSLATE_NOOP("Options", "目盛りの上限 (μSv/h) として 0 より大きい数")}},
    {"Text5",
     "data_prefix",
     &DayplotSettings::dataPrefix,
     nullptr,
     0,
     false,
     {ValueRule::FileName}},
    {"Text6", "tube", &DayplotSettings::tube},
    {"Text10",
     "yesterday_minute",
     &DayplotSettings::atMinute,
     nullptr,
     0,
     false,
     {ValueRule::Any, 0, 0, QT_TRANSLATE_NOOP("Options", "00 から 59 までの 2 桁の分 (例: 05)")}},
    {"Text11",
     "yesterday_hour",
     &DayplotSettings::atHour,
     nullptr,
     0,
     true,
     {ValueRule::Any, 0, 0, QT_TRANSLATE_NOOP("Options", "00 から 23 までの 2 桁の時 (例: 03)")}},
    {"Check1", "jpeg", nullptr, &DayplotSettings::jpeg},
    {"Check2", "bmp", nullptr, &DayplotSettings::bmp},
    {"Check3", "today_graph", nullptr, &DayplotSettings::todayEvery},
    {"Check4", "yesterday_graph", nullptr, &DayplotSettings::yesterdayAt, 0, true},
    {"Option1", "today_every_minutes", nullptr, nullptr, 1},
    {"Option2", "today_every_minutes", nullptr, nullptr, 2},
    {"Option3", "today_every_minutes", nullptr, nullptr, 3},
    {"Option4", "today_every_minutes", nullptr, nullptr, 4, true},
    {"Text12", "upload_server", &DayplotSettings::server, nullptr, 0, false, {ValueRule::Server}},
    {"Text13", "upload_user", &DayplotSettings::user},
    {"Text14", "upload_password", &DayplotSettings::password},
    {"Check5", "upload", nullptr, &DayplotSettings::upload},
    {"Text15", "upload_folder", &DayplotSettings::subFolder, nullptr, 0, true},
    // The date boxes are not saved.
    {"Text7", nullptr, &DayplotSettings::manualYear},
    {"Text8", nullptr, &DayplotSettings::manualMonth},
    {"Text9", nullptr, &DayplotSettings::manualDay},
}};

// ratemon's live page reads the names alone, by their places in the file.
static_assert(kDayplotControls[kPlaceField].text == &DayplotSettings::place);
static_assert(kDayplotControls[kGraphNameField].text == &DayplotSettings::graphName);

// The control of a text or a tick.
template <class T>
const DayplotControl& controlOf(T DayplotSettings::*field) {
  for (const DayplotControl& c : kDayplotControls)
    if constexpr (std::is_same_v<T, int>) {
      if (c.tick == field) return c;
    } else if (c.text == field)
      return c;
  return kDayplotControls[0];  // every field has its control
}
// Whether a control's value is kept in dayplot.ini.
inline bool savedInFile(const DayplotControl& c) { return &c < &kDayplotControls[kFileFields]; }

// The settings window's controls together with the program-wide values of the start
// sequence.
struct DayplotStart {
  DayplotSettings controls;
  std::string DataFolder;                          // ends with the separator
  int16_t RealtimeInterval = kRealtimePeriods[0];  // minutes, one of kRealtimePeriods
  ReadingsSettings readings;                       // dayplot_readings.ini beside dayplot.ini
  // Its lines that are no known setting; an empty one when the file cannot be read.
  std::vector<LineIssue<SettingsIssue>> readingsIssues;
};

// Applies the text of a settings file to the settings as the start sequence does: the
// file's fields in the control table's order, comma and line end alike. Fields the file
// does not hold are applied as empty values; a field that does not convert to its
// control's type leaves that control as it was. Returns the period the option fields give (the
// first when none is True).
int16_t applySettingsText(std::string_view fileText, DayplotSettings& controls);

// The four lines of the settings file for the current controls, CR LF ended; every
// text is written as `savableText` gives it, so the file always reads back.
std::string settingsFileText(const DayplotSettings& controls);

// The data folder that the data path names: when it ends in "csv" (case counts) it is a file
// path and the folder is everything up to its last separator (empty without one);
// otherwise a typed folder is not used and `fallback` stays.
std::string dataFolderFromPath(std::string_view recordPath, std::string_view fallback);

enum class DayplotIniFault { Unreadable };
using DayplotStartRead = ReadResult<DayplotStart, DayplotIniFault>;

// The start sequence's data steps: defaults, the data path and `DataFolder` from the
// program folder, the date boxes from `today` (yyyymmdd), then the settings file when it
// exists. `programFolder` ends with the separator. A file that cannot be read leaves the
// defaults and is told as the file's fault (line 0).
DayplotStartRead startSettings(const std::string& programFolder, std::string_view todayYyyymmdd);

// program folder + "dayplot.ini" (dayplotIniPath).
std::string settingsFilePath(const std::string& programFolder);

// Writes the settings file atomically and readable by its owner alone, since it holds
// the FTP password. Returns what failed when it cannot be written.
std::expected<void, WriteFault> saveSettingsFile(const std::string& path,
                                                 const DayplotSettings& controls);

}  // namespace radmon
