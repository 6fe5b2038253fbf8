#include "settings_text.h"

#include "number_text.h"

namespace radmon {

std::optional<bool> SettingsField::asBool() const {
  if (text == "#TRUE#") return true;
  if (text == "#FALSE#") return false;
  if (auto v = readNumber(text)) return *v != 0.0;
  return std::nullopt;
}

std::optional<int> SettingsField::asInt() const {
  if (text == "#TRUE#") return -1;
  if (text == "#FALSE#") return 0;
  if (auto v = readInt16(text)) return *v;
  return std::nullopt;
}

std::vector<SettingsField> readSettingsFields(std::string_view s) {
  std::vector<SettingsField> fields;
  auto isLineEnd = [](char c) { return c == '\r' || c == '\n'; };
  auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  size_t i = 0;
  // Skips a line end (CR LF, LF or CR); returns whether there was one.
  auto skipLineEnd = [&] {
    if (i >= s.size() || !isLineEnd(s[i])) return false;
    if (s[i++] == '\r' && i < s.size() && s[i] == '\n') ++i;
    return true;
  };
  bool atLineStart = true;
  while (i < s.size()) {
    if (atLineStart) {
      while (i < s.size() && isBlank(s[i])) ++i;
      if (i < s.size() && isLineEnd(s[i])) {  // a blank line holds no field
        skipLineEnd();
        continue;
      }
      if (i >= s.size()) break;
    }
    while (i < s.size() && isBlank(s[i])) ++i;
    SettingsField field;
    if (i < s.size() && s[i] == '"') {
      const size_t close = s.find('"', i + 1);
      const size_t end = close == std::string_view::npos ? s.size() : close;
      field.text = std::string(s.substr(i + 1, end - i - 1));
      field.quoted = true;
      i = close == std::string_view::npos ? s.size() : close + 1;
      while (i < s.size() && s[i] != ',' && !isLineEnd(s[i])) ++i;
    } else {
      const size_t start = i;
      while (i < s.size() && s[i] != ',' && !isLineEnd(s[i])) ++i;
      size_t end = i;
      while (end > start && isBlank(s[end - 1])) --end;
      field.text = std::string(s.substr(start, end - start));
    }
    fields.push_back(std::move(field));
    if (i < s.size() && s[i] == ',') {
      ++i;
      atLineStart = false;
      // A comma right before the end of a line or the text leaves one empty field.
      if (i >= s.size() || isLineEnd(s[i])) {
        fields.push_back({});
        skipLineEnd();
        atLineStart = true;
      }
    } else {
      skipLineEnd();
      atLineStart = true;
    }
  }
  return fields;
}

std::string oneLine(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != '\r' && c != '\n') out += c;
  return out;
}

std::string savableText(std::string_view text) {
  // The reader ends a quoted field at the next double quote and a line at a break.
  std::string kept;
  kept.reserve(text.size());
  for (const char c : text)
    if (c != '"' && c != '\r' && c != '\n') kept += c;
  return kept;
}

SettingsLineWriter& SettingsLineWriter::text(std::string_view value) {
  // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "\"" + std::string.
  std::string field(1, '"');
  field += savableText(value);
  field += '"';
  fields_.push_back(std::move(field));
  return *this;
}

SettingsLineWriter& SettingsLineWriter::number(std::string_view value) {
  fields_.emplace_back(value);
  return *this;
}

SettingsLineWriter& SettingsLineWriter::number(long value) {
  fields_.push_back(std::to_string(value));
  return *this;
}

SettingsLineWriter& SettingsLineWriter::boolean(bool value) {
  fields_.emplace_back(value ? "#TRUE#" : "#FALSE#");
  return *this;
}

std::string SettingsLineWriter::line() const {
  std::string out;
  for (size_t i = 0; i < fields_.size(); ++i) {
    if (i) out += ',';
    out += fields_[i];
  }
  return out + "\r\n";
}

}  // namespace radmon
