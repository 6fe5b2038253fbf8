#include "ratemon_settings.h"

#include <filesystem>

#include "ratemon_messages.h"
#include "settings_text.h"
#include "text_files.h"

namespace radmon {

RatemonSettings RatemonSettings::defaults(const std::string& programFolder) {
  RatemonSettings s;
  for (const auto& c : kBoxControls) s.texts[c.id] = c.initial;
  for (const auto& c : kTickControls) s.ticks[c.id] = c.initial;
  s.texts[Box::recordPath] = dataFolder(programFolder);
  return s;
}

void applySettingsText(std::string_view text, RatemonSettings& s) {
  const auto fields = readSettingsFields(text);
  auto present = [&](int field) { return field != kNotSaved && size_t(field) < fields.size(); };
  for (const auto& c : kBoxControls)
    if (present(c.iniField)) s.texts[c.id] = fields[c.iniField].text;
  for (const auto& c : kTickControls)
    if (present(c.iniField))
      if (auto v = fields[c.iniField].asInt()) s.ticks[c.id] = *v != 0;
}

std::string settingsText(const RatemonSettings& s) {
  SettingsLineWriter line;
  for (int field = 0; field < kIniFieldCount; ++field) {
    for (const auto& c : kBoxControls)
      if (c.iniField == field) line.text(s.texts.at(c.id));
    for (const auto& c : kTickControls)
      if (c.iniField == field) line.number(s.ticks.at(c.id) ? 1 : 0);
  }
  return line.line();
}

ReadResult<RatemonSettings, SettingsIssue> loadSettingsFile(const std::string& path,
                                                            RatemonSettings s) {
  std::error_code ec;
  const auto text = std::filesystem::exists(path, ec) ? readTextFile(path) : "";
  if (!text) return {std::move(s), {{0, SettingsIssue::Unreadable, {}}}};
  applySettingsText(*text, s);
  return {std::move(s), {}};
}

std::expected<void, std::string> saveSettingsFile(const std::string& path,
                                                  const RatemonSettings& s) {
  const auto written = writeTextFile(path, settingsText(s));
  if (written) return {};
  return std::unexpected(messages::fileNotWritten(path, written.error()));
}

std::string saveFolderFor(const std::string& recordPath, const std::string& programFolder) {
  if (endsWith(recordPath, "csv")) return deriveFolder(recordPath);
  return dataFolder(programFolder);
}

}  // namespace radmon
