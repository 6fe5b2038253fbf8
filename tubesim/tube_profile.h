// The count rate of a simulated tube over the day, and its short text form used on
// command lines: "20" for a constant 20 CPM, "20:120@13:00-16:00" for 20 CPM with
// 120 CPM from 13:00 until 16:00; and the kind of tube that ticks at that rate.
#pragma once

#include <optional>
#include <string_view>

namespace radmon {

inline constexpr int kSecondsPerDay = 86400;

// How the discharges sound and follow each other:
//   Narrow       a pulse of about 100 us, every discharge heard
//   Wide         held far below rest for about 1 ms (a slow counter circuit)
//   AfterPulsing narrow, and a share of the discharges followed by an after-pulse
//                0.5 to 1.5 ms later (a tube that rings)
//   Paralysable  narrow, and the tube stays blind for 1 ms after every discharge,
//                heard or not: a discharge in that time extends the blindness
//   Ringing      narrow, and the circuit rings after it: a damped swing of about 2.8 kHz
//                that stays clear of the thresholds after the first dip
enum class TubeKind { Narrow, Wide, AfterPulsing, Paralysable, Ringing };

// "narrow", "wide", "afterpulse", "paralysable", "ringing".
std::optional<TubeKind> parseTubeKind(std::string_view text);
std::string_view tubeKindName(TubeKind kind);

// `baseCpm`, and `raisedCpm` from `raisedFromSecondOfDay` (inclusive) to
// `raisedToSecondOfDay` (exclusive). A stretch whose end lies before its start runs
// over midnight; equal ends mean no stretch.
struct TubeProfile {
  double baseCpm = 20.0;
  double raisedCpm = 20.0;
  int raisedFromSecondOfDay = 0;
  int raisedToSecondOfDay = 0;
  TubeKind kind = TubeKind::Narrow;

  static TubeProfile constant(double cpm) { return {cpm, cpm, 0, 0}; }
  double cpmAt(int secondOfDay) const;
  double maxCpm() const;
};

// Highest rate the simulator accepts: far beyond any tube, where pulses already merge.
inline constexpr double kMaxSimulatedCpm = 1.0e6;

// A rate: plain decimal digits with an optional fraction, 0 to kMaxSimulatedCpm.
std::optional<double> parseCpm(std::string_view text);
// "HH:MM" or "HH:MM:SS" as seconds of the day, 00:00 to 24:00.
std::optional<int> parseTimeOfDay(std::string_view text);
// "CPM" or "BASE:RAISED@HH:MM-HH:MM".
std::optional<TubeProfile> parseTubeProfile(std::string_view text);

}  // namespace radmon
