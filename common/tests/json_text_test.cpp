#include "json_text.h"

#include <gtest/gtest.h>
#include <cmath>

namespace radmon {
namespace {

// Numbers as the pages and messages have always written them, texts escaped, and raw
// numbers in place while a text never becomes one, nor markup, whatever it holds.
TEST(JsonText, NumbersTextsAndRawNumbers) {
  const std::string mark(1, '\x1f');  // a unit separator, as a text may hold one
  const struct {
    Json value;
    const char* text;
  } rows[] = {
      {jsonNumber(NAN), "null"},
      {jsonNumber(-INFINITY), "null"},
      {jsonNumber(21), "21"},
      {jsonNumber(0.1), "0.1"},
      {rawNumber("0.000"), "0.000"},
      {Json{rawNumber("1.50"), nullptr, mark + "1" + mark, mark + "e" + mark},
       "[1.50,null,\"\\u001f1\\u001f\",\"\\u001fe\\u001f\"]"},
      {Json{{"t", R"({"bytes":[49],"subtype":31})"}, {"n", rawNumber("-0.5")}},
       R"({"t":"{\"bytes\":[49],\"subtype\":31}","n":-0.5})"},
      {Json{{"b", "a\"\n\xff"}, {"a", rawNumber("583.760")}},
       "{\"b\":\"a\\\"\\n\xef\xbf\xbd\",\"a\":583.760}"},
  };
  for (const auto& row : rows) EXPECT_EQ(jsonText(row.value), row.text);
}

}  // namespace
}  // namespace radmon
