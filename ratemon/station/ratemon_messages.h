// Every sentence ratemon says to the operator, in the interface's language, for the
// window and the headless loop alike. The core reports facts (Notice); this unit words
// them. The texts go through Qt's translation so that other languages can be added.
#pragma once

#include <cstdint>
#include <expected>
#include <string>
#include <vector>

#include "counting_settings.h"
#include "lock_file.h"
#include "map_sender.h"
#include "pending_records.h"
#include "pulse_intervals.h"
#include "reading_interval.h"
#include "resolving_time.h"
#include "sound_event.h"
#include "station_link.h"
#include "station_panel.h"
#include "station_session.h"

namespace radmon::messages {

std::string notice(const Notice& notice);
// Headless: the command that sets the tube's sensitivity, and why a command line is
// refused (no --input, an option without its value).
std::string sensitivityCommand();
std::string noInputGiven();
std::string missingValue(const std::string& option);
// A box of the window whose typed value its rule does not take: refused (what the
// settings file cannot carry) or, for a range the label states only as guidance, used
// all the same.
std::string boxRefused(Box box, const ValueFault& fault);
std::string boxOutsideUsual(Box box, const ValueFault& fault);
// A record path typed that the day files cannot follow, and why.
std::string boxNotUsable(Box box, const ValueFault& fault);
// The sentences about one file or source: its path or text is put in.
enum class About { sourceUnopenable, dayplotMissing, dayplotNotStarted, alarmToneNotWritten };
std::string about(About what, const std::string& subject);
// `silence`: started by an improbable silence, which has no rate to show.
std::string alarmStarted(int stage, float grossDoseRate, float limit, bool silence = false);
std::string hoursDone(int64_t hours);
// A sound-path event, as logged and shown.
std::string soundEvent(const SoundEvent& event);
// The event in a few words, for the window's status line.
std::string soundState(const SoundEvent& event);
// The same, for the recording cycle to write its event log with.
const EventWording& eventWording();
// Record lines or events kept at the end, put in the pending file `path` (or lost, `kept`
// holding why).
std::string pendingKept(Pending what, size_t lines, const std::string& path,
                        const std::expected<void, WriteFault>& kept);
// Pending lines of an earlier run written into their files at start.
std::string pendingFlushed(const ReadResult<PendingFlush, RecordIssue>& flush);
// A lasting state that began (worded by its cause, when it has one) or ended.
std::string lasting(Lasting what, bool began, const std::optional<Notice>& cause);
// What was wrong in a settings file, ratemon.ini or one beside it.
std::string settingsIssue(const std::string& path, const LineIssue<SettingsIssue>& issue);

// Publishing over MQTT.
std::string mqttAddress(MqttAddressError error, const std::string& url);
std::string linkNotice(const LinkNotice& notice);
// Empty for what needs no telling (the link closing at the end).
std::string linkEvent(const LinkEvent& event);
std::string linkUnsent(size_t records);
// The window's one line: the link's state, the last acknowledged record, what waits.
std::string linkStatus(const LinkStatus& status);
// The same in a few words beside the MQTT button: the state and the last publish's time.
std::string linkStatusShort(const LinkStatus& status);
std::string linkOff();
// The public maps: a service that stopped taking the minutes (once, when it begins), took
// them again (once, when it ends), minutes skipped by a service that takes only the
// current reading, minutes left queued at the end, and the last outcome per service for
// the window's status.
std::string mapFailed(const MapOutcome& outcome);
std::string mapRecovered(MapService service);
std::string mapSkipped(MapService service, size_t minutes);
std::string mapUnsent(MapService service, size_t minutes);
std::string mapStatus(MapService service, const std::optional<MapOutcome>& last);
// The names Home Assistant shows for the station's device and entities.
DiscoveryNames discoveryNames();
// Counting statistics and the dead-time correction.
std::string badDeadTime(const std::string& text);
// The 95 % interval of the CPM and the dose rate, for the window (two lines); with the
// dead-time correction on, its τ closes the second line.
std::string readingInterval(const ReadingInterval& interval, double deadTimeMicroseconds = 0);
// Past the dead-time cap or with a saturated tube, in the interval's place: the reading
// as a lower bound, and the lower end of its interval with why (two lines).
std::string readingLowerBound(const DoseResult& dose, const ReadingInterval& interval,
                              bool tubeSaturated = false);
// A time as the pulse-interval view shows it: 10 μs, 2.5 ms, 1 s.
std::string intervalTime(double seconds);
// The resolving time estimated from the intervals heard, offered for the settings; while
// too few pulses were heard, that and the scan's own at its resolution (the least τ
// can be).
std::string deadTimeOffer(const ResolvingTimeEstimate& estimate, double scanMicroseconds);

// Captions of the counting controls.
enum class Counting { intervalsButton, deadTimeTick, deadTimeUnit, bandTick, evidenceTick };
std::string counting(Counting caption);

// The pulse-interval view: its chart's title and legend, the figures line and the
// advice for one verdict.
enum class IntervalLabel { title, measured, random };
std::string intervalLabel(IntervalLabel label);
std::string intervalFigures(const IntervalAnalysis& analysis);
std::string intervalAdvice(IntervalVerdict verdict, const IntervalAnalysis& analysis);
// The card has been away `minutes`: a reminder in the headless log.
std::string stillWaiting(const std::string& device, int64_t minutes);
// No connection to the sound server can be made from this process any more.
std::string soundBroken();
// The alarm sound cannot be played on `output` (the sound server's name; "" for none).
std::string alarmOutputUnavailable(const std::string& output);
// The alarm sounds again on `output` after it could not.
std::string alarmOutputBack(const std::string& output);
std::string fileNotWritten(const std::string& path, const WriteFault& fault);
std::string lockRefused(const std::string& path, const LockFile::Refusal& refusal);
// The command line: how to call ratemon, and an argument that cannot be used.
std::string usage();
enum class BadArgument { start, seconds, http };
std::string badArgument(BadArgument what, const std::string& text);
// The live page over HTTP: where it listens, and why it cannot yet (tried again every
// `retrySeconds`).
std::string liveListening(const std::string& address);
std::string liveNotListening(const std::string& address, const std::string& reason,
                             int retrySeconds);
// The SOURCE text, and a WAV file that cannot be played (`reason` in libsndfile's words).
// The window cannot open without a display; --headless is the way.
std::string noDisplay();
std::string noSource();
std::string badSimulation(const std::string& text);
// The record folder's dialog, and the note drawn when the graph has no scale.
std::string folderDialogTitle();
std::vector<std::string> folderDialogFilters();
std::string noScaleNote();

}  // namespace radmon::messages
