// Every sentence ratemon says to the operator, in the interface's language, for the
// window and the headless loop alike. The core reports facts (Notice); this unit words
// them. The texts go through Qt's translation so that other languages can be added.
#pragma once

#include <cstdint>
#include <string>

#include "pending_records.h"
#include "sound_event.h"
#include "station_panel.h"

namespace radmon::messages {

std::string notice(const Notice& notice);
// The sentences about one file or source: its path or text is put in.
enum class About { settingsUnreadable, sourceUnopenable, dayplotMissing, dayplotNotStarted };
std::string about(About what, const std::string& subject);
std::string alarmStarted(int stage, float grossDoseRate, float limit);
std::string hoursDone(int64_t hours);
// A sound-path event, as logged and shown.
std::string soundEvent(const SoundEvent& event);
// The event in a few words, for the window's status line.
std::string soundState(const SoundEvent& event);
// The same, for the recording cycle to write its event log with.
const EventWording& eventWording();
// Record lines kept at the end, put in the pending file `path` (or lost with `fault`).
std::string recordsPending(size_t lines, const std::string& path, const std::optional<WriteFault>& fault);
// Pending lines of an earlier run written into their day files at start.
std::string pendingFlushed(const PendingFlush& flush);

}  // namespace radmon::messages
