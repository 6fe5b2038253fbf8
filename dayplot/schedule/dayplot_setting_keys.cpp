#include "dayplot_setting_keys.h"

#include "dayplot_messages.h"
#include "graph_parts.h"
#include "period_graph.h"
#include "scheduler.h"

namespace radmon {
namespace {

using Key = SettingKey<DayplotFiles>;

// The check of a text of dayplot.ini beyond what the file can carry; none for free text.
using TextCheck = bool (*)(const std::string&);

bool usableScale(const std::string& v) {
  // The month and year graphs' taller panel refuses whatever the day graph refuses.
  return graph::scaleMaximum(v, PeriodGraph::kPanelHeight).has_value();
}
bool usableHour(const std::string& v) {
  DayplotSettings probe;
  probe.atHour = v;
  return startTimeUsable(probe);
}
bool usableMinute(const std::string& v) {
  DayplotSettings probe;
  probe.atMinute = v;
  return startTimeUsable(probe);
}

TextCheck checkOf(const DayplotControl& c) {
  if (c.text == &DayplotSettings::scaleMaximum) return usableScale;
  if (c.text == &DayplotSettings::atHour) return usableHour;
  if (c.text == &DayplotSettings::atMinute) return usableMinute;
  return nullptr;
}

Key textKey(const DayplotControl& c) {
  return {c.key,
          [field = c.text](const DayplotFiles& f) { return f.ini.*field; },
          [field = c.text, check = checkOf(c)](DayplotFiles& f, const std::string& v) {
            // The file has no escape for a double quote.
            if (savableText(v) != v || (check && !check(v))) return false;
            f.ini.*field = v;
            return true;
          },
          c.text == &DayplotSettings::password,
          /*quoted=*/true,
          c.rule};
}

Key tickKey(const DayplotControl& c) {
  return {c.key,
          [field = c.tick](const DayplotFiles& f) { return std::to_string(f.ini.*field); },
          [field = c.tick](DayplotFiles& f, const std::string& v) {
            const auto on = tickValue(v);
            if (on) f.ini.*field = *on ? 1 : 0;
            return on.has_value();
          },
          false,
          false,
          {ValueRule::Tick}};
}

// The option buttons as one key: the period in minutes.
Key periodKey(const DayplotControl& c) {
  return {c.key,
          [](const DayplotFiles& f) {
            for (int n = 1; n <= 4; ++n)
              if (f.ini.option(n)) return std::to_string(kRealtimePeriods[size_t(n - 1)]);
            return std::string();
          },
          [](DayplotFiles& f, const std::string& v) {
            for (int n = 1; n <= 4; ++n)
              if (v == std::to_string(kRealtimePeriods[size_t(n - 1)])) {
                f.ini.selectOption(n);
                return true;
              }
            return false;
          },
          false,
          false,
          {ValueRule::Any, 0, 0, QT_TRANSLATE_NOOP("Options", "10、20、30、60 のどれか (分)")}};
}

// A line of the publishing settings file, read through the file's own reader, so that a
// value is taken exactly when the file would take it.
Key publishKey(const char* key, std::string_view name, std::string (*get)(const PublishSettings&),
               ValueRule rule = {}) {
  return {key,
          [get](const DayplotFiles& f) { return get(f.publish); },
          [name](DayplotFiles& f, const std::string& v) {
            const std::string now = publishSettingsText(f.publish);
            std::string text;
            for (const std::string_view line : textLines(now))
              if (!line.starts_with(std::string(name) + "=")) text += std::string(line) + "\n";
            auto read = parsePublishSettings(text + std::string(name) + "=" + v + "\n");
            if (!read.issues.empty()) return false;
            f.publish = std::move(read.value);
            return true;
          },
          false,
          false,
          rule};
}

std::vector<Key> makeKeys() {
  std::vector<Key> keys;
  for (size_t i = 0; i < kFileFields; ++i) {
    const DayplotControl& c = kDayplotControls[i];
    if (c.text)
      keys.push_back(textKey(c));
    else if (c.tick)
      keys.push_back(tickKey(c));
    else if (c.option == 1)
      keys.push_back(periodKey(c));
  }
  keys.push_back(
      publishKey("publish.tls_required", kTlsRequired,
                 [](const PublishSettings& p) { return std::string(p.tlsRequired ? "1" : "0"); },
                 {ValueRule::Tick}));
  keys.push_back(publishKey("publish.trusted_certificate_file", kCertificateFile,
                            [](const PublishSettings& p) { return p.trustedCertificateFile; }));
  keys.push_back(
      publishKey("publish.trusted_fingerprints", kFingerprints,
                 [](const PublishSettings& p) { return commaJoined(p.trustedFingerprints); }));
  keys.push_back(publishKey("publish.trusted_host_keys", kHostKeys, [](const PublishSettings& p) {
    return commaJoined(p.trustedHostKeys);
  }));
  keys.push_back(
      publishKey("publish.key_file", kKeyFile, [](const PublishSettings& p) { return p.keyFile; }));
  static_assert(kMinRetryMinutes == 1 && kMaxRetryMinutes == 720, "the words below say so");
  keys.push_back(publishKey(
      "publish.retry_minutes", kRetryMinutes,
      [](const PublishSettings& p) { return std::to_string(p.retryMinutes); },
      {ValueRule::Any, 0, 0, QT_TRANSLATE_NOOP("Options", "1 から 720 までの整数 (分)")}));
  keys.push_back(
      publishKey("publish.page", kPublishPage,
                 [](const PublishSettings& p) { return std::string(p.publishPage ? "1" : "0"); },
                 {ValueRule::Tick}));
  keys.push_back(
      {kMeanIntervalSetting,
       [](const DayplotFiles& f) { return std::string(f.readings.meanInterval ? "1" : "0"); },
       [](DayplotFiles& f, const std::string& v) {
         const auto on = tickValue(v);
         if (on) f.readings.meanInterval = *on;
         return on.has_value();
       },
       false,
       false,
       {ValueRule::Tick}});
  keys.push_back(languageKey(&DayplotFiles::language));
  return keys;
}

}  // namespace

const std::vector<SettingKey<DayplotFiles>>& dayplotSettingKeys() {
  static const std::vector<Key> keys = makeKeys();
  return keys;
}

std::expected<DayplotFiles, std::string> readDayplotFiles(const std::string& folder) {
  DayplotStartRead start = startSettings(folder, "");
  if (!start.issues.empty())
    return std::unexpected(say::settingsFileUnreadable(settingsFilePath(folder)));
  const std::string readingsPath = folder + kReadingsSettingsFileName;
  for (const auto& issue : start.value.readingsIssues)
    if (issue.kind == SettingsIssue::Unreadable)
      return std::unexpected(say::settingsIssue(readingsPath, issue));
  const std::string publishPath = publishSettingsPath(folder);
  auto publish = readPublishSettings(publishPath);
  for (const auto& issue : publish.issues)
    if (issue.kind == SettingsIssue::Unreadable)
      return std::unexpected(say::settingsIssue(publishPath, issue));
  const auto language = readLanguageSetting(folder);
  if (!language)
    return std::unexpected(say::settingsIssue(folder + std::string(kLanguageSettingsFileName),
                                              {0, SettingsIssue::Unreadable, {}}));
  return DayplotFiles{start.value.controls, publish.value, start.value.readings, *language};
}

std::expected<void, std::string> saveDayplotFiles(const std::string& folder,
                                                  const DayplotFiles& before,
                                                  const DayplotFiles& after) {
  if (settingsFileText(before.ini) != settingsFileText(after.ini)) {
    const std::string path = settingsFilePath(folder);
    if (auto saved = saveSettingsFile(path, after.ini); !saved)
      return std::unexpected(say::fileNotWritten(path, saved.error()));
  }
  if (before.publish != after.publish)
    if (auto written = writePublishSettings(publishSettingsPath(folder), after.publish); !written)
      return written;
  if (before.language != after.language)
    if (auto saved = saveLanguageSetting(folder, after.language); !saved)
      return std::unexpected(
          say::fileNotWritten(folder + std::string(kLanguageSettingsFileName), saved.error()));
  if (before.readings != after.readings) {
    const std::string path = folder + kReadingsSettingsFileName;
    if (auto saved = writeTextFile(path, readingsSettingsText(after.readings)); !saved)
      return std::unexpected(say::fileNotWritten(path, saved.error()));
  }
  return {};
}

}  // namespace radmon
