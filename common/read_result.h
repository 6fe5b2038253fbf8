// What a reader of a settings, script or data file hands back: the value it could make,
// with every fault it passed over, each with its line and its kind. The readers compose
// no sentence; each program's messages unit words the kinds.
#pragma once

#include <string>
#include <vector>

namespace radmon {

// One fault in a file. `line` is 1-based; 0 stands for the file as a whole (it cannot be
// read, it may be read by others). `subject` names what the fault is about where the
// kind alone does not (the key, the field or the word as written); empty otherwise.
template <class Kind>
struct LineIssue {
  int line = 0;
  Kind kind{};
  std::string subject;

  friend bool operator==(const LineIssue&, const LineIssue&) = default;
};

// A file's value and what was wrong in it. An empty list: the file was read as it stands.
template <class T, class Kind>
struct ReadResult {
  T value{};
  std::vector<LineIssue<Kind>> issues;

  bool clean() const { return issues.empty(); }
  bool has(Kind kind) const {
    for (const auto& issue : issues) {
      if (issue.kind == kind) return true;
    }
    return false;
  }
};

// What a reader of a settings file passed over.
enum class SettingsIssue {
  Unreadable,       // line 0: the file exists but cannot be read
  UnknownLine,      // a line that is no known setting (subject: the line)
  BadValue,         // a known setting with a value it cannot take (subject: the key)
  PasswordExposed,  // line 0: it holds a password and others may read it
};

// What a reader of a data file (day file, event log, pending records) passed over.
enum class RecordIssue {
  Missing,    // line 0: no such file, or it cannot be read
  NotRecord,  // a line that is no record or event: torn by a crash, cut short, no number
};

}  // namespace radmon
