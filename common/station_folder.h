// The station folder: where the settings files, the lock file, the data folder, the
// operator's alarm sounds and the FTP script live. Run from a writable folder of its own
// (build/bin, or a folder the programs were copied into), a program keeps them beside
// itself; installed, they go to a per-user folder, since the program folder is the
// system's.
#pragma once

#include <expected>
#include <optional>
#include <string>
#include <vector>

namespace radmon {

// Everything the choice depends on, gathered by findStationFolder() from the process.
struct StationFacts {
  std::string programFolder;  // ends with the separator
  bool programFolderWritable = false;
  bool installedLayout = false;            // <prefix>/share/radmon/ beside <prefix>/bin/
  std::optional<std::string> named;        // --station DIR
  std::optional<std::string> environment;  // RADMON_STATION
  std::optional<std::string> xdgDataHome;
  std::optional<std::string> home;
  std::string workingFolder;  // ends with the separator; for relative names
};

enum class StationOrigin { Named, Environment, ProgramFolder, UserData };

struct StationFolder {
  std::string folder;  // absolute, ends with the separator
  StationOrigin origin = StationOrigin::ProgramFolder;
};

// --station, then RADMON_STATION, then the program folder when it is the program's own
// and writable, then $XDG_DATA_HOME/radmon (an absolute XDG_DATA_HOME only, as the XDG
// rules ask), then ~/.local/share/radmon. Empty texts count as unset. With no home at
// all the program folder is kept, and writing there will say what fails.
StationFolder chooseStationFolder(const StationFacts& facts);

// The station of this process: the facts read from the system, the folder chosen, and
// the folder and its data/ created when the program folder is not the station. A folder
// named by --station must exist unless `createNamed` (--create) allows making it, and
// must be writable. A refusal carries the system's reason; the program words it after
// its fault.
enum class StationFault { Missing, NotWritable, CannotCreate };
struct StationRefusal {
  std::string folder;
  StationFault fault;
  std::string reason;
};
std::expected<StationFolder, StationRefusal> findStationFolder(
    const std::optional<std::string>& named, bool createNamed = false);

// The files shipped with an installed program (alarm sounds): <prefix>/share/radmon/
// beside <prefix>/bin/; empty when the program is not installed.
std::string shippedFilesFolder(const std::string& programFolder);

// Removes "--name VALUE" (or "--name=VALUE") from the arguments, argv[0] untouched, and
// gives VALUE. `missing` is set when the option is last and has no value.
std::optional<std::string> takeOption(std::vector<std::string>& args, const std::string& name,
                                      bool& missing);

}  // namespace radmon
