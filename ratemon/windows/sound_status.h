// The sound path's state on the main window: a short line in the free space beside the
// test box (what is wrong, or that the sound is fine again), and a button that
// silences the fault chime until the next fault (it stays, with the focus, until the
// faults have ended). The chime is a distinct, quieter sound
// than the alarms and never replaces them: it plays on a sound output of its own.
//
// Threading: the window thread only.
#pragma once

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <string>

#include "sound_event.h"
#include "sound_output.h"

namespace radmon {

class SoundStatus final : public QObject {
 public:
  inline static const char* kChimeFile = "ijou.wav";

  // Places its line and button on `window`; `chime` must outlive it.
  SoundStatus(QWidget* window, SoundOutput& chime);

  // Shows the event in a few words (`headline`), the whole `text` on hovering;
  // `faulty`: whether any fault is still on after it. A fault
  // that begins sounds the chime unless the operator silenced it; the end of the last
  // fault stops it and arms it again.
  void show(const SoundEvent& event, const std::string& headline, const std::string& text,
            bool faulty);
  // Recording stopped: no state to show, no chime.
  void clear();

  QLabel* line() const { return line_; }
  QPushButton* silenceButton() const { return silence_; }
  bool chiming() const { return chiming_; }

 private:
  void silence();

  SoundOutput& chime_;
  QPointer<QLabel> line_;
  QPointer<QPushButton> silence_;
  bool chiming_ = false;
  bool silenced_ = false;
};

}  // namespace radmon
