#include "json_text.h"

#include <gtest/gtest.h>
#include <cmath>

namespace radmon {
namespace {

// Numbers as the pages and messages have always written them, texts escaped, and raw
// numbers in place while a text that only looks like one stays a text.
TEST(JsonText, NumbersTextsAndRawNumbers) {
  const std::string mark(1, '\x1f');  // what carries a raw number
  const struct {
    Json value;
    const char* text;
  } rows[] = {
      {jsonNumber(NAN), "null"},
      {jsonNumber(-INFINITY), "null"},
      {jsonNumber(21), "21"},
      {jsonNumber(0.1), "0.1"},
      {rawNumber("0.000"), "0.000"},
      {Json{rawNumber("1.50"), nullptr, mark + "1" + mark + "x", mark + "2"},
       "[1.50,null,\"\\u001f1\\u001fx\",\"\\u001f2\"]"},
      {Json{{"b", "a\"\n\xff"}, {"a", rawNumber("583.760")}},
       "{\"b\":\"a\\\"\\n\xef\xbf\xbd\",\"a\":583.760}"},
  };
  for (const auto& row : rows) EXPECT_EQ(jsonText(row.value), row.text);
}

}  // namespace
}  // namespace radmon
