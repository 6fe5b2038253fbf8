// The test rig's sound server (scripts/start-audio.sh): a null sink radmon_sink whose
// monitor is remapped as the input radmon_mic. Tests add and remove inputs of their
// own on the same monitor, kill and restart the server, and play tube recordings into
// the sink.
#pragma once

#include <signal.h>
#include <sndfile.h>

#include <QProcess>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "audio_input.h"

namespace radmon::rig {

inline std::string run(const QString& program, const QStringList& args, int* exitCode = nullptr) {
  QProcess p;
  p.start(program, args);
  p.waitForFinished(10000);
  if (exitCode) *exitCode = p.exitCode();
  return p.readAllStandardOutput().trimmed().toStdString();
}

inline bool serverUp() {
  int code = -1;
  run("pactl", {"info"}, &code);
  return code == 0;
}

// Adds an input `name` recording the monitor of `sink`; the module's index.
inline std::string addInput(const std::string& name, const std::string& sink = "radmon_sink") {
  return run("pactl", {"load-module", "module-remap-source",
                       QString::fromStdString("master=" + sink + ".monitor"),
                       QString::fromStdString("source_name=" + name)});
}

// The rig's own inputs and the sinks they record.
inline const std::vector<std::pair<std::string, std::string>> kRigInputs = {
    {"radmon_mic", "radmon_sink"}, {"radmon_speaker_mic", "radmon_speaker"}};

inline void removeModule(const std::string& index) {
  run("pactl", {"unload-module", QString::fromStdString(index)});
}

// Unloads every module that made `input`, a second one too (which the server names
// "input.2").
inline void removeInput(const std::string& input) {
  std::istringstream lines(run("pactl", {"list", "short", "modules"}));
  for (std::string m; std::getline(lines, m);)
    if (m.find("source_name=" + input + "\t") != std::string::npos ||
        m.ends_with("source_name=" + input))
      removeModule(m.substr(0, m.find('\t')));
}

// The module index behind an input, "" when it is not there.
inline std::string moduleOf(const std::string& input) {
  const std::string list = run("pactl", {"list", "short", "sources"});
  std::istringstream lines(list);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string index, name;
    fields >> index >> name;
    if (name == input) {
      const std::string modules = run("pactl", {"list", "short", "modules"});
      std::istringstream mlines(modules);
      for (std::string m; std::getline(mlines, m);)
        if (m.find("source_name=" + input) != std::string::npos) return m.substr(0, m.find('\t'));
    }
  }
  return {};
}

// Moves every recording stream of this process to `input`, as the server does when a
// new device is plugged in.
inline void moveOwnStreams(const std::string& input) {
  const std::string list = run("pactl", {"list", "source-outputs"});
  std::istringstream lines(list);
  std::string index;
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("Source Output #")) index = line.substr(15);
    if (line.find("application.process.id = \"" + std::to_string(::getpid()) + "\"") !=
        std::string::npos)
      run("pactl",
          {"move-source-output", QString::fromStdString(index), QString::fromStdString(input)});
  }
}

// Kills the server of the rig (by the pid it wrote) and starts it again with the same
// settings, as a crash and a restart by the system would.
inline void killServer() {
  const char* runtime = std::getenv("PULSE_RUNTIME_PATH");
  ASSERT_NE(runtime, nullptr);
  std::ifstream pidFile(std::string(runtime) + "/pid");
  pid_t pid = 0;
  pidFile >> pid;
  ASSERT_GT(pid, 0);
  ::kill(pid, SIGKILL);
  ASSERT_TRUE(QTest::qWaitFor([] { return !serverUp(); }, 5000));
}

inline void startServer() {
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  ASSERT_NE(xdg, nullptr);
  const std::string dir = std::filesystem::path(xdg).parent_path().string();
  int code = -1;
  run("bash",
      {"-c", QString::fromStdString("RADMON_AUDIO_DIR='" + dir +
                                    "' . '" SOURCE_DIR "/scripts/start-audio.sh'")},
      &code);
  ASSERT_TRUE(serverUp());
}

// `seconds` of quiet u8 sound with `perSecond` dips (to 20 for 5 samples) in every
// second but the first and the last.
inline void writeTubeRecording(const std::string& path, int seconds, int perSecond) {
  std::vector<short> s(static_cast<size_t>(seconds * kSampleRate), 0);
  for (int sec = 1; sec < seconds - 1; ++sec)
    for (int k = 0; k < perSecond; ++k) {
      const size_t at = size_t(sec * kSampleRate + 300 + k * (kSampleRate - 600) / perSecond);
      for (size_t j = 0; j < 5; ++j) s[at + j] = static_cast<short>((20 - 128) * 256);
    }
  SF_INFO info{};
  info.samplerate = kSampleRate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_U8;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(f, nullptr);
  sf_write_short(f, s.data(), static_cast<sf_count_t>(s.size()));
  sf_close(f);
}

// Plays a recording into the recorded sink (not the default output: alarms go there),
// keeping the event loop running meanwhile.
inline bool play(const std::string& wav) {
  QProcess player;
  player.start("paplay",
               {"--latency-msec=20", "--device=radmon_sink", QString::fromStdString(wav)});
  if (!player.waitForStarted(5000)) return false;
  if (!QTest::qWaitFor([&] { return player.state() == QProcess::NotRunning; }, 30000)) return false;
  return player.exitStatus() == QProcess::NormalExit && player.exitCode() == 0;
}

}  // namespace radmon::rig
