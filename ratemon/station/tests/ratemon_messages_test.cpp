#include "ratemon_messages.h"

#include <cerrno>
#include <cmath>

#include <gtest/gtest.h>

namespace radmon {

TEST(RatemonMessages, NoticesAreWordedForTheOperator) {
  DeviceFailure stereo(DeviceFault::FileFormat, "/r/a.wav");
  stereo.channels = 2;
  stereo.sampleRate = 44100;
  DeviceFailure unreadable(DeviceFault::FileUnreadable, "/r/b.wav");
  unreadable.detail = "File does not exist.";
  const std::pair<Notice, std::string> rows[] = {
      {RefusedBox{Box::threshold, 50},
       "しきい値に正しい数値を入力してください（前の値 50 で続けます）"},
      {RefusedBox{Box::limit1, 0.27},
       "第一段警報上限値に正しい数値を入力してください（前の値 0.27 で続けます）"},
      {RefusedBox{Box::background, 1.5},
       "BG補正 cpmに正しい数値を入力してください（前の値 1.5 で続けます）"},
      {RecordKept{"/d/μSVHData20110919.csv", {WriteStep::open, ENOENT}, 3},
       "記録ファイルに書き込めません: /d/μSVHData20110919.csv (No such file or directory)。"
       "3 行を保持し、次の分に書き込みます"},
      // A path that looks like a place holder stays as it is.
      {RecordKept{"/d/%3%2/", {WriteStep::write, ENOSPC}, 1},
       "記録ファイルに書き込めません: /d/%3%2/ (No space left on device)。1 "
       "行を保持し、次の分に書き込みます"},
      {NoSensitivity{}, "GM菅γ線感度を入力してください"},
      {DeviceRefused{stereo},
       "WAVファイルはモノラル 22050 Hz でなければなりません: /r/a.wav (2 チャンネル, 44100 Hz)"},
      {DeviceRefused{unreadable}, "WAVファイルを開けません: /r/b.wav (File does not exist.)"},
  };
  for (const auto& [notice, text] : rows) EXPECT_EQ(messages::notice(notice), text);
  EXPECT_EQ(messages::alarmStarted(2, 3.5f, 2.7f), "第二段警報: 3.5 μSv/h > 2.7 μSv/h");
  EXPECT_EQ(messages::badSimulation("sim:x").rfind(
                "シミュレーション入力の指定が正しくありません: sim:x (例:", 0),
            0u);
  EXPECT_EQ(messages::noSource(), "入力が指定されていません");
  EXPECT_EQ(messages::fileNotWritten("/p/%2/ratemon.ini", {WriteStep::replace, EACCES}),
            "ファイルに書き込めません: /p/%2/ratemon.ini (Permission denied)");
}

// The inputs present beside one not found, an output's monitor named as such; the alarm
// output lost and back.
TEST(RatemonMessages, MonitorsAndTheAlarmOutputAreNamed) {
  const DeviceFailure missing(DeviceFault::NotFound, "tube", 0,
                              {"radmon_mic", "radmon_sink.monitor"});
  EXPECT_EQ(messages::notice(DeviceRefused{missing}),
            "録音デバイス「tube」が見つかりません。数秒ごとに探します。ある入力: radmon_mic, "
            "radmon_sink.monitor (出力のモニター)");
  EXPECT_EQ(messages::alarmOutputUnavailable("radmon_speaker"),
            "警報音の出力 radmon_speaker を開けません。警報は音なしで知らせ、計測を続けます。");
  EXPECT_EQ(messages::alarmOutputBack("radmon_speaker"),
            "警報音の出力 radmon_speaker に戻りました。警報は再び音でも知らせます。");
}

// The watch's new faults in words, with their figures; their end names the kind, so
// that dayplot closes the right period.
TEST(RatemonMessages, TheWatchsFaultsAreWordedWithTheirFigures) {
  auto event = [](EventKind kind, SignalChange change) {
    SoundEvent e;
    e.kind = kind;
    e.change = change;
    return e;
  };
  SignalChange noise{SignalFault::Clipping, true, false, 10, 0, 0};
  noise.noise = true;
  SignalChange locked{SignalFault::Interference, true, false, 10, 0, 1.234};
  locked.mainsHz = 60;
  SignalChange ringing{SignalFault::AfterPulses, true, false, 840, 0, 0};
  ringing.shortShare = 0.0175;
  const std::pair<SoundEvent, std::string> rows[] = {
      {event(EventKind::Clipping, noise),
       "音の飽和: 10 秒間、GM管では出ない広帯域の雑音が入っています。"
       "その計数は放射線ではありません。配線と入力レベルを確認してください。"},
      {event(EventKind::Interference, locked),
       "電源からの雑音: 毎秒約 1.2 個のパルスが電源 (60 Hz) "
       "の周期に揃っています。配線とシールド、しきい値を見直してください。"},
      {event(EventKind::AfterPulses, ringing),
       "アフターパルス: 2 ms 未満の間隔がパルスの 1.75 % あり、"
       "偶然では説明できません。GM管と分解能を確認してください。"},
      {event(EventKind::SignalOk, locked), "電源からの雑音が解消しました (interference)"},
      {event(EventKind::SignalOk, ringing), "アフターパルスが解消しました (after-pulses)"},
  };
  for (const auto& [e, text] : rows) EXPECT_EQ(messages::soundEvent(e), text);
}

// The reading line under the test: the interval, the τ when the correction is on, an
// upper end past the cap as none; past the cap, the reading as a lower bound.
TEST(RatemonMessages, TheReadingLineSaysWhatTheIntervalAndTheCapMean) {
  DoseResult capped;
  capped.cpm = 56751;
  capped.netDoseRate = 525.472f;
  const struct {
    std::string text, expected;
  } rows[] = {
      {messages::readingInterval({20, 60, 12.21652, 30.88838, 0.113, 0.286}),
       "95%区間 CPM 12.2～30.9\n0.113～0.286 μSv/h"},
      {messages::readingInterval({20, 60, 12.21652, 30.88838, 0.113, 0.286}, 499),
       "95%区間 CPM 12.2～30.9\n0.113～0.286 μSv/h (τ 499 μs)"},
      {messages::readingInterval({35900, 60, 50900.4, HUGE_VAL, 471.3, HUGE_VAL, true}, 499),
       "95%区間 CPM 50900.4～∞\n471.300～∞ μSv/h (τ 499 μs)"},
      {messages::readingLowerBound(capped, {56751, 60, 56285.0, HUGE_VAL, 521.158, HUGE_VAL, true}),
       "≥ 56751 CPM ≥ 525.472 μSv/h\n95%区間 ≥ 56285 CPM (τ 上限超え)"},
      {messages::readingInterval({5, 0, 0, 0, 0, 0}), ""},  // nothing counted yet
  };
  for (const auto& row : rows) EXPECT_EQ(row.text, row.expected);
}

}  // namespace radmon
