// The publishing settings beyond dayplot.ini's fields (TLS required, trusted
// certificates and SSH host keys, SSH key file, retry period), shown from the settings window and
// saved to their own owner-only file when the operator presses OK.
#pragma once

#include <QDialog>
#include <string>

#include "publish_settings.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace radmon {

class PublishDialog final : public QDialog {
  Q_OBJECT
 public:
  // Shows the settings of `path`; OK writes them back there.
  PublishDialog(std::string path, QWidget* parent = nullptr);

  PublishSettings settings() const;
  // The fault of the boxes (a fingerprint that is not one), empty when none.
  QString problem() const;

  void accept() override;

 private:
  std::string path_;
  QCheckBox* tlsRequired_;
  QLineEdit* certificateFile_;
  QPlainTextEdit* fingerprints_;
  QPlainTextEdit* hostKeys_;
  QLineEdit* keyFile_;
  QSpinBox* retryMinutes_;
  QCheckBox* publishPage_;
};

}  // namespace radmon
