#include "mqtt_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "mqtt_address.h"
#include "ratemon_messages.h"

namespace radmon {
namespace {

QLineEdit* lineEdit(const char* name, const std::string& text, QWidget* parent) {
  auto* edit = new QLineEdit(QString::fromStdString(text), parent);
  edit->setObjectName(name);
  return edit;
}

}  // namespace

MqttDialog::MqttDialog(const MqttSettings& s, QWidget* parent) : QDialog(parent) {
  setObjectName("mqttDialog");
  setWindowTitle(tr("MQTT 送信"));
  url_ = lineEdit("url", s.url, this);
  url_->setPlaceholderText(tr("mqtt://ユーザー@ホスト:1883/radmon/home"));
  url_->setMinimumWidth(320);
  password_ = lineEdit("password", s.password, this);
  password_->setEchoMode(QLineEdit::Password);
  discovery_ = lineEdit("discovery", s.discoveryPrefix, this);
  caFile_ = lineEdit("caFile", s.caFile, this);
  caFile_->setPlaceholderText(tr("空欄: システムの証明書"));
  station_ = lineEdit("station", s.stationName, this);
  station_->setPlaceholderText(tr("空欄: 接頭辞の最後の階層"));
  live_ = new QCheckBox(tr("毎秒の値も送る (live)"), this);
  live_->setObjectName("live");
  live_->setChecked(s.live);
  urlError_ = new QLabel(this);
  urlError_->setObjectName("urlError");
  urlError_->setWordWrap(true);
  urlError_->setStyleSheet("color: #d00000;");
  urlError_->hide();
  connect(url_, &QLineEdit::textEdited, urlError_, &QLabel::hide);
  status_ = new QLabel(this);
  status_->setObjectName("mqttStatus");
  status_->setWordWrap(true);

  auto* form = new QFormLayout;
  form->addRow(tr("送信先 URL"), url_);
  form->addRow(QString(), urlError_);
  form->addRow(tr("パスワード"), password_);
  form->addRow(tr("ディスカバリー接頭辞"), discovery_);
  form->addRow(tr("CA 証明書ファイル"), caFile_);
  form->addRow(tr("局名"), station_);
  form->addRow(QString(), live_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(tr("保存"));
  buttons->button(QDialogButtonBox::Cancel)->setText(tr("閉じる"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(status_);
  layout->addWidget(buttons);
}

MqttSettings MqttDialog::settings() const {
  MqttSettings s;
  s.url = url_->text().trimmed().toStdString();
  s.password = password_->text().toStdString();
  s.discoveryPrefix = discovery_->text().trimmed().toStdString();
  if (s.discoveryPrefix.empty()) s.discoveryPrefix = MqttSettings{}.discoveryPrefix;
  s.caFile = caFile_->text().trimmed().toStdString();
  s.stationName = station_->text().trimmed().toStdString();
  s.live = live_->isChecked();
  return s;
}

void MqttDialog::accept() {
  // The same rules the link reads it by; empty turns publishing off.
  const std::string url = url_->text().trimmed().toStdString();
  if (!url.empty()) {
    const auto parsed = parseMqttAddress(url);
    if (!parsed) {
      urlError_->setText(QString::fromStdString(messages::mqttAddress(parsed.error(), url)));
      urlError_->show();
      url_->setFocus();
      return;
    }
  }
  urlError_->hide();
  QDialog::accept();
}

void MqttDialog::setStatus(const QString& text) { status_->setText(text); }

QLineEdit* MqttDialog::field(const char* objectName) const {
  return findChild<QLineEdit*>(objectName);
}

}  // namespace radmon
