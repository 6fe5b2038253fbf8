// The comma-separated text of the settings files: quoted texts, bare numbers,
// "#TRUE#"/"#FALSE#", lines ended by CR LF. The reader treats a comma and a line end
// alike, so a file is one sequence of fields whatever its line breaks.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace radmon {

struct SettingsField {
  std::string text;  // without the quotes
  bool quoted = false;

  // "#TRUE#"/"#FALSE#", or a number (non-zero is true); no value otherwise.
  std::optional<bool> asBool() const;
  // The field as a whole number (check-box states are written as 0 and 1).
  std::optional<int> asInt() const;
};

// Splits settings text into its fields. A quoted field runs to the next double quote
// (there is no escaping); anything up to the following comma or line end is dropped.
// A bare field runs to the comma or line end, without surrounding blanks. Blank lines
// hold no field.
std::vector<SettingsField> readSettingsFields(std::string_view text);

// The text as a quoted field can carry it: the format has no escape, so double quotes
// and line breaks are left out.
std::string savableText(std::string_view text);
// The text as one "name=value" line of the owner-only settings files can carry it: line
// breaks left out, whatever a box held.
std::string oneLine(std::string_view text);

// Builds one line of settings text.
class SettingsLineWriter {
 public:
  // "value", as `savableText` gives it, so the line always reads back.
  SettingsLineWriter& text(std::string_view value);
  SettingsLineWriter& number(std::string_view value);  // value
  SettingsLineWriter& number(long value);
  SettingsLineWriter& boolean(bool value);  // #TRUE# / #FALSE#
  // The fields joined by commas, ended by CR LF.
  std::string line() const;

 private:
  std::vector<std::string> fields_;
};

}  // namespace radmon
