#include "certificate_question.h"

#include <QMessageBox>
#include <QPushButton>

#include "dayplot_messages.h"
#include "window_messages.h"

namespace radmon {

CertificateAnswer askAboutCertificate(QWidget* parent, const QString& failure,
                                      const QString& fingerprint) {
  // An SSH host key's fingerprint is OpenSSH's "SHA256:…", a certificate's hex pairs.
  const bool hostKey = fingerprint.startsWith("SHA256:");
  const std::string shown = failure.trimmed().toStdString();
  const std::string text = hostKey ? say::hostKeyQuestion(shown, fingerprint.toStdString())
                                   : say::certificateQuestion(shown, fingerprint.toStdString());
  QMessageBox box(QMessageBox::Warning, kProgramTitle, QString::fromStdString(text),
                  QMessageBox::NoButton, parent);
  box.setObjectName(hostKey ? "TrustHostKey" : "TrustCertificate");
  QPushButton* once = box.addButton(dayplot::tr("今回だけ信頼"), QMessageBox::AcceptRole);
  QPushButton* always = box.addButton(dayplot::tr("常に信頼"), QMessageBox::AcceptRole);
  QPushButton* refuse = box.addButton(dayplot::tr("拒否"), QMessageBox::RejectRole);
  box.setDefaultButton(refuse);
  box.exec();
  if (box.clickedButton() == once) return CertificateAnswer::TrustOnce;
  if (box.clickedButton() == always) return CertificateAnswer::TrustAlways;
  return CertificateAnswer::Refuse;
}

}  // namespace radmon
