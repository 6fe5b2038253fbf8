#include "publish_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "dayplot_messages.h"
#include "window_messages.h"

namespace radmon {
namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

PublishDialog::PublishDialog(std::string path, QWidget* parent)
    : QDialog(parent), path_(std::move(path)) {
  setObjectName("PublishDialog");
  setWindowTitle(dayplot::tr("転送の詳細設定"));
  const auto read = readPublishSettings(path_);
  const PublishSettings& s = read.value;

  tlsRequired_ = new QCheckBox(dayplot::tr("TLS必須 (暗号化できないサーバには接続しない)"), this);
  tlsRequired_->setObjectName("TlsRequired");
  tlsRequired_->setChecked(s.tlsRequired);
  certificateFile_ = new QLineEdit(q(s.trustedCertificateFile), this);
  certificateFile_->setObjectName("TrustedCertificateFile");
  fingerprints_ = new QPlainTextEdit(this);
  fingerprints_->setObjectName("TrustedFingerprints");
  QString prints;
  for (const auto& print : s.trustedFingerprints) prints += q(shownFingerprint(print)) + "\n";
  fingerprints_->setPlainText(prints);
  fingerprints_->setMaximumHeight(80);
  hostKeys_ = new QPlainTextEdit(this);
  hostKeys_->setObjectName("TrustedHostKeys");
  QString hostKeys;
  for (const auto& print : s.trustedHostKeys) hostKeys += q(print) + "\n";
  hostKeys_->setPlainText(hostKeys);
  hostKeys_->setMaximumHeight(60);
  keyFile_ = new QLineEdit(q(s.keyFile), this);
  keyFile_->setObjectName("KeyFile");
  retryMinutes_ = new QSpinBox(this);
  retryMinutes_->setObjectName("RetryMinutes");
  retryMinutes_->setRange(kMinRetryMinutes, kMaxRetryMinutes);
  retryMinutes_->setValue(s.retryMinutes);
  retryMinutes_->setSuffix(dayplot::tr(" 分"));
  publishPage_ = new QCheckBox(
      dayplot::tr("観測局のページも転送する (index.html、readings.json、グラフ)"), this);
  publishPage_->setObjectName("PublishPage");
  publishPage_->setChecked(s.publishPage);

  auto browse = [this](QLineEdit* box, const char* name, const QString& title) {
    auto* button = new QPushButton(dayplot::tr("参照"), this);
    button->setObjectName(name);
    connect(button, &QPushButton::clicked, this, [this, box, title] {
      const QString chosen = QFileDialog::getOpenFileName(this, title, box->text());
      if (!chosen.isEmpty()) box->setText(chosen);
    });
    auto* row = new QHBoxLayout;
    row->addWidget(box, 1);
    row->addWidget(button);
    return row;
  };

  auto* form = new QFormLayout;
  form->addRow(tlsRequired_);
  form->addRow(
      dayplot::tr("信頼する証明書ファイル (PEM)"),
      browse(certificateFile_, "BrowseCertificate", dayplot::tr("信頼する証明書ファイル")));
  form->addRow(dayplot::tr("信頼する証明書の指紋 (SHA-256、1行に1つ)"), fingerprints_);
  form->addRow(dayplot::tr("信頼する SSH ホスト鍵の指紋 (SHA256:…、1行に1つ)"), hostKeys_);
  form->addRow(dayplot::tr("SFTPの鍵ファイル"),
               browse(keyFile_, "BrowseKey", dayplot::tr("SFTPの鍵ファイル")));
  form->addRow(dayplot::tr("転送に失敗したときの再送間隔 (失敗のたびに2倍)"), retryMinutes_);
  form->addRow(publishPage_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Cancel)->setText(dayplot::tr("キャンセル"));
  connect(buttons, &QDialogButtonBox::accepted, this, &PublishDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &PublishDialog::reject);
  auto* all = new QVBoxLayout(this);
  all->addLayout(form);
  all->addWidget(
      new QLabel(dayplot::tr("鍵ファイルを使うとき、ﾊﾟｽﾜｰﾄﾞ欄は鍵のパスフレーズです。"), this));
  // What the file held that could not be used: saving replaces it with the boxes.
  QStringList told;
  for (const auto& issue : read.issues) told << q(say::settingsIssue(path_, issue));
  if (!told.isEmpty()) all->addWidget(new QLabel(told.join('\n'), this));
  all->addWidget(buttons);
  resize(560, sizeHint().height());
}

PublishSettings PublishDialog::settings() const {
  PublishSettings s;
  s.tlsRequired = tlsRequired_->isChecked();
  s.trustedCertificateFile = certificateFile_->text().trimmed().toStdString();
  for (const QString& line : fingerprints_->toPlainText().split('\n', Qt::SkipEmptyParts)) {
    if (const auto print = normalFingerprint(line.trimmed().toStdString())) {
      s.trustedFingerprints.insert(*print);
    }
  }
  for (const QString& line : hostKeys_->toPlainText().split('\n', Qt::SkipEmptyParts)) {
    if (const auto print = normalHostKeyFingerprint(line.trimmed().toStdString())) {
      s.trustedHostKeys.insert(*print);
    }
  }
  s.keyFile = keyFile_->text().trimmed().toStdString();
  s.retryMinutes = retryMinutes_->value();
  s.publishPage = publishPage_->isChecked();
  return s;
}

QString PublishDialog::problem() const {
  for (const QString& line : fingerprints_->toPlainText().split('\n', Qt::SkipEmptyParts)) {
    if (!line.trimmed().isEmpty() && !normalFingerprint(line.trimmed().toStdString())) {
      return q(say::badFingerprint(line.trimmed().toStdString()));
    }
  }
  for (const QString& line : hostKeys_->toPlainText().split('\n', Qt::SkipEmptyParts)) {
    if (!line.trimmed().isEmpty() && !normalHostKeyFingerprint(line.trimmed().toStdString())) {
      return q(say::badHostKeyFingerprint(line.trimmed().toStdString()));
    }
  }
  return {};
}

void PublishDialog::accept() {
  if (const QString fault = problem(); !fault.isEmpty()) {
    QMessageBox::warning(this, kProgramTitle, fault);
    return;
  }
  if (const auto saved = writePublishSettings(path_, settings()); !saved) {
    QMessageBox::warning(this, kProgramTitle, q(say::publishSettingsNotSaved(saved.error())));
    return;
  }
  QDialog::accept();
}

}  // namespace radmon
