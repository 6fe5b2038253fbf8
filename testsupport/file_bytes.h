// A file's bytes and permissions as a test reads them back. Header-only.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace radmon::testing {

// A file's bytes as they are; empty when it cannot be read.
inline std::string readBytes(const std::filesystem::path& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

// A file's permission bits (0777 mask); all of them set when it cannot be read.
inline unsigned fileMode(const std::filesystem::path& path) {
  return static_cast<unsigned>(std::filesystem::status(path).permissions()) & 0777u;
}

}  // namespace radmon::testing
