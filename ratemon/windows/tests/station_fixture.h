// A ratemon station in a fresh program folder with a fake device and sound, for tests
// of the real windows.
#pragma once

#include <QTest>
#include <QTextDocumentFragment>
#include <filesystem>
#include <fstream>
#include <optional>

#include <gtest/gtest.h>

#include "fakes.h"
#include "file_bytes.h"
#include "qt_app.h"
#include "ratemon_messages.h"
#include "temp_station.h"
#include "window_station.h"

namespace radmon {
namespace fs = std::filesystem;

using testing::readBytes;

// A station in a fresh program folder with a fake device and sound.
class StationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testApp();
    temp_.emplace("radmon_station", "program", std::initializer_list<const char*>{});
    folder_ = temp_->program;
    programFolder_ = folder_.string() + "/";
  }
  void TearDown() override {
    station_.reset();
    temp_.reset();
  }

  WindowStation& make(SaveDialog dialog = {}) {
    StationParts parts;
    parts.programFolder = programFolder_;
    parts.lockPath = programFolder_ + "~Record.tmp";
    auto audio = std::make_unique<FakeAudio>();
    audio_ = audio.get();
    parts.input = std::move(audio);
    auto sound = std::make_unique<FakeSound>();
    sound_ = sound.get();
    parts.sound = std::move(sound);
    parts.clock = std::make_unique<ManualClock>(LocalDateTime{2011, 9, 19, 10, 0, 0});
    parts.saveDialog = std::move(dialog);
    parts.dayplotPath = dayplotPath_;
    parts.dayplotArguments = dayplotArguments_;
    station_ = std::make_unique<WindowStation>(std::move(parts));
    return *station_;
  }
  // Makes the station and starts it, which must succeed.
  void start(SaveDialog dialog = {}) {
    make(std::move(dialog));
    ASSERT_TRUE(station_->startup());
  }
  MainWindow& w() { return station_->window(); }
  // The readings' interval shows each of its lines whole, in its own small face.
  void expectIntervalFits() {
    const QLabel* label = w().intervalLabel();
    std::string widths;  // of each line, to tell which one is too wide
    for (const QString& line : label->text().split("<br>"))
      widths += std::to_string(label->fontMetrics().horizontalAdvance(
                    QTextDocumentFragment::fromHtml(line).toPlainText())) +
                " ";
    EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString() << "\n"
                                                         << widths;
    EXPECT_LE(label->sizeHint().height(), label->height()) << label->text().toStdString();
  }
  std::string message() {
    auto* box = w().messageBox();
    return box ? box->text().toStdString() : std::string();
  }
  // Starts recording with a usable sensitivity.
  void startRecording() {
    w().setText(Box::sensitivity, "120");
    QTest::mouseClick(w().cmdRec(), Qt::LeftButton);
    ASSERT_TRUE(audio_->recording);
  }

  std::optional<ftp::testing::TempStation> temp_;
  fs::path folder_;
  std::string programFolder_;
  std::string dayplotPath_;  // empty: dayplot beside the program
  std::vector<std::string> dayplotArguments_;
  FakeAudio* audio_ = nullptr;
  FakeSound* sound_ = nullptr;
  std::unique_ptr<WindowStation> station_;
};

// Every state of the link, with and without a last publish, fits its place beside the
// readings in the window's language: within the label, the label clear of every control.
inline void expectLinkStatesFit(MainWindow& w) {
  std::vector<std::string> briefs{messages::linkOff()};
  for (const LinkState state :
       {LinkState::Connecting, LinkState::Connected, LinkState::Unreachable, LinkState::BadLogin,
        LinkState::Refused, LinkState::TlsFailed, LinkState::Lost, LinkState::Closed})
    for (const char* last : {"", "2026-03-01T23:59:00+09:00"})
      briefs.push_back(messages::linkStatusShort({state, 0, last}));
  QLabel* label = w.mqttState();
  for (const std::string& brief : briefs) {
    w.showLinkState(brief, "", true);
    const QRect need =
        QFontMetrics(label->font())
            .boundingRect(label->contentsRect(), Qt::TextWordWrap | Qt::AlignLeft, label->text());
    EXPECT_LE(need.width(), label->width()) << brief;
    EXPECT_LE(need.height(), label->height()) << brief;
    EXPECT_GE(label->font().pointSize(), 6) << brief;
  }
  for (const QWidget* other : w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (other == label || other->isWindow()) continue;
    EXPECT_FALSE(label->geometry().intersects(other->geometry()))
        << other->objectName().toStdString();
  }
}

}  // namespace radmon
