#include "station_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "text_files.h"

namespace radmon {
namespace {

namespace fs = std::filesystem;

bool given(const std::optional<std::string>& text) { return text && !text->empty(); }

std::string asFolder(std::string path, const std::string& workingFolder) {
  if (path.front() != kPathSeparator) path = workingFolder + path;
  path = fs::path(path).lexically_normal().string();
  if (path.back() != kPathSeparator) path += kPathSeparator;
  return path;
}

std::optional<std::string> environment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

}  // namespace

StationFolder chooseStationFolder(const StationFacts& facts) {
  if (given(facts.named)) {
    return {asFolder(*facts.named, facts.workingFolder), StationOrigin::Named};
  }
  if (given(facts.environment)) {
    return {asFolder(*facts.environment, facts.workingFolder), StationOrigin::Environment};
  }
  if (facts.programFolderWritable && !facts.installedLayout) {
    return {facts.programFolder, StationOrigin::ProgramFolder};
  }
  if (given(facts.xdgDataHome) && facts.xdgDataHome->front() == kPathSeparator) {
    return {asFolder(*facts.xdgDataHome + "/radmon", "/"), StationOrigin::UserData};
  }
  if (given(facts.home) && facts.home->front() == kPathSeparator) {
    return {asFolder(*facts.home + "/.local/share/radmon", "/"), StationOrigin::UserData};
  }
  return {facts.programFolder, StationOrigin::ProgramFolder};
}

std::string shippedFilesFolder(const std::string& programFolder) {
  std::error_code ec;
  const fs::path shared = fs::path(programFolder).parent_path().parent_path() / "share" / "radmon";
  if (!fs::is_directory(shared, ec)) return {};
  return shared.lexically_normal().string() + kPathSeparator;
}

std::expected<StationFolder, StationRefusal> findStationFolder(
    const std::optional<std::string>& named, bool createNamed) {
  StationFacts facts;
  facts.programFolder = programFolder();
  facts.programFolderWritable = ::access(facts.programFolder.c_str(), W_OK) == 0;
  facts.installedLayout = !shippedFilesFolder(facts.programFolder).empty();
  facts.named = named;
  facts.environment = environment("RADMON_STATION");
  facts.xdgDataHome = environment("XDG_DATA_HOME");
  facts.home = environment("HOME");
  if (!given(facts.home)) {
    if (const passwd* user = ::getpwuid(::getuid())) facts.home = std::string(user->pw_dir);
  }
  std::error_code ec;
  facts.workingFolder = fs::current_path(ec).string() + kPathSeparator;

  const StationFolder station = chooseStationFolder(facts);
  const std::string& folder = station.folder;
  if (station.origin == StationOrigin::Named) {
    // A mistyped --station would otherwise start an empty station beside the real one.
    if (!fs::exists(folder, ec) && !createNamed)
      return std::unexpected(
          StationRefusal{folder, StationFault::Missing,
                         std::make_error_code(std::errc::no_such_file_or_directory).message()});
    if (fs::is_directory(folder, ec) && ::access(folder.c_str(), W_OK | X_OK) != 0)
      return std::unexpected(
          StationRefusal{folder, StationFault::NotWritable,
                         std::error_code(errno, std::generic_category()).message()});
  }
  if (station.origin != StationOrigin::ProgramFolder) {
    // An installed program makes its station on first use; the data folder with it,
    // since the record writer relies on it being there.
    fs::create_directories(dataFolder(folder), ec);
    if (ec)
      return std::unexpected(StationRefusal{folder, StationFault::CannotCreate, ec.message()});
  }
  return station;
}

std::optional<std::string> takeOption(std::vector<std::string>& args, const std::string& name,
                                      bool& missing) {
  missing = false;
  std::optional<std::string> value;
  for (size_t i = 1; i < args.size();) {
    if (args[i] == name) {
      if (i + 1 >= args.size()) {
        missing = true;
        args.erase(args.begin() + static_cast<long>(i));
        continue;
      }
      value = args[i + 1];
      args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
    } else if (args[i].rfind(name + "=", 0) == 0) {
      value = args[i].substr(name.size() + 1);
      args.erase(args.begin() + static_cast<long>(i));
    } else {
      ++i;
    }
  }
  return value;
}

}  // namespace radmon
