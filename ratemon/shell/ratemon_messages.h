// Every sentence ratemon says to the operator, in the interface's language, for the
// window and the headless loop alike. The core reports facts (Notice); this unit words
// them. The texts go through Qt's translation so that other languages can be added.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lock_file.h"
#include "station_panel.h"

namespace radmon::messages {

std::string notice(const Notice& notice);
// The sentences about one file or source: its path or text is put in.
enum class About {
  settingsUnreadable, sourceUnopenable, dayplotMissing, dayplotNotStarted, alarmToneNotWritten
};
std::string about(About what, const std::string& subject);
std::string alarmStarted(int stage, float grossDoseRate, float limit);
std::string hoursDone(int64_t hours);
std::string fileNotWritten(const std::string& path, const WriteFault& fault);
std::string lockRefused(const std::string& path, const LockFile::Refusal& refusal);
// The command line: how to call ratemon, and an argument that cannot be used.
enum class Usage { windows, headless };
std::string usage(Usage which);
enum class BadArgument { unknown, start, seconds };
std::string badArgument(BadArgument what, const std::string& text, Usage which);
// The record folder's dialog, and the note drawn when the graph has no scale.
std::string folderDialogTitle();
std::vector<std::string> folderDialogFilters();
std::string noScaleNote();

}  // namespace radmon::messages
