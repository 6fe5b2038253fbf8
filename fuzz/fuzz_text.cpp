// Targets on operator text: numbers in text boxes, settings text and the two settings
// files.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

#include "dayplot_settings.h"
#include "fuzz_entries.h"
#include "number_text.h"
#include "ratemon_settings.h"
#include "settings_text.h"
#include "text_files.h"

namespace radmon::fuzz {
namespace {

template <typename T>
bool takeValue(const uint8_t* data, size_t size, T& value) {
  if (size < sizeof(T)) return false;
  std::memcpy(&value, data, sizeof(T));
  return true;
}

bool isSettingsField(const SettingsField& f) {
  if (f.quoted) return f.text.find('"') == std::string::npos;
  const std::string& t = f.text;
  if (t.find_first_of(",\r\n") != std::string::npos) return false;
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  return t.empty() || (!blank(t.front()) && !blank(t.back()));
}

}  // namespace

void numberText(const uint8_t* data, size_t size) {
  constexpr const char* kName = "number_text";
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto number = readNumber(text);
  if (number) FUZZ_CHECK(kName, std::isfinite(*number));
  FUZZ_CHECK(kName, readInt16(text) == (number ? toInt16(*number) : std::nullopt));

  // The bytes taken as numbers: what the windows show must read back as that number.
  if (float f; takeValue(data, size, f) && std::isfinite(f)) {
    const auto back = readNumber(shortestText(f));
    FUZZ_CHECK(kName, back && static_cast<float>(*back) == f);
  }
  if (int16_t i; takeValue(data, size, i)) FUZZ_CHECK(kName, readInt16(integerText(i)) == i);
  double d;
  if (!takeValue(data, size, d) || !std::isfinite(d)) return;
  const auto back = readNumber(shortestText(d));
  FUZZ_CHECK(kName, back && (*back == d || std::abs(*back - d) <= std::abs(d) * 1e-14));
  const auto label = readNumber(axisLabelText(d));
  FUZZ_CHECK(kName, label && *label == *back);
  if (std::abs(d) < 1e9) {
    const auto fixed = readNumber(fixed3Text(d));
    FUZZ_CHECK(kName, fixed && std::abs(*fixed - d) <= 0.0005 + 1e-6);
    const double rounded = roundHalfEven(d, 3);
    FUZZ_CHECK(kName, std::abs(rounded - d) <= 0.0005 + 1e-6);
  }
}

void settingsText(const uint8_t* data, size_t size) {
  constexpr const char* kName = "settings_text";
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string text = decodeFileText(bytes);
  FUZZ_CHECK(kName, isUtf8(text));
  if (isUtf8(bytes) && bytes.substr(0, 3) != "\xEF\xBB\xBF") FUZZ_CHECK(kName, text == bytes);

  const auto fields = readSettingsFields(text);
  SettingsLineWriter writer;
  for (const auto& f : fields) {
    FUZZ_CHECK(kName, isSettingsField(f));
    if (f.quoted)
      writer.text(f.text);
    else
      writer.number(f.text);
    if (auto n = f.asInt()) FUZZ_CHECK(kName, *n >= -32768 && *n <= 32767);
  }
  // The fields written as one line read back as the same fields.
  const auto back = readSettingsFields(writer.line());
  if (fields.size() == 1 && !fields[0].quoted && fields[0].text.empty()) return;
  FUZZ_CHECK(kName, back.size() == fields.size());
  for (size_t i = 0; i < fields.size(); ++i) {
    FUZZ_CHECK(kName,
               back[i].text == (fields[i].quoted ? savableText(fields[i].text) : fields[i].text));
    FUZZ_CHECK(kName, back[i].quoted == fields[i].quoted);
  }
}

void ratemonSettings(const uint8_t* data, size_t size) {
  constexpr const char* kName = "ratemon_settings";
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string folder = "/opt/radmon/";
  RatemonSettings read = RatemonSettings::defaults(folder);
  applySettingsText(decodeFileText(bytes), read);

  // Saved and loaded again: every value comes back, less the characters a saved text
  // cannot hold.
  const std::string saved = encodeForSystem(radmon::settingsText(read));
  RatemonSettings again = RatemonSettings::defaults("/elsewhere/");
  applySettingsText(decodeFileText(saved), again);
  for (const auto& [box, text] : read.texts)
    FUZZ_CHECK(kName, again.texts.at(box) == savableText(text));
  FUZZ_CHECK(kName, again.ticks == read.ticks);
  FUZZ_CHECK(kName, radmon::settingsText(again) == saved);
}

void dayplotSettings(const uint8_t* data, size_t size) {
  constexpr const char* kName = "dayplot_settings";
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  DayplotSettings read;
  const int16_t interval = applySettingsText(decodeFileText(bytes), read);
  FUZZ_CHECK(kName, interval == 10 || interval == 20 || interval == 30 || interval == 60);
  FUZZ_CHECK(kName, std::count(read.every.begin(), read.every.end(), true) <= 1);

  const std::string saved = encodeForSystem(settingsFileText(read));
  DayplotSettings again;
  const int16_t intervalAgain = applySettingsText(decodeFileText(saved), again);
  DayplotSettings expected = read;
  for (size_t i = 0; i < kFileFields; ++i)
    if (const auto text = kDayplotControls[i].text) expected.*text = savableText(read.*text);
  FUZZ_CHECK(kName, again == expected);
  FUZZ_CHECK(kName, intervalAgain == interval);
  FUZZ_CHECK(kName, settingsFileText(again) == saved);
}

}  // namespace radmon::fuzz
