// Entry functions of the fuzz targets: each takes arbitrary bytes, drives one reader of
// outside input with them and aborts with a message when a property of that reader
// fails. The same functions run under libFuzzer (clang) and in the replay test of the
// kept inputs (any compiler).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace radmon::fuzz {

using Entry = void (*)(const uint8_t* data, size_t size);

void numberText(const uint8_t* data, size_t size);
void settingsText(const uint8_t* data, size_t size);
void ratemonSettings(const uint8_t* data, size_t size);
void dayplotSettings(const uint8_t* data, size_t size);
void dayTable(const uint8_t* data, size_t size);
void wavFile(const uint8_t* data, size_t size);
void ftpScript(const uint8_t* data, size_t size);

struct Target {
  std::string_view name;  // folder name under fuzz/corpus and fuzz/regressions
  Entry entry;
};

inline constexpr Target kTargets[] = {
    {"number_text", numberText},
    {"settings_text", settingsText},
    {"ratemon_settings", ratemonSettings},
    {"dayplot_settings", dayplotSettings},
    {"day_table", dayTable},
    {"wav_file", wavFile},
    {"ftp_script", ftpScript},
};

// Prints the failed property and aborts, so that libFuzzer keeps the input and the
// replay test fails.
[[noreturn]] void fail(const char* target, const char* what);

}  // namespace radmon::fuzz

#define FUZZ_CHECK(target, cond)                      \
  do {                                                \
    if (!(cond)) ::radmon::fuzz::fail(target, #cond); \
  } while (0)
