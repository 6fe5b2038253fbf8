// A program's command line, declared once: its forms (modes), its options with their
// value and one line of help, the files it reads and writes and the environment it
// heeds. The usage, --help, the argument faults and the man page all come from it.
// The help texts are the program's Japanese source texts, marked for the translator
// with QT_TRANSLATE_NOOP("Options", ...); the caller's `Translate` gives them in the
// interface's language.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "settings_edits.h"

namespace radmon {

// Options of one form or several: bit n is the n-th entry of ProgramOptions::modes.
using ModeSet = unsigned;
inline constexpr ModeSet kAllModes = ~0u;
constexpr ModeSet modeBit(int mode) { return 1u << mode; }

struct CommandOption {
  const char* name;   // "--input"; a name ending in ':' takes its value joined ("-t:60")
  const char* value;  // the placeholder ("SOURCE"); nullptr for a flag
  const char* help;   // one line, through the translator
  ModeSet modes = kAllModes;
  ModeSet requiredIn = 0;   // the forms that need it: no brackets in their synopsis
  bool repeatable = false;  // "..." in the synopsis
};

// The station folder's options of ratemon and dayplot, and the small programs' --lang.
inline constexpr CommandOption kStationOption{
    "--station", "DIR",
    QT_TRANSLATE_NOOP("Options",
                      "測定局フォルダ (設定、data/、ロックファイル)。既存のフォルダに限ります")};
inline constexpr CommandOption kCreateOption{
    "--create", nullptr, QT_TRANSLATE_NOOP("Options", "--station のフォルダがなければ作成します")};
inline constexpr CommandOption kMessagesLanguageOption{
    "--lang", "ja|en", QT_TRANSLATE_NOOP("Options", "メッセージの言語。なければロケールから")};

// --show-settings and --set, as ratemon and dayplot take them: each is the option of its
// form (`showMode`, `setMode`) and may stand in either.
CommandOption showSettingsOption(int showMode, int setMode);
CommandOption setSettingOption(int showMode, int setMode);

struct CommandMode {
  // The option that chooses this form, written first in its synopsis ("--headless");
  // nullptr for the form without one.
  const char* selector;
  const char* help;  // what the form does, through the translator
};

struct NamedText {
  const char* name;  // a file, a folder or a variable
  const char* help;  // through the translator
};

// The environment several programs read, in their pages' words.
inline constexpr NamedText kStationVariable{
    "RADMON_STATION", QT_TRANSLATE_NOOP("Options", "--station がないときの測定局フォルダ")};
inline constexpr NamedText kMqttPasswordVariable{
    "RADMON_MQTT_PASSWORD",
    QT_TRANSLATE_NOOP("Options", "--mqtt のアドレスにないときのパスワード")};
inline constexpr NamedText kLanguageVariables{
    "LANGUAGE, LC_ALL, LC_MESSAGES, LANG",
    QT_TRANSLATE_NOOP("Options", "--lang がないときの表示の言語")};

// A setting of --show-settings and --set, as its key table declares it.
struct SettingLine {
  std::string key;
  ValueRule rule;
  bool secret = false;
  const char* note = nullptr;  // SettingKey::note
};

struct ProgramOptions {
  const char* program;
  const char* summary;      // NAME's line, through the translator
  const char* description;  // a paragraph for the man page, through the translator
  std::vector<CommandMode> modes{};
  std::vector<CommandOption> options{};
  std::vector<NamedText> files{};
  std::vector<NamedText> environment{};
  const char* exitStatus = nullptr;  // through the translator, when the program has codes
  // The settings --set takes, each with what its value must be, after a paragraph on them
  // (SETTINGS); running the program as a systemd user service (SERVICES). Both through
  // the translator.
  const char* settingsHelp = nullptr;
  std::vector<SettingLine> settings{};
  const char* services = nullptr;
};

// The settings of a key table, for ProgramOptions::settings.
template <class Files>
std::vector<SettingLine> settingLines(const std::vector<SettingKey<Files>>& keys) {
  std::vector<SettingLine> lines;
  for (const auto& k : keys) lines.push_back({k.key, k.rule, k.secret, k.note});
  return lines;
}

// Gives the text of `source` in the interface's language (context "Options").
using Translate = std::string (*)(const char* context, const char* source);

enum class OptionFault { None, Unknown, MissingValue };

struct OptionCheck {
  OptionFault fault = OptionFault::None;
  std::string argument;                   // the argument at fault
  const CommandOption* option = nullptr;  // for MissingValue
  int mode = 0;                           // the form the arguments chose
  bool help = false;                      // --help was given
  // The options given, in their order, each with its value ("" for a flag).
  std::vector<std::pair<std::string, std::string>> given{};
  // The value of the last `name` given.
  std::optional<std::string> value(const std::string& name) const;
};

// Checks `args` (without the program name) against the declaration: every argument is
// an option of the chosen form, and every option with a value has one ("--name VALUE",
// "--name=VALUE", or joined for names ending in ':', either case), and gathers them in
// `given`. The form is the one whose selector appears among the arguments, else the one
// without a selector. --help anywhere wins over any fault. Values are not judged here:
// the program reads them from `given` into its own options.
OptionCheck checkOptions(const ProgramOptions& program, const std::vector<std::string>& args);

// "--input SOURCE", "-t:seconds", "--fast".
std::string optionSynopsis(const CommandOption& option);

// One line per form: the program, its selector and its options.
std::vector<std::string> synopsisLines(const ProgramOptions& program);

// The usage: `usageWord` ("使い方:" translated) and the forms' synopses.
std::string usageText(const ProgramOptions& program, const std::string& usageWord);

// The usage, each form's help, and the options with theirs; for stdout.
std::string helpText(const ProgramOptions& program, Translate translate,
                     const std::string& usageWord, const std::string& optionsWord);

// The man page in roff (section 1): NAME, SYNOPSIS, DESCRIPTION, OPTIONS, and where
// declared SETTINGS, SERVICES, EXIT STATUS, FILES and ENVIRONMENT.
std::string manPage(const ProgramOptions& program, Translate translate, const std::string& date);

}  // namespace radmon
