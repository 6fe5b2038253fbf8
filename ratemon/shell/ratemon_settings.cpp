#include "ratemon_settings.h"

#include <filesystem>

#include "settings_text.h"
#include "text_files.h"

namespace radmon {

RatemonSettings RatemonSettings::defaults(const std::string& programFolder) {
  RatemonSettings s;
  s.text11 = programFolder + "data" + kPathSeparator;
  return s;
}

void applySettingsText(std::string_view text, RatemonSettings& s) {
  const auto fields = readSettingsFields(text);
  std::string* texts[] = {&s.text3, &s.text4, &s.text5, &s.text7, &s.text9, &s.text10, &s.text11};
  int* checks[] = {&s.check2, &s.check3, &s.check4};
  for (size_t i = 0; i < fields.size() && i < 11; ++i) {
    if (i < 7) {
      *texts[i] = fields[i].text;
    } else if (i < 10) {
      if (auto v = fields[i].asInt()) *checks[i - 7] = *v != 0 ? 1 : 0;
    } else {
      s.text12 = fields[i].text;
    }
  }
}

std::string settingsText(const RatemonSettings& s) {
  return SettingsLineWriter()
      .text(s.text3)
      .text(s.text4)
      .text(s.text5)
      .text(s.text7)
      .text(s.text9)
      .text(s.text10)
      .text(s.text11)
      .number(s.check2)
      .number(s.check3)
      .number(s.check4)
      .text(s.text12)
      .line();
}

std::optional<std::string> loadSettingsFile(const std::string& path, RatemonSettings& s) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return std::nullopt;
  const auto text = readTextFile(path);
  if (!text) return "設定ファイルを読めません: " + path;
  applySettingsText(*text, s);
  return std::nullopt;
}

std::optional<std::string> saveSettingsFile(const std::string& path, const RatemonSettings& s) {
  return writeTextFile(path, settingsText(s));
}

std::string saveFolderFor(const std::string& text11, const std::string& programFolder) {
  if (endsWith(text11, "csv")) return deriveFolder(text11);
  return programFolder + "data" + kPathSeparator;
}

}  // namespace radmon
