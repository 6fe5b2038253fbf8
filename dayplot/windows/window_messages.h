// The day graph's messages in the settings window: a message box with an OK button,
// titled with the program's name, that does not hold up the program. The schedule
// goes on while it waits to be read, and at most one is open: a new message takes the
// place of the one on screen.
#pragma once

#include <QMessageBox>
#include <QPointer>

#include "dayplot_messages.h"

class QWidget;

namespace radmon {

class WindowMessages final : public MessageSink {
 public:
  explicit WindowMessages(QWidget* parent) : parent_(parent) {}
  void show(const std::string& message) override;
  // The open box, or null.
  QMessageBox* box() const { return box_.data(); }

 private:
  QWidget* parent_;
  QPointer<QMessageBox> box_;
};

inline constexpr const char* kProgramTitle = "dayplot";

}  // namespace radmon
