#include "window_messages.h"

#include <QMessageBox>

namespace radmon {

void WindowMessages::show(const std::string& message) {
  const QString text = QString::fromStdString(message);
  if (!box_) {
    box_ = new QMessageBox(QMessageBox::NoIcon, kProgramTitle, text, QMessageBox::Ok, parent_);
    box_->setObjectName("MessageBox");
    box_->setAttribute(Qt::WA_DeleteOnClose);
    box_->setWindowModality(Qt::NonModal);
  } else {
    box_->setText(text);
  }
  box_->show();
  box_->raise();
}

}  // namespace radmon
