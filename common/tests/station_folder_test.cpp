#include "station_folder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

namespace radmon {
namespace {

struct StationCase {
  const char* name;
  StationFacts facts;
  std::string folder;
  StationOrigin origin;
};

StationFacts facts(bool writable, bool installed) {
  StationFacts f;
  f.programFolder = "/opt/gm/";
  f.programFolderWritable = writable;
  f.installedLayout = installed;
  f.home = "/home/op";
  f.workingFolder = "/work/here/";
  return f;
}

StationFacts with(StationFacts f, void (*change)(StationFacts&)) {
  change(f);
  return f;
}

TEST(ChooseStationFolder, OrderOfTheRules) {
  using O = StationOrigin;
  const StationCase cases[] = {
      {"own writable folder", facts(true, false), "/opt/gm/", O::ProgramFolder},
      {"read-only folder", facts(false, false), "/home/op/.local/share/radmon/", O::UserData},
      // Root can write /usr/bin: the installed layout decides, not the permission.
      {"installed, writable", facts(true, true), "/home/op/.local/share/radmon/", O::UserData},
      {"XDG_DATA_HOME",
       with(facts(false, true), [](StationFacts& f) { f.xdgDataHome = "/data/xdg/"; }),
       "/data/xdg/radmon/", O::UserData},
      {"relative XDG_DATA_HOME is ignored",
       with(facts(false, true), [](StationFacts& f) { f.xdgDataHome = "xdg"; }),
       "/home/op/.local/share/radmon/", O::UserData},
      {"empty XDG_DATA_HOME is unset",
       with(facts(false, true), [](StationFacts& f) { f.xdgDataHome = ""; }),
       "/home/op/.local/share/radmon/", O::UserData},
      {"XDG_DATA_HOME does not move an own folder",
       with(facts(true, false), [](StationFacts& f) { f.xdgDataHome = "/data/xdg"; }), "/opt/gm/",
       O::ProgramFolder},
      {"no home at all keeps the program folder",
       with(facts(false, true), [](StationFacts& f) { f.home.reset(); }), "/opt/gm/",
       O::ProgramFolder},
      {"RADMON_STATION over the own folder",
       with(facts(true, false), [](StationFacts& f) { f.environment = "/srv/station"; }),
       "/srv/station/", O::Environment},
      {"--station over RADMON_STATION",
       with(facts(true, true),
            [](StationFacts& f) {
              f.environment = "/srv/station";
              f.named = "/mnt/st/";
            }),
       "/mnt/st/", O::Named},
      {"empty --station is unset", with(facts(true, false), [](StationFacts& f) { f.named = ""; }),
       "/opt/gm/", O::ProgramFolder},
      {"relative --station from the working folder",
       with(facts(false, true), [](StationFacts& f) { f.named = "st/../st2"; }), "/work/here/st2/",
       O::Named},
      {"relative RADMON_STATION from the working folder",
       with(facts(false, true), [](StationFacts& f) { f.environment = "."; }), "/work/here/",
       O::Environment},
      {"a space in the name stays",
       with(facts(false, true), [](StationFacts& f) { f.named = "/home/op/my station"; }),
       "/home/op/my station/", O::Named},
  };
  for (const auto& c : cases) {
    const StationFolder got = chooseStationFolder(c.facts);
    EXPECT_EQ(got.folder, c.folder) << c.name;
    EXPECT_EQ(got.origin, c.origin) << c.name;
  }
}

TEST(TakeOption, RemovesTheOptionWhereverItStands) {
  struct Case {
    std::vector<std::string> args;
    std::optional<std::string> value;
    bool missing;
    std::vector<std::string> rest;
  };
  const Case cases[] = {
      {{"ratemon", "--headless", "--station", "/s", "--fast"},
       "/s",
       false,
       {"ratemon", "--headless", "--fast"}},
      {{"dayplot", "--station=/s t", "--process", "20260101"},
       "/s t",
       false,
       {"dayplot", "--process", "20260101"}},
      {{"dayplot", "--station"}, std::nullopt, true, {"dayplot"}},
      {{"dayplot", "--stations", "x"}, std::nullopt, false, {"dayplot", "--stations", "x"}},
      // argv[0] is the program, never an option.
      {{"--station", "x"}, std::nullopt, false, {"--station", "x"}},
      {{"ratemon", "--station", "/a", "--station", "/b"}, "/b", false, {"ratemon"}},
  };
  for (auto c : cases) {
    bool missing = false;
    const auto value = takeOption(c.args, "--station", missing);
    EXPECT_EQ(value, c.value) << c.rest.front();
    EXPECT_EQ(missing, c.missing);
    EXPECT_EQ(c.args, c.rest);
  }
}

TEST(ShippedFilesFolder, OnlyBesideAnInstalledProgram) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("shipped_" + std::to_string(::getpid()));
  fs::create_directories(root / "usr/bin");
  EXPECT_EQ(shippedFilesFolder((root / "usr/bin/").string()), "");
  fs::create_directories(root / "usr/share/radmon");
  EXPECT_EQ(shippedFilesFolder((root / "usr/bin/").string()),
            (root / "usr/share/radmon/").string());
  fs::remove_all(root);
}

}  // namespace
}  // namespace radmon
