// Reading operator text as numbers and writing numbers as the windows show them.
// Locale-independent: the decimal separator is always a period.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace radmon {

// A text box read "as a number": optional blanks, an optional sign, digits with an
// optional fraction (".5" and "5." are fine), an optional exponent, optional blanks.
// Anything else, an empty text, infinity or a value out of double range is no number.
std::optional<double> readNumber(std::string_view text);

// A count written in plain digits (no sign, no blanks) from `least` to `most`, such as a
// port or a number of seconds; no value otherwise.
std::optional<int> readCount(std::string_view text, int least, int most);

// The 16-bit integer of a setting: halves go to the even neighbour; no value when the
// rounded number leaves -32768..32767 or the text is no number.
std::optional<int16_t> toInt16(double value);
std::optional<int16_t> readInt16(std::string_view text);

// Shortest decimal text that reads back as the same single-precision value, in plain
// (never exponent) form: 0.123, 0.1, 0, 1.5, 54.
std::string shortestText(float value);
// Shortest decimal text of a double, at most 15 significant digits, plain form.
std::string shortestText(double value);

// "#0.000": at least one integer digit, exactly three decimals, halves away from zero.
std::string fixed3Text(double value);

// Exactly `decimals` places, rounded to the nearest as the binary value lies (as "%.*f"
// in the C locale does): 6.85 -> "6.8" (it is 6.8499...), 22.25 -> "22.2" (a true half
// goes to even); "inf", "-inf" and "nan" as such.
std::string fixedText(double value, int decimals);

// At most `digits` significant digits, trailing zeros dropped, the exponent form only
// for a value below 1e-4 or of more than `digits` integer digits (as "%.*g" in the C
// locale): 1234.56 at 4 -> "1235", 0.00012 at 3 -> "0.00012", 12345 at 3 -> "1.23e+04".
std::string significantText(double value, int digits);

// Plain integer text: 125, -3.
std::string integerText(int64_t value);

// Axis-label number: a blank, the shortest text with at most 15 significant digits and
// no zero before the point, a blank: 0 -> " 0 ", 0.8 -> " .8 ", 1.2 -> " 1.2 ".
std::string axisLabelText(double value);

// Rounds to `decimals` places with halves to the even neighbour, on the decimal text of
// the value (0.125 -> 0.12, 0.135 -> 0.14), as a person reading the figure would.
double roundHalfEven(double value, int decimals);

}  // namespace radmon
