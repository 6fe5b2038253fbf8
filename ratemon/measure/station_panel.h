// What the measuring code sees of the main window: its boxes, read when a value is
// needed so that an edit takes effect at the next use. The control table is the one
// place for each control's name, caption, starting value and field in ratemon.ini.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <variant>

// The captions are marked for Qt's lupdate, which gathers them for translation; the
// measuring core itself knows no Qt, and settings_edits.h defines the mark without it.
#include "audio_input.h"
#include "settings_edits.h"
#include "text_files.h"

namespace radmon {

enum class Box {
  elapsed,
  total,
  threshold,
  deadBand,
  resolution,
  cpm,
  sensitivity,
  doseRate,
  limit1,
  limit2,
  recordPath,
  background,
};

enum class Tick { pulseTest, alarm1, alarm2, recordFile, graph };

inline constexpr int kNotSaved = -1;

// The checks of a number box: the value the core uses, or none when the text is refused.
using NumberCheck = std::optional<double> (*)(const std::string&);
std::optional<double> anyNumber(const std::string& text);
std::optional<double> int16Number(const std::string& text);
std::optional<double> positiveNumber(const std::string& text);

// One control: its widget's objectName, what the operator calls it (in messages and on
// check boxes), its value on a first run, its field in ratemon.ini (or kNotSaved), the
// name --show-settings and --set know a saved one by, the check of a number box (what
// the measuring core can use at all) and what --set takes for it: the range the
// window's label states, or what the text is used as.
template <class Id, class Value>
struct Control {
  Id id;
  const char* name;
  const char* caption;
  Value initial;
  int iniField;
  const char* key = nullptr;
  NumberCheck check = nullptr;
  ValueRule rule{};
};
using BoxControl = Control<Box, const char*>;
using TickControl = Control<Tick, bool>;

// In the order of the enums.
inline constexpr std::array<BoxControl, 12> kBoxControls{{
    {Box::elapsed, "Text1", QT_TRANSLATE_NOOP("ratemon", "経過時間(Sec)"), "0", kNotSaved},
    {Box::total, "Text2", QT_TRANSLATE_NOOP("ratemon", "総カウント数"), "0", kNotSaved},
    {Box::threshold,
     "Text3",
     QT_TRANSLATE_NOOP("ratemon", "しきい値"),
     "50",
     0,
     "threshold",
     int16Number,
     {ValueRule::Range, 20, 80}},
    {Box::deadBand,
     "Text4",
     QT_TRANSLATE_NOOP("ratemon", "不感帯"),
     "3",
     1,
     "dead_band",
     int16Number,
     {ValueRule::Range, 0, 10}},
    {Box::resolution,
     "Text5",
     QT_TRANSLATE_NOOP("ratemon", "分解能"),
     "10",
     2,
     "resolution",
     int16Number,
     {ValueRule::Range, 5, 15}},
    {Box::cpm, "Text6", QT_TRANSLATE_NOOP("ratemon", "CPM"), "0", kNotSaved},
    {Box::sensitivity,
     "Text7",
     QT_TRANSLATE_NOOP("ratemon", "GM菅γ線感度"),
     "",
     3,
     "tube_sensitivity",
     positiveNumber,
     {ValueRule::Positive}},
    {Box::doseRate, "Text8", QT_TRANSLATE_NOOP("ratemon", "シーベルト(μSV/h)"), "0", kNotSaved},
    {Box::limit1,
     "Text9",
     QT_TRANSLATE_NOOP("ratemon", "第一段警報上限値"),
     "0.27",
     4,
     "alarm1_limit_usv_h",
     anyNumber,
     {ValueRule::Number}},
    {Box::limit2,
     "Text10",
     QT_TRANSLATE_NOOP("ratemon", "第二段警報上限値"),
     "2.7",
     5,
     "alarm2_limit_usv_h",
     anyNumber,
     {ValueRule::Number}},
    {Box::recordPath,
     "Text11",
     QT_TRANSLATE_NOOP("ratemon", "保存先"),
     "μSVHData_nnnntthh.csv",
     6,
     "record_path",
     nullptr,
     {ValueRule::RecordFile}},
    {Box::background,
     "Text12",
     QT_TRANSLATE_NOOP("ratemon", "BG補正 cpm"),
     "0",
     10,
     "background_cpm",
     anyNumber,
     {ValueRule::NotNegative}},
}};

inline constexpr std::array<TickControl, 5> kTickControls{{
    {Tick::pulseTest, "Check1", QT_TRANSLATE_NOOP("ratemon", "テスト"), false, kNotSaved},
    {Tick::alarm1, "Check2", QT_TRANSLATE_NOOP("ratemon", "第一段警報上限値"), false, 7, "alarm1"},
    {Tick::alarm2, "Check3", QT_TRANSLATE_NOOP("ratemon", "第二段警報上限値"), false, 8, "alarm2"},
    {Tick::recordFile, "Check4", QT_TRANSLATE_NOOP("ratemon", "データ収集(CSV)"), true, 9,
     "record_csv"},
    {Tick::graph, "Check5", QT_TRANSLATE_NOOP("ratemon", "リアルタイムグラフ表示"), false,
     kNotSaved},
}};

inline constexpr int kIniFieldCount = 11;

constexpr const BoxControl& control(Box box) { return kBoxControls[static_cast<size_t>(box)]; }
constexpr const TickControl& control(Tick t) { return kTickControls[static_cast<size_t>(t)]; }
static_assert(std::ranges::all_of(kBoxControls, [](auto& c) { return &control(c.id) == &c; }));
static_assert(std::ranges::all_of(kTickControls, [](auto& c) { return &control(c.id) == &c; }));
// The starting value of a box that starts at a whole number of digits.
constexpr int initialWhole(Box box, int at = 0, int value = 0) {
  const char digit = control(box).initial[at];
  return digit ? initialWhole(box, at + 1, value * 10 + (digit - '0')) : value;
}

// What the core tells the operator, as facts; the shell's messages unit words them.
// A box whose text cannot be used, and the value kept in force.
struct RefusedBox {
  Box box;
  double kept;
};
struct RecordKept {  // minute lines that could not be written and are kept
  std::string path;
  WriteFault fault;
  size_t keptLines;
};
struct NoSensitivity {};  // start refused: the tube's sensitivity is not usable
struct DeviceRefused {
  DeviceFailure failure;
};                  // start refused by the audio input
struct EventKept {  // sound-path events that could not be logged and are kept
  std::string path;
  WriteFault fault;
  size_t keptEvents;
};
using Notice = std::variant<RefusedBox, RecordKept, NoSensitivity, DeviceRefused, EventKept>;

// The controls themselves: the main window's, or the headless station's settings.
class StationControls {
 public:
  virtual ~StationControls() = default;
  virtual std::string text(Box box) const = 0;
  virtual void setText(Box box, const std::string& text) = 0;
  virtual bool checked(Tick tick) const = 0;
};

// The controls with somewhere for the core's notices to go (the station session).
class StationPanel : public StationControls {
 public:
  // A notice for the operator that needs no answer; measuring goes on.
  virtual void report(const Notice& notice) = 0;
};

}  // namespace radmon
