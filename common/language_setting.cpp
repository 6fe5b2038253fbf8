#include "language_setting.h"

#include <filesystem>

namespace radmon {

const char* const kLanguageRuleText =
    QT_TRANSLATE_NOOP("Options", "ja、en、または空 (ロケールのまま)");

namespace {
std::string pathIn(const std::string& folder) {
  return folder + std::string(kLanguageSettingsFileName);
}
}  // namespace

std::optional<LanguageSetting> readLanguageSetting(const std::string& stationFolder) {
  std::error_code ec;
  if (!std::filesystem::exists(pathIn(stationFolder), ec)) return LanguageSetting{};
  const auto text = readTextFile(pathIn(stationFolder));
  if (!text) return std::nullopt;
  LanguageSetting setting;
  for (const KeyValue& line : keyValueLines(*text)) {
    if (line.key != kLanguageKey || !line.value) continue;
    if (*line.value != "" && *line.value != "ja" && *line.value != "en") return std::nullopt;
    setting.language = std::string(*line.value);
  }
  return setting;
}

std::expected<void, WriteFault> saveLanguageSetting(const std::string& stationFolder,
                                                    const LanguageSetting& setting) {
  return writeTextFile(pathIn(stationFolder),
                       std::string(kLanguageKey) + "=" + setting.language + "\n");
}

std::optional<UiLanguage> stationLanguage(const std::string& stationFolder) {
  const auto setting = readLanguageSetting(stationFolder);
  if (!setting || setting->language.empty()) return std::nullopt;
  return setting->language == "en" ? UiLanguage::English : UiLanguage::Japanese;
}

}  // namespace radmon
