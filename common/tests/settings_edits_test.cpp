// The checks a --set value and the window's value go through alike: each rule on its
// edges, on and just past them.
#include "settings_edits.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace radmon {
namespace {

TEST(ValueFault, EachRuleOnAndJustPastItsEdges) {
  const std::string folder = std::filesystem::temp_directory_path().string();
  using K = ValueRule::Kind;
  const ValueRule range{K::Range, 5, 15};
  const struct {
    ValueRule rule;
    std::string text;
    std::optional<EditRefusal> why;  // none: taken
  } cases[] = {
      {range, "5", std::nullopt},
      {range, "15", std::nullopt},
      {range, "4.999", EditRefusal::OutOfRange},
      {range, "15.001", EditRefusal::OutOfRange},
      {range, "nan", EditRefusal::NotANumber},
      {{K::NotNegative}, "0", std::nullopt},
      {{K::NotNegative}, "-0.001", EditRefusal::Negative},
      {{K::Positive}, "0.001", std::nullopt},
      {{K::Positive}, "0", EditRefusal::NotPositive},
      {{K::Tick}, "1", std::nullopt},
      {{K::Tick}, "yes", EditRefusal::NotTick},
      {{K::FileName}, "graph", std::nullopt},
      {{K::FileName}, " ", EditRefusal::Empty},
      {{K::FileName}, "a/b", EditRefusal::Slash},
      {{K::FileName}, "a\\b", EditRefusal::Slash},
      {{K::RecordFile}, folder + "/day.csv", std::nullopt},
      {{K::RecordFile}, folder + "/", EditRefusal::NotRecordFile},
      {{K::RecordFile}, "data/day.csv", EditRefusal::NotRecordFile},
      {{K::RecordFile}, folder + "/none/day.csv", EditRefusal::NoFolder},
  };
  for (const auto& c : cases) {
    const auto checked = checkValue(c.rule, c.text);
    ASSERT_EQ(!checked, c.why.has_value()) << c.text;
    if (checked) continue;
    const ValueFault* fault = &checked.error();
    EXPECT_EQ(fault->why, *c.why) << c.text;
    if (fault->why == EditRefusal::OutOfRange) {
      EXPECT_EQ(fault->low, 5);
      EXPECT_EQ(fault->high, 15);
    }
  }
}

}  // namespace
}  // namespace radmon
