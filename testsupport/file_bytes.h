// A file's bytes as a test reads them back. Header-only.
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

}  // namespace radmon::testing
