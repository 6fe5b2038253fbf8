// What the measuring code sees of the main window: its text boxes and check boxes,
// read at the moment a value is needed so that an edit takes effect at the next use.
#pragma once

#include <string>

namespace radmon {

enum class Box {
  Text1,   // elapsed seconds (shown)
  Text2,   // total count (shown)
  Text3,   // threshold
  Text4,   // dead band
  Text5,   // resolution
  Text6,   // CPM (shown)
  Text7,   // tube sensitivity, cps per mR/h
  Text8,   // dose rate, μSv/h (shown)
  Text9,   // stage-1 alarm limit, μSv/h
  Text10,  // stage-2 alarm limit, μSv/h
  Text11,  // record path
  Text12,  // background correction, CPM
};

enum class Tick {
  Check1,  // pulse test
  Check2,  // stage-1 alarm
  Check3,  // stage-2 alarm
  Check4,  // daily record file
  Check5,  // real-time graph
};

class Panel {
 public:
  virtual ~Panel() = default;
  virtual std::string text(Box box) const = 0;
  virtual void setText(Box box, const std::string& text) = 0;
  virtual bool checked(Tick tick) const = 0;
  // A message for the operator that needs no answer; measuring goes on.
  virtual void report(const std::string& message) = 0;
};

}  // namespace radmon
