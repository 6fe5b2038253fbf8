#include "settings_text.h"

#include <gtest/gtest.h>

namespace radmon {

// Every field's text, so that the number of fields is checked along with them.
static std::vector<std::string> texts(const std::vector<SettingsField>& fields) {
  std::vector<std::string> out;
  for (const auto& f : fields) out.push_back(f.text);
  return out;
}

TEST(SettingsLineWriter, QuotedTextsBareNumbersBooleansCrLfAndTextsThatReadBack) {
  const std::string plain = SettingsLineWriter()
                                .text("50")
                                .text("")
                                .number(1)
                                .boolean(true)
                                .boolean(false)
                                .text("C:\\m\\data\\")
                                .line();
  EXPECT_EQ(plain, "\"50\",\"\",1,#TRUE#,#FALSE#,\"C:\\m\\data\\\"\r\n");
  // Written as they stood, "a"b" would read back as "a" and the break would split the
  // line, shifting every later field.
  const std::string line =
      SettingsLineWriter().text("5\"0").text("C:\\x\r\ny").text("\"").number(1).line();
  EXPECT_EQ(line, "\"50\",\"C:\\xy\",\"\",1\r\n");
  const auto f = readSettingsFields(line);
  ASSERT_EQ(texts(f), (std::vector<std::string>{"50", "C:\\xy", "", "1"}));
  EXPECT_EQ(f[3].asInt(), 1);
}

TEST(ReadSettingsFields, CommaAndLineEndAreAlikeAndQuotedFieldsKeepCommasAndBlanks) {
  const auto one = readSettingsFields("\"a\",\"b\"\r\n1,#TRUE#\r\n");
  const auto two = readSettingsFields("\"a\"\r\n\"b\",1\n#TRUE#");
  ASSERT_EQ(one.size(), 4u);
  EXPECT_EQ(texts(two), texts(one));
  EXPECT_TRUE(one[0].quoted);
  EXPECT_FALSE(one[2].quoted);
  EXPECT_EQ(one[3].asBool(), true);
  // A quoted field keeps commas and blanks.
  const auto f = readSettingsFields("\" a, b \",  7  ,\"\"");
  ASSERT_EQ(texts(f), (std::vector<std::string>{" a, b ", "7", ""}));
  EXPECT_TRUE(f[2].quoted);
}

TEST(ReadSettingsFields, OddInputNeverBreaksTheSequenceAndAWrittenLineRoundTrips) {
  EXPECT_TRUE(readSettingsFields("").empty());
  EXPECT_TRUE(readSettingsFields("\r\n\r\n").empty());
  // An unterminated quote runs to the end of the text.
  EXPECT_EQ(texts(readSettingsFields("\"abc")), std::vector<std::string>{"abc"});
  // Text after a closing quote is dropped up to the comma.
  EXPECT_EQ(texts(readSettingsFields("\"ab\"junk,5")), (std::vector<std::string>{"ab", "5"}));
  // A trailing comma leaves one empty field.
  EXPECT_EQ(readSettingsFields("1,\r\n2").size(), 3u);
  EXPECT_FALSE((SettingsField{"x", false}.asInt().has_value()));
  EXPECT_FALSE((SettingsField{"", false}.asBool().has_value()));
  // A written line round-trips.
  const std::string line =
      SettingsLineWriter().text("50").text("3").text("").number(0).number(1).line();
  const auto f = readSettingsFields(line);
  ASSERT_EQ(texts(f), (std::vector<std::string>{"50", "3", "", "0", "1"}));
  EXPECT_EQ(f[3].asInt(), 0);
  EXPECT_EQ(f[4].asInt(), 1);
}

}  // namespace radmon
