// Text files as the programs keep them: written in the system's code page (UTF-8 on
// Linux), read in UTF-8 or CP932, lines appended whole or not at all (the day files, the
// event logs, the pending records, the collector's day files); paths and the folder
// rules of the programs.
#pragma once

#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
struct WriteFault {
  WriteStep step;
  int error;
};

// Whole file, decoded; no value when it is missing, a folder, or cannot be read.
std::optional<std::string> readTextFile(const std::string& path);

// The path and the system's own words for a fault ("/a/b.ini: Permission denied"), for
// the messages units to put inside their sentences where no finer wording is needed.
std::string faultText(const std::string& path, const WriteFault& fault);
// The same for writeTextFile's result.
std::expected<void, std::string> faultText(const std::string& path,
                                           const std::expected<void, WriteFault>& written);

// Replaces the file with `utf8` in the system's code page, through a temporary file and
// a rename, so a crash never leaves half a settings file. `ownerOnly` creates it
// readable and writable by its owner alone (the file holds a password).
// Returns what failed, if anything did.
std::expected<void, WriteFault> writeTextFile(const std::string& path, std::string_view utf8,
                                              bool ownerOnly = false);
// Appends `bytes` to the file in one write, after a line end when the file's last line
// has none; on failure the file is cut back to its old length. The failed step when it
// fails.
std::expected<void, WriteFault> appendWhole(const std::string& path, const std::string& bytes);

// The folder of the running executable, ending with the separator.
std::string programFolder();

// The station folder's data folder, where the day files and event logs live.
std::string dataFolder(std::string_view stationFolder);

// The text up to and including the last separator; empty when there is none.
std::string deriveFolder(std::string_view path);

// The text without blanks (space, tab, CR, LF, VT, FF) at either end.
std::string_view trimmed(std::string_view text);
// The text's lines, split at LF, each without a CR before the LF; a last line without
// LF counts, an empty text has none.
std::vector<std::string_view> textLines(std::string_view text);
// One line of a "key=value" settings file, key and value without the blanks around them.
// A line without "=" is all key and no value.
struct KeyValue {
  std::string_view line;  // as it stands, without blanks at either end
  std::string_view key;
  std::optional<std::string_view> value;
  int number = 0;  // the line's number in the file, from 1
};
// The settings of a "key=value" file; blank lines and lines starting with '#' are passed over.
std::vector<KeyValue> keyValueLines(std::string_view text);

// The text with A-Z made a-z and every other byte kept: a locale-aware tolower would
// mangle the bytes of UTF-8 or CP932 text.
std::string lowerAscii(std::string_view text);

// Whether the text ends with `suffix`, exactly (case counts).
bool endsWith(std::string_view text, std::string_view suffix);

}  // namespace radmon
