// The small MQTT dialog of the main window: the broker address, password, discovery
// prefix, CA file, station name and live readings of ratemon_mqtt.ini, and the link's
// state and last publish while it is open. It only shows and edits; the station saves
// the settings and restarts the link. A URL that names no broker is told in the dialog,
// which stays open, and nothing is saved.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>

#include "mqtt_settings.h"

namespace radmon {

class MqttDialog final : public QDialog {
  Q_OBJECT

 public:
  MqttDialog(const MqttSettings& settings, QWidget* parent = nullptr);

  MqttSettings settings() const;
  // The link's state and last publish, as the messages unit words them.
  void setStatus(const QString& text);

  QLineEdit* field(const char* objectName) const;
  QLabel* status() const { return status_; }
  QLabel* urlError() const { return urlError_; }

  void accept() override;

 private:
  QLineEdit* url_;
  QLineEdit* password_;
  QLineEdit* discovery_;
  QLineEdit* caFile_;
  QLineEdit* station_;
  QCheckBox* live_;
  QLabel* status_;
  QLabel* urlError_;
};

}  // namespace radmon
