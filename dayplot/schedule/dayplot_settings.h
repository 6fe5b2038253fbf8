// The settings of dayplot as the settings window holds them: one field per control,
// named after the control, plus the program-wide values that the start sequence sets.
// No widgets: the settings window and the headless run both sit on this.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "readings_settings.h"
#include "settings_text.h"
#include "text_files.h"

namespace radmon {

// Default text of the FTP server box; the built-in account rule of the upload compares
// the server box against this very text.
inline constexpr std::string_view kDefaultFtpServer = "ftp.example.com";

// The real-time periods in minutes of the option buttons `Option1` to `Option4`, in
// their order; the first is the one selected when nothing else is.
inline constexpr std::array<int16_t, 4> kRealtimePeriods = {10, 20, 30, 60};
// The daily run's start time boxes, compared as texts: hour `Text11`, minute `Text10`.
inline constexpr std::string_view kDefaultStartHour = "00";
inline constexpr std::string_view kDefaultStartMinute = "03";

// The controls' values. Check boxes hold 0 (cleared) or 1 (ticked); exactly one option
// button is selected in a well-formed file, but a short file can leave none selected.
struct DayplotSettings {
  std::string Text1 = "大阪府大阪市";  // measurement place
  std::string Text2;                    // data path shown in the window
  std::string Text3 = "μSVHGraph";     // output graph file name
  std::string Text4 = "2";              // vertical full scale, μSv/h
  std::string Text5 = "μSVHData";      // input data file name prefix
  std::string Text6 = "自作GM管";       // tube name
  std::string Text7, Text8, Text9;      // year, month, day of manual processing
  std::string Text10 = std::string(kDefaultStartMinute);
  std::string Text11 = std::string(kDefaultStartHour);
  std::string Text12 = std::string(kDefaultFtpServer);
  std::string Text13;                   // FTP user name
  std::string Text14;                   // FTP password, in clear
  std::string Text15;                   // server sub-folder
  int Check1 = 1;  // JPEG output
  int Check2 = 0;  // BMP output
  int Check3 = 0;  // real-time processing of today
  int Check4 = 0;  // automatic processing of yesterday
  int Check5 = 0;  // FTP upload after processing
  bool Option1 = true;  // every 10 minutes
  bool Option2 = false; // every 20 minutes
  bool Option3 = false; // every 30 minutes
  bool Option4 = false; // every 60 minutes

  // Sets option button n (1 to 4) the way a click or a True does: it becomes the one
  // selected, the others are cleared.
  void selectOption(int n);
  // Sets option button n to `value`; True selects it alone, False clears only it.
  void setOption(int n, bool value);
  bool option(int n) const;

  friend bool operator==(const DayplotSettings&, const DayplotSettings&) = default;
};

// The settings window's controls together with the program-wide values of the start
// sequence.
struct DayplotStart {
  DayplotSettings controls;
  std::string DataFolder;       // ends with the separator
  int16_t RealtimeInterval = kRealtimePeriods[0];  // minutes, one of kRealtimePeriods
  ReadingsSettings readings;    // dayplot_readings.ini beside dayplot.ini
  // Its lines that are no known setting; an empty one when the file cannot be read.
  std::vector<std::string> readingsIssues;
};

// Applies the text of a settings file to the controls as the start sequence does: 16
// fields, then 5, comma and line end alike. Fields the file does not hold are applied as
// empty values; a field that does not convert to its control's type leaves that control
// as it was. Returns the period the option fields give (the first when none is True).
int16_t applySettingsText(std::string_view fileText, DayplotSettings& controls);

// The four lines of the settings file for the current controls, CR LF ended; every
// text is written as `savableText` gives it, so the file always reads back.
std::string settingsFileText(const DayplotSettings& controls);

// The data folder that `Text2` names: when it ends in "csv" (case counts) it is a file
// path and the folder is everything up to its last separator (empty without one);
// otherwise a typed folder is not used and `fallback` stays.
std::string dataFolderFromPath(std::string_view recordPath, std::string_view fallback);

// The start sequence's data steps: defaults, `Text2` and `DataFolder` from the program
// folder, the date boxes from `today` (yyyymmdd), then the settings file when it exists.
// `programFolder` ends with the separator. Reading never fails: a file that cannot be
// read leaves the defaults.
DayplotStart startSettings(const std::string& programFolder, std::string_view todayYyyymmdd);

// program folder + "dayplot.ini".
std::string settingsFilePath(const std::string& programFolder);

// Writes the settings file atomically and readable by its owner alone, since it holds
// the FTP password. Returns what failed when it cannot be written.
std::optional<WriteFault> saveSettingsFile(const std::string& path,
                                           const DayplotSettings& controls);

}  // namespace radmon
