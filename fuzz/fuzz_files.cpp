// Targets on files from outside: the day file and its pass, a WAV recording, and an FTP
// command script.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "day_pass.h"
#include "day_record.h"
#include "day_table.h"
#include "ftp_script.h"
#include "fuzz_entries.h"
#include "number_text.h"
#include "outcome_text.h"
#include "text_files.h"
#include "wav_file_input.h"

namespace radmon::fuzz {

void dayTable(const uint8_t* data, size_t size) {
  constexpr const char* kName = "day_table";
  const std::string text =
      decodeFileText(std::string_view(reinterpret_cast<const char*>(data), size));
  const auto read = dayTableFromText(text);
  const DayTable& table = read.value;
  const auto lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n') +
                                         std::count(text.begin(), text.end(), '\r') + 1);
  FUZZ_CHECK(kName, table.rows.size() + read.issues.size() <= lines);
  double sum = 0;
  for (const DayRecord& row : table.rows) {
    FUZZ_CHECK(kName, std::isfinite(row.rate));
    const auto again = readNumber(row.rateText);
    FUZZ_CHECK(kName, again && *again == row.rate);
    // A line rebuilt from the row reads back as the row.
    const auto line = parseRecordLine("\"" + row.date + "\",\"" + row.time + "\"," + row.rateText +
                                      ",0,0,60\r\n");
    if (row.date.find('"') == std::string::npos && row.time.find('"') == std::string::npos) {
      FUZZ_CHECK(kName, line && line->date == row.date && line->time == row.time &&
                            line->rate == row.rate);
    }
    sum += row.rate;
  }
  (void)titleDateParts(table);

  size_t pairs = 0;
  const DailyStats stats = runDayPass(table, [&](const PlotPair& p) {
    FUZZ_CHECK(kName, !p.drawn || p.t2 - p.t1 == 1);
    FUZZ_CHECK(kName, p.r1 == table.rows[pairs].rate && p.r2 == table.rows[pairs + 1].rate);
    ++pairs;
  });
  FUZZ_CHECK(kName, pairs + 1 == std::max<size_t>(table.rows.size(), 1));
  FUZZ_CHECK(kName, stats.count == static_cast<int>(table.rows.size()));
  if (!table.rows.empty() && std::isfinite(sum)) {
    const double mean = sum / static_cast<double>(table.rows.size());
    FUZZ_CHECK(kName, std::abs(stats.average - mean) <= 0.0005 + std::abs(mean) * 1e-12);
  }

  // A minute's record with a dose from the bytes reads back to seven digits.
  if (float dose; size >= sizeof dose) {
    std::memcpy(&dose, data, sizeof dose);
    if (!std::isfinite(dose)) return;
    RecordLine record;
    record.when = LocalDateTime{2011, 9, 19, 12, 34, 0};
    record.netDose = dose;
    record.cpm = 54;
    const auto back = parseRecordLine(formatRecordLine(record));
    FUZZ_CHECK(kName, back && back->date == "2011/09/19" && back->time == "12:34");
    FUZZ_CHECK(kName, std::abs(back->rate - dose) <= std::abs(dose) * 6e-7);
  }
}

namespace {

// Hands every buffer straight back, as the recording cycle does, and checks the counts.
class Drain : public AudioInput::Events {
 public:
  explicit Drain(AudioInput& input) : input_(input) {}
  void bufferDone(int16_t index, int32_t count, int16_t flag) override {
    FUZZ_CHECK("wav_file", count > 0 && count <= kBufferSize && flag == 0);
    std::vector<uint8_t> bytes(static_cast<size_t>(count));
    input_.getBufferData(bytes.data(), index, count);
    total += static_cast<size_t>(count);
    input_.addBuffer(index);
  }
  void stateChanged() override {}
  size_t total = 0;

 private:
  AudioInput& input_;
};

}  // namespace

void wavFile(const uint8_t* data, size_t size) {
  // The bytes as a file in memory, opened by path as ratemon opens a recording.
  const int fd = ::memfd_create("wav_fuzz", 0);
  if (fd < 0) return;
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  {
    WavFileInput input("/proc/self/fd/" + std::to_string(fd));
    Drain drain(input);
    input.setEvents(&drain);
    if (input.openDevice()) {
      input.startRecording();
      for (int16_t i = 0; i < kBufferCount; ++i) input.addBuffer(i);
      // A file in memory this small holds at most a few hundred seconds of sound,
      // even compressed; the guard only stops a reader that never ends.
      int seconds = 0;
      while (input.deliverNext()) FUZZ_CHECK("wav_file", ++seconds < 100000);
      FUZZ_CHECK("wav_file", !input.isRecording());
      input.closeDevice();
    }
  }
  ::close(fd);
}

void ftpScript(const uint8_t* data, size_t size) {
  constexpr const char* kName = "ftp_script";
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
  for (const bool autoLogin : {true, false}) {
    const ftp::ParsedScript script = ftp::parseFtpScript(text, {autoLogin});
    int previous = 0;
    for (size_t i = 0; i < script.value.size(); ++i) {
      const ftp::ScriptCommand& c = script.value[i];
      FUZZ_CHECK(kName, c.line > previous && c.line <= lines);
      previous = c.line;
      switch (c.kind) {
        case ftp::CommandKind::Open:
          FUZZ_CHECK(kName, c.args.size() == 1 && c.port >= 1 && c.port <= 65535);
          FUZZ_CHECK(kName, c.login.has_value() == autoLogin);
          if (c.login) FUZZ_CHECK(kName, !c.login->user.empty());
          break;
        case ftp::CommandKind::User:
          FUZZ_CHECK(kName, c.login.has_value());
          break;
        case ftp::CommandKind::Cd:
          FUZZ_CHECK(kName, c.args.size() == 1 && c.args[0].find('\\') == std::string::npos);
          break;
        case ftp::CommandKind::Put:
          FUZZ_CHECK(kName, !c.args.empty());
          for (const auto& path : c.args) {
            const std::string name = ftp::uploadName(path);
            FUZZ_CHECK(kName, name.find_first_of("/\\") == std::string::npos);
          }
          break;
        case ftp::CommandKind::Bye:
          FUZZ_CHECK(kName, i + 1 == script.value.size());
          break;
        default:
          break;
      }
    }
    int previousError = 0;
    for (const auto& e : script.issues) {
      FUZZ_CHECK(kName, e.line >= previousError && e.line >= 1 && e.line <= lines);
      FUZZ_CHECK(kName, !ftp::scriptIssueText(e).empty());
      previousError = e.line;
    }
  }
}

}  // namespace radmon::fuzz
