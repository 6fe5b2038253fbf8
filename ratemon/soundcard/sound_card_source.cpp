#include "sound_card_source.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <filesystem>

#include "sound_card_input.h"
#include "text_files.h"

namespace radmon {
namespace {

bool looksLikeFile(const std::string& text) {
  if (text.find('/') != std::string::npos || text.find('\\') != std::string::npos) return true;
  return endsWith(lowerAscii(text), ".wav");
}

}  // namespace

std::optional<std::string> soundCardDeviceName(const std::string& source) {
  if (source == "default") return std::string();
  if (source.starts_with("device:")) return source.substr(7);
  if (source.starts_with("sim:")) return std::nullopt;
  std::error_code ec;
  if (std::filesystem::exists(source, ec) || looksLikeFile(source)) return std::nullopt;
  return source;
}

DrivenInput drivenSoundCard(const std::string& deviceName,
                            const volatile std::sig_atomic_t* interrupted) {
  auto card = std::make_unique<SoundCardInput>(deviceName);
  SoundCardInput* raw = card.get();
  auto deliverNext = [raw, interrupted] {
    const int64_t before = raw->buffersDelivered();
    // Wakes the loop now and then, so that a signal is noticed.
    QTimer wake;
    wake.start(100);
    while (raw->isRecording() && raw->buffersDelivered() == before) {
      if (interrupted && *interrupted) return false;
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return raw->buffersDelivered() != before;
  };
  return DrivenInput{std::move(card), std::move(deliverNext), true};
}

}  // namespace radmon
