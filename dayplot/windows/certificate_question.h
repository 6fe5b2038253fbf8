// The question a server's unknown certificate, or an SSH server's changed host key,
// brings up in the window: the fault and the fingerprint, and whether to trust it for
// this upload, always, or not at all.
#pragma once

#include <QString>

#include "publishing_session.h"

class QWidget;

namespace radmon {

// Waits for the operator; closing the box refuses. A `fingerprint` "SHA256:…" is a host key's.
CertificateAnswer askAboutCertificate(QWidget* parent, const QString& failure,
                                      const QString& fingerprint);

}  // namespace radmon
