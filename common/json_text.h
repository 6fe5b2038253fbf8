// The JSON documents the programs write, built with nlohmann-json in the order their
// members are set: bad UTF-8 in a text is replaced, never thrown; unknown numbers are
// null; a number the program already wrote as text (a record line's dose, figures with
// fixed decimals) goes in as it stands.
#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace radmon {

using Json = nlohmann::ordered_json;

// Null for NaN and the infinities; a whole number without a decimal point.
Json jsonNumber(double value);
// `text`, a JSON number, written as it stands by jsonText. It is carried as a binary
// value, which nlohmann writes as an object no text can spell (its quotes would be
// escaped), so no text of the operator's or a peer's ever becomes a number or markup.
Json rawNumber(std::string_view text);
// Compact, with no spaces.
std::string jsonText(const Json& document);

}  // namespace radmon
