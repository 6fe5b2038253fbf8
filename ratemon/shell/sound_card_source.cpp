#include "sound_card_source.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <filesystem>
#include <ostream>

#include "local_time.h"
#include "sound_card_input.h"

namespace radmon {

std::optional<std::string> soundCardDeviceName(const std::string& source) {
  if (source == "default") return std::string();
  if (source.starts_with("device:")) return source.substr(7);
  if (source.starts_with("sim:")) return std::nullopt;
  std::error_code ec;
  if (std::filesystem::exists(source, ec)) return std::nullopt;
  if (!SoundCardInput::findDevice(source).isNull()) return source;
  return std::nullopt;
}

DrivenInput drivenSoundCard(const std::string& deviceName, std::ostream& err,
                            const volatile std::sig_atomic_t* interrupted, int stallSeconds) {
  auto card = std::make_unique<SoundCardInput>(deviceName);
  SoundCardInput* raw = card.get();
  raw->setErrorHandler([&err](const std::string& message) {
    err << SystemClock().now().isoText() << ' ' << message << std::endl;
  });
  auto deliverNext = [raw, &err, interrupted, stallSeconds] {
    const int64_t before = raw->buffersDelivered();
    // Wakes the loop now and then, so that a signal or a silent device is noticed.
    QTimer wake;
    wake.start(100);
    QElapsedTimer waited;
    waited.start();
    while (raw->isRecording() && raw->buffersDelivered() == before) {
      if (interrupted && *interrupted) return false;
      if (waited.elapsed() > stallSeconds * 1000LL) {
        err << SystemClock().now().isoText() << " "
            << QCoreApplication::translate(
                   "ratemon", "録音デバイスから %1 秒間音が届きません。録音を終わります。")
                   .arg(stallSeconds)
                   .toStdString()
            << std::endl;
        return false;
      }
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return raw->buffersDelivered() != before;
  };
  return DrivenInput{std::move(card), std::move(deliverNext), true};
}

}  // namespace radmon
