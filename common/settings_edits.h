// The settings seen and changed from the command line, for a station set up without a
// screen: `--show-settings` lists every setting as "key=value" and `--set key=value`
// (repeatable) changes some, all or nothing. Each program gives its table of keys; each
// key reads and writes one setting of the program's settings files through the checks
// the window's values go through. No Qt: the programs word the outcome.
#pragma once

#include <expected>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Marks a text for the translator (lupdate) where Qt's own header is not included.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

namespace radmon {

struct SettingsEdit {
  std::string key;
  std::string value;
};

// --show-settings and the --set options of a command line.
struct SettingsCommand {
  bool show = false;
  std::vector<SettingsEdit> edits;
  std::optional<std::string> malformed;  // a --set without "key=value" after it
  bool given() const { return show || !edits.empty() || malformed.has_value(); }
};

// Takes --show-settings and every "--set key=value" out of `args` (args[0] stays); the
// other arguments are left as they were.
SettingsCommand takeSettingsCommand(std::vector<std::string>& args);

// How a secret is listed: never its value.
inline constexpr std::string_view kSecretSet = "(set)";
inline constexpr std::string_view kSecretUnset = "(unset)";

// Why a value is refused, for the operator to mend it.
enum class EditRefusal {
  UnknownKey,
  BadValue,
  LineBreak,
  Quote,  // a quoted field of the settings file ends at a double quote
  NotANumber,
  OutOfRange,     // outside [low, high], the range the window's label states
  Negative,       // below 0
  NotPositive,    // 0 or below
  Empty,          // a file name's part
  Slash,          // a file name's part holds a folder separator
  NotServer,      // no server address (blanks in the name among the causes)
  NotRecordFile,  // a record path must name a file ending in "csv" by its full path
  NoFolder,       // the folder a record path names does not exist
  NotTick,        // a check box takes 1 or 0
};

// What a setting's text is used as, and so what it must be; declared beside the setting
// in the table that declares it, so that --set and the window check it alike.
struct ValueRule {
  enum Kind { Any, Tick, Number, Range, NotNegative, Positive, FileName, Server, RecordFile };
  Kind kind = Any;
  double low = 0;
  double high = 0;
  // What the setting's own check takes, where no kind above says it (a noun phrase,
  // context "Options"): the reason given when that check refuses a value.
  const char* says = nullptr;
};

// Why `text` cannot be used as `rule` says, with the range or the folder it concerns.
struct ValueFault {
  EditRefusal why;
  double low = 0;
  double high = 0;
  std::string folder{};
  const char* says = nullptr;  // BadValue: the rule's words on what is taken
};
std::expected<void, ValueFault> checkValue(const ValueRule& rule, std::string_view text);

// One setting by the name the command line knows it by. `set` takes the value through
// the setting's check and returns false, changing nothing, when it is refused; a value
// that a quoted field cannot carry and one that breaks `rule` never reach it.
template <class Files>
struct SettingKey {
  const char* key;
  std::function<std::string(const Files&)> get;
  std::function<bool(Files&, const std::string&)> set;
  bool secret = false;
  bool quoted = false;  // kept in a quoted field of a comma-separated file
  ValueRule rule{};
  // What to weigh before changing it (context "Options", through the translator): told
  // after a change by --set and under the key in the man page.
  const char* note = nullptr;

  std::string shown(const Files& files) const {
    const std::string value = get(files);
    return !secret ? value : std::string(value.empty() ? kSecretUnset : kSecretSet);
  }
};

struct EditRefused {
  std::string key;
  std::string value;
  EditRefusal why;
  ValueFault fault{EditRefusal::BadValue};  // the details of a refusal by the value's rule
};
// A setting changed, as listed before and after (a secret as set or unset).
struct SettingChanged {
  std::string key;
  std::string before;
  std::string after;
};

// Every setting as "key=value" lines, in the table's order.
template <class Files>
std::string settingsListing(const std::vector<SettingKey<Files>>& keys, const Files& files) {
  std::string text;
  for (const auto& k : keys) text += std::string(k.key) + "=" + k.shown(files) + "\n";
  return text;
}

// Applies the edits in order to a copy of `files` and puts it in place only when every
// one is taken; the first refused is returned and `files` stays as it was. An edit that
// leaves its setting as it was is not among the changes.
template <class Files>
std::expected<std::vector<SettingChanged>, EditRefused> applySettingsEdits(
    const std::vector<SettingKey<Files>>& keys, Files& files,
    const std::vector<SettingsEdit>& edits) {
  Files edited = files;
  std::vector<SettingChanged> changes;
  for (const auto& edit : edits) {
    const SettingKey<Files>* key = nullptr;
    for (const auto& k : keys)
      if (edit.key == k.key) key = &k;
    if (!key) return std::unexpected(EditRefused{edit.key, edit.value, EditRefusal::UnknownKey});
    const std::string shownValue = key->secret ? std::string() : edit.value;
    // No settings file keeps a line break inside a value.
    if (edit.value.find_first_of("\r\n") != std::string::npos)
      return std::unexpected(EditRefused{edit.key, shownValue, EditRefusal::LineBreak});
    if (key->quoted && edit.value.find('"') != std::string::npos)
      return std::unexpected(EditRefused{edit.key, shownValue, EditRefusal::Quote});
    if (auto checked = checkValue(key->rule, edit.value); !checked)
      return std::unexpected(
          EditRefused{edit.key, shownValue, checked.error().why, checked.error()});
    const std::string before = key->get(edited);
    const std::string shownBefore = key->shown(edited);
    if (!key->set(edited, edit.value))
      return std::unexpected(
          EditRefused{edit.key, shownValue, EditRefusal::BadValue,
                      ValueFault{EditRefusal::BadValue, 0, 0, {}, key->rule.says}});
    if (key->get(edited) != before) changes.push_back({edit.key, shownBefore, key->shown(edited)});
  }
  files = std::move(edited);
  return changes;
}

// The usual checks of a value typed for a check box: "1" or "0".
std::optional<bool> tickValue(std::string_view text);

}  // namespace radmon
