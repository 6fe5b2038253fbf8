// The question a server's unknown certificate brings up in the window: its fault and
// fingerprint, and whether to trust it for this upload, always, or not at all.
#pragma once

#include <QString>

#include "publishing_session.h"

class QWidget;

namespace radmon {

// Waits for the operator; closing the box refuses.
CertificateAnswer askAboutCertificate(QWidget* parent, const QString& failure,
                                      const QString& fingerprint);

}  // namespace radmon
