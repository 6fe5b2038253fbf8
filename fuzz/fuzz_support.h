// Small helpers of the fuzz entries.
#pragma once

#include <string>
#include <string_view>

namespace radmon::fuzz {

// Whether the bytes are well-formed UTF-8 (lead and continuation bytes in place).
bool isUtf8(std::string_view bytes);

// A box's text as a settings file keeps it: double quotes and line breaks cannot be
// stored in a quoted field, so they are left out.
std::string savableText(std::string_view text);

}  // namespace radmon::fuzz
