// Text files as the programs keep them: written in the system's code page (UTF-8 on
// Linux), read in UTF-8 or CP932; paths and the folder rules of the programs.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace radmon {

inline constexpr char kPathSeparator = '/';

// Bytes read from a settings or day file as UTF-8: UTF-8 as it stands (a byte-order
// mark dropped), anything else taken as CP932 (Japanese Windows).
std::string decodeFileText(std::string_view bytes);
// Whether the bytes are UTF-8 as far as lead and continuation bytes go: what decides
// between UTF-8 and CP932 when a file is read.
bool isUtf8(std::string_view bytes);

// UTF-8 text in the system's code page for writing.
std::string encodeForSystem(std::string_view utf8);

// The step of a file write that failed, with its errno; the programs word it. cutBack:
// a torn line could not be taken back; replace: the new file could not take the old's place.
enum class WriteStep { open, write, cutBack, replace };
struct WriteFault { WriteStep step; int error; };

// Whole file, decoded; no value when it cannot be opened.
std::optional<std::string> readTextFile(const std::string& path);

// Replaces the file with `utf8` in the system's code page, through a temporary file and
// a rename, so a crash never leaves half a settings file. `ownerOnly` creates it
// readable and writable by its owner alone (the file holds a password).
// Returns what failed, or nothing on success.
// The path and the system's own words for a fault ("/a/b.ini: Permission denied"), for
// the messages units to put inside their sentences where no finer wording is needed.
std::string faultText(const std::string& path, const WriteFault& fault);
// The same for writeTextFile's result: nothing when the write succeeded.
std::optional<std::string> faultText(const std::string& path,
                                     const std::optional<WriteFault>& fault);

std::optional<WriteFault> writeTextFile(const std::string& path, std::string_view utf8,
                                        bool ownerOnly = false);

// The folder of the running executable, ending with the separator.
std::string programFolder();

// The text up to and including the last separator; empty when there is none.
std::string deriveFolder(std::string_view path);

// Whether the text ends with `suffix`, exactly (case counts).
bool endsWith(std::string_view text, std::string_view suffix);

}  // namespace radmon
