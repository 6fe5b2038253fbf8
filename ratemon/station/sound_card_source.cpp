#include "sound_card_source.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <ostream>

#include "local_time.h"
#include "ratemon_messages.h"
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
                            const volatile std::sig_atomic_t* interrupted, std::ostream& log,
                            std::chrono::milliseconds remindEvery) {
  auto card = std::make_unique<SoundCardInput>(deviceName);
  SoundCardInput* raw = card.get();
  auto away = std::make_shared<QElapsedTimer>();
  auto reminded = std::make_shared<int64_t>(0);
  const int64_t every = std::max<int64_t>(remindEvery.count(), 1);
  auto deliverNext = [raw, interrupted, &log, away, reminded, every] {
    const int64_t before = raw->buffersDelivered();
    // Wakes the loop now and then, so that a signal is noticed.
    QTimer wake;
    wake.start(100);
    while (raw->isRecording() && raw->buffersDelivered() == before && !raw->broken()) {
      if (interrupted && *interrupted) return false;
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
      if (!raw->deviceLost()) {
        away->invalidate();
        continue;
      }
      if (!away->isValid()) {
        away->start();
        *reminded = 0;
      }
      const int64_t waited = away->elapsed();
      if (waited >= (*reminded + 1) * every) {
        *reminded = waited / every;
        log << SystemClock().now().logLine(messages::stillWaiting(raw->shownName(), waited / 60000))
            << std::endl;
      }
    }
    return raw->buffersDelivered() != before;
  };
  auto broken = [raw] { return raw->broken(); };
  return DrivenInput{std::move(card), std::move(deliverNext), true, std::move(broken)};
}

}  // namespace radmon
