// The interface's language: Japanese is written in the code; English comes from
// radmon_en.qm, built from radmon_en.ts and carried inside the programs.
#pragma once

#include <expected>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "command_options.h"
#include "settings_edits.h"
#include "start_options.h"
#include "station_folder.h"

namespace radmon {

// Chooses the language before the Qt application is made; the translator is installed
// as the application starts, whichever of the program's modes makes it.
void useUiLanguage(UiLanguage language);
// The language chosen, for what differs beyond the texts (a new station's defaults).
UiLanguage uiLanguage();

// `source` (marked for lupdate with QT_TRANSLATE_NOOP(context, ...)) in the chosen
// language, also before the Qt application exists: for the texts of the command line.
std::string uiText(const char* context, const char* source);

// The start's own texts, the same for both programs.
std::string optionProblemText(StartOptions::Problem problem);
std::string stationInUseText(const std::string& folder);
std::string stationFailedText(const std::string& folder, const std::string& reason);
// Why the station folder was refused or could not be made, naming it.
std::string stationFaultText(const StationRefusal& refusal);

// The usage of `program` in the interface's language.
std::string programUsage(const ProgramOptions& program);
// The sentence for a faulty command line, naming the argument, and the usage.
std::string optionFaultText(const ProgramOptions& program, const OptionCheck& check);
// Answers what needs no more of the program, `args` without the program name: --help
// (the help on stdout, 0), the build's --man (the English man page on stdout, 0) and a
// command line the declaration refuses (the fault and the usage on stderr, 2). Nothing,
// and no output, when the program goes on with the options read into `check`.
std::optional<int> answerCommandLine(const ProgramOptions& program,
                                     const std::vector<std::string>& args,
                                     OptionCheck* check = nullptr);
// The start of a program without a station (gmsim, radmon-collect): takes --lang out of
// `args` (argv as strings) and takes up its language, or the locale's when it is refused,
// then answers as answerCommandLine does; a refused --lang ends with the usage (2).
std::optional<int> startCommandLine(const ProgramOptions& program, std::vector<std::string>& args,
                                    OptionCheck* check = nullptr);

// The words of --show-settings and --set, the same for both programs.
std::string settingChangedText(const SettingChanged& change);
std::string settingsUnchangedText();
std::string editRefusedText(const EditRefused& refused);
// Why a value breaks its setting's rule, one sentence for --set and the windows alike.
std::string valueFaultText(const ValueFault& fault);
std::string malformedEditText(const std::string& argument);

// Lists or changes the settings of a station: `files` as read, `save` writes those of
// the files that differ between its two arguments and gives the operator's sentence
// when one cannot be written. A refused edit changes no file. The exit status: 0 done,
// 1 refused or not written, 2 a --set without key=value.
template <class Files>
int runSettingsCommand(
    const SettingsCommand& command, const std::vector<SettingKey<Files>>& keys, Files files,
    const std::function<std::expected<void, std::string>(const Files&, const Files&)>& save,
    std::ostream& out, std::ostream& err) {
  if (command.malformed) {
    err << malformedEditText(*command.malformed) << std::endl;
    return 2;
  }
  if (!command.edits.empty()) {
    const Files before = files;
    const auto changes = applySettingsEdits(keys, files, command.edits);
    if (!changes) {
      err << editRefusedText(changes.error()) << std::endl;
      return 1;
    }
    if (auto saved = save(before, files); !saved) {
      err << saved.error() << std::endl;
      return 1;
    }
    for (const auto& change : *changes) {
      out << settingChangedText(change) << "\n";
      for (const auto& k : keys)
        if (k.note && change.key == k.key) out << uiText("Options", k.note) << "\n";
    }
    if (changes->empty()) out << settingsUnchangedText() << "\n";
  }
  if (command.show) out << settingsListing(keys, files);
  out.flush();
  return 0;
}

}  // namespace radmon
