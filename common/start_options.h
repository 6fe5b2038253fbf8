// The options both programs take before their own: --station DIR and --lang ja|en, and
// the language of the interface that follows from them and from the desktop's locale.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings_edits.h"

namespace radmon {

// Japanese is the language the texts are written in and the default.
enum class UiLanguage { Japanese, English };

// The locale variables of the process, as they stand (unset and empty alike).
struct LocaleVariables {
  std::optional<std::string> language;  // LANGUAGE, GNU's list of languages
  std::optional<std::string> lcAll;
  std::optional<std::string> lcMessages;
  std::optional<std::string> lang;
};

// --lang when given ("ja" or "en", no value for anything else); otherwise Japanese when
// the messages' locale is Japanese, C/POSIX or unset, English for any other language. The locale is
// the first set of LC_ALL, LC_MESSAGES and LANG; LANGUAGE's first entry goes before it
// unless that locale is C or POSIX, as gettext does it.
std::optional<UiLanguage> chooseUiLanguage(const std::optional<std::string>& option,
                                           const LocaleVariables& locale);
LocaleVariables processLocale();

// The command line without --station, --create, --lang, --show-settings and --set, ready for
// QApplication (which keeps references to argc and argv for its whole life): not copyable, kept in
// main().
class StartOptions {
 public:
  StartOptions(int argc, char** argv);
  StartOptions(const StartOptions&) = delete;
  StartOptions& operator=(const StartOptions&) = delete;

  int& argc() { return argc_; }
  char** argv() { return argv_.data(); }
  const std::vector<std::string>& args() const { return args_; }
  const std::optional<std::string>& station() const { return station_; }
  // --create: the folder named by --station is made when it does not exist.
  bool createStation() const { return createStation_; }
  UiLanguage language() const { return language_; }
  // --lang was given: it goes over the station's language setting.
  bool languageGiven() const { return languageGiven_; }
  // --show-settings and --set key=value: the settings are listed or changed, and the
  // program ends.
  const SettingsCommand& settingsCommand() const { return settings_; }
  enum class Problem { None, StationWithoutFolder, UnknownLanguage };
  // What was wrong with --station or --lang; the program words it.
  Problem problem() const { return problem_; }

 private:
  std::vector<std::string> args_;
  std::vector<char*> argv_;
  int argc_ = 0;
  std::optional<std::string> station_;
  bool createStation_ = false;
  UiLanguage language_ = UiLanguage::Japanese;
  bool languageGiven_ = false;
  Problem problem_ = Problem::None;
  SettingsCommand settings_;
};

}  // namespace radmon
