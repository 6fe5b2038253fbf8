#include "window_app.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QSocketNotifier>
#include <csignal>

#include "japanese_font.h"
#include "ratemon_messages.h"
#include "sound_card_input.h"
#include "sound_card_source.h"
#include "stop_signals.h"
#include "text_files.h"
#include "window_station.h"

namespace radmon {
namespace {

// A source that could not be opened: start tells why and ratemon stays idle.
class UnavailableInput final : public AudioInput {
 public:
  explicit UnavailableInput(std::string why) { why_.detail = std::move(why); }
  std::expected<void, DeviceFailure> openDevice() override { return std::unexpected(why_); }
  int16_t bufferCount() const override { return kBufferCount; }
  int32_t bufferSize() const override { return kBufferSize; }
  bool isRecording() const override { return false; }
  void addBuffer(int16_t) override {}
  void getBufferData(uint8_t*, int16_t, int32_t) override {}
  void startRecording() override {}
  void stopRecording() override {
    if (events_) events_->stateChanged();
  }
  void closeDevice() override {}

 private:
  DeviceFailure why_{DeviceFault::Unavailable, "", 0, {}};
};

}  // namespace

void closeOnStopSignals(QWidget& window) {
  const auto end = StopSignals::listen({SIGINT, SIGTERM, SIGHUP});
  if (!end) return;
  auto* notifier = new QSocketNotifier(*end, QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
    if (StopSignals::take() == 0) return;
    window.close();
    QCoreApplication::quit();
  });
}

int runWindows(int argc, char** argv, const std::string& sourceText, const InputFactory& openInput,
               const StationPlace& place) {
  QApplication app(argc, argv);
  // A stop signal from here on waits on the socket until the window can close.
  StopSignals::listen({SIGINT, SIGTERM, SIGHUP});
  app.setFont(japaneseFont(9));
  // The installed icon of the menu entry; none when run from the build.
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("radmon-ratemon")));

  StationParts parts;
  parts.programFolder = place.folder;
  parts.lockPath = place.lockPath;
  parts.dayplotArguments = place.dayplotArguments;
  parts.http = place.http;
  const auto cardName =
      sourceText.empty() ? std::optional<std::string>("") : soundCardDeviceName(sourceText);
  if (cardName) {
    parts.input = std::make_unique<SoundCardInput>(*cardName);
  } else if (!openInput) {
    parts.input = std::make_unique<UnavailableInput>(
        messages::about(messages::About::sourceUnopenable, sourceText));
  } else {
    auto opened = openInput(sourceText, SystemClock().now().secondOfDay());
    if (!opened) {
      parts.input = std::make_unique<UnavailableInput>(opened.error());
    } else {
      parts.input = std::move(opened->input);
      parts.deliverNext = std::move(opened->deliverNext);
    }
  }

  WindowStation station(std::move(parts));
  if (auto started = station.startup(); !started) {
    if (StopSignals::release({SIGINT, SIGTERM, SIGHUP})) return 1;
    QMessageBox::critical(nullptr, QString::fromUtf8(MainWindow::kCaption),
                          QString::fromStdString(started.error()));
    return 1;
  }
  // Which station this window keeps: the operator of an installed program cannot guess.
  station.window().setWindowTitle(station.window().windowTitle() + QStringLiteral(" - ") +
                                  QString::fromStdString(place.folder));
  closeOnStopSignals(station.window());
  station.window().show();
  return app.exec();
}

}  // namespace radmon
