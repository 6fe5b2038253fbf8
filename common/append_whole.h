// Appending a line to a file so that it is there whole or not at all: the day files,
// the event logs and the pending records of ratemon, and the collector's day files.
#pragma once

#include <expected>
#include <string>

#include "text_files.h"

namespace radmon {

// Appends `bytes` to the file in one write, after a line end when the file's last line
// has none; on failure the file is cut back to its old length. The failed step when it
// fails.
std::expected<void, WriteFault> appendWhole(const std::string& path, const std::string& bytes);

}  // namespace radmon
