// The station's own choice of the interface's language, for both programs: one line
// "language=ja" or "language=en" in radmon_language.ini in the station folder, none for
// the locale's. It goes over the locale and under --lang, so that a service, whose
// locale is often unset, and a headless run speak as the operator chose. `--set
// language=` writes it, `--show-settings` lists it.
#pragma once

#include <expected>
#include <optional>
#include <string>
#include <string_view>

#include "settings_edits.h"
#include "start_options.h"
#include "text_files.h"

namespace radmon {

inline constexpr std::string_view kLanguageSettingsFileName = "radmon_language.ini";

struct LanguageSetting {
  std::string language;  // "ja", "en", or empty: the locale's
  friend bool operator==(const LanguageSetting&, const LanguageSetting&) = default;
};

// The file in `stationFolder` (ending with the separator); empty when it is missing, no
// value when it cannot be read or holds no known language.
std::optional<LanguageSetting> readLanguageSetting(const std::string& stationFolder);
std::expected<void, WriteFault> saveLanguageSetting(const std::string& stationFolder,
                                                    const LanguageSetting& setting);
// The language the station chose, when it chose one.
std::optional<UiLanguage> stationLanguage(const std::string& stationFolder);

// The key of the file and of --set.
inline constexpr const char* kLanguageKey = "language";

// What the key "language" takes, in words (context "Options").
extern const char* const kLanguageRuleText;

// The key "language" of --set and --show-settings: "ja", "en" or empty.
template <class Files>
SettingKey<Files> languageKey(LanguageSetting Files::*field) {
  return {kLanguageKey,
          [field](const Files& f) { return (f.*field).language; },
          [field](Files& f, const std::string& v) {
            if (!v.empty() && v != "ja" && v != "en") return false;
            (f.*field).language = v;
            return true;
          },
          false,
          false,
          {ValueRule::Any, 0, 0, kLanguageRuleText}};
}

}  // namespace radmon
