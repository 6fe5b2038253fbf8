// Form1, ratemon's main window: every setting and reading is one of its controls. A
// thin shell: it builds the controls, lets the measuring code read and write them
// through StationControls, shows messages, and announces its closing; the station does the rest.
#pragma once

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <map>
#include <vector>

#include "live_reading.h"
#include "station_panel.h"

namespace radmon {

class MainWindow final : public QWidget, public StationControls {
  Q_OBJECT

 public:
  inline static const char* kCaption = QT_TRANSLATE_NOOP("ratemon", "シーベルト計算 V1.7");
  static constexpr int kClientWidth = 452;   // 6780 twips
  static constexpr int kClientHeight = 344;  // 5160 twips

  explicit MainWindow(QWidget* parent = nullptr);

  std::string text(Box box) const override;
  void setText(Box box, const std::string& text) override;
  bool checked(Tick tick) const override;
  // Shown in a message box that does not hold up measuring; a newer message replaces
  // the one still open.
  void report(const std::string& message);

  QLineEdit* box(Box b) const { return boxes_.at(b); }
  QCheckBox* tick(Tick t) const { return ticks_.at(t); }
  QPushButton* cmdRec() const { return cmdRec_; }
  QPushButton* cmdStop() const { return cmdStop_; }
  // Command1 to Command4.
  enum class Command { chooseFolder, silenceStage1, silenceStage2, startDayplot, pulseIntervals };
  QPushButton* commandButton(Command c) const { return commands_.at(c); }
  // Opens the MQTT dialog; beside it the link's state and last publish, in short.
  QPushButton* mqttButton() const { return mqttButton_; }
  QLabel* mqttState() const { return mqttState_; }
  // The link's state in a few words on up to two lines, in a face small enough to fit
  // whatever the language; `detail` on hovering; `alert`: in red (the broker refuses).
  void showLinkState(const std::string& brief, const std::string& detail, bool alert);
  // The 95 % interval of the readings (lines ended by '\n'), under the pulse test;
  // `alert` shows its first line in red (past the dead-time cap: a lower bound).
  void showReadingInterval(const std::string& interval, bool alert);
  QLabel* intervalLabel() const { return intervalLabel_; }
  // The states that stand out (alarm, fault, lower bound, saturated), one banner each
  // above the controls in the pages' colours with their words; the window grows by their
  // height while there are any, so that no control is covered.
  void showStateBanners(const std::vector<LiveBanner>& banners);
  QList<QLabel*> stateBanners() const;
  // The message box of report(); null before the first message.
  QMessageBox* messageBox() const { return messageBox_; }

 signals:
  void closing();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  std::map<Box, QLineEdit*> boxes_;
  std::map<Tick, QCheckBox*> ticks_;
  std::map<Command, QPushButton*> commands_;
  QPushButton* cmdRec_ = nullptr;
  QPushButton* cmdStop_ = nullptr;
  QPushButton* mqttButton_ = nullptr;
  QLabel* mqttState_ = nullptr;
  QLabel* intervalLabel_ = nullptr;
  QWidget* banners_ = nullptr;  // the banners' box, at the top
  QPointer<QMessageBox> messageBox_;
};

}  // namespace radmon
