// The question a server's unknown certificate brings up in the window: its fault and
// fingerprint, and whether to trust it for this upload, always, or not at all.
#pragma once

#include <QString>

class QWidget;

namespace radmon {

enum class CertificateAnswer { TrustOnce, TrustAlways, Refuse };

// Waits for the operator; closing the box refuses.
CertificateAnswer askAboutCertificate(QWidget* parent, const QString& failure,
                                      const QString& fingerprint);

}  // namespace radmon
