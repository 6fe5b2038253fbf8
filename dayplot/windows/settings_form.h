// The settings window `Form2` ("データロガー"): its controls hold every setting of
// dayplot, `Timer1` runs the schedule, and its buttons are the operator's commands.
// The settings are read from the controls when a run needs them, so an edit counts
// from the next run on, saved or not.
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "certificate_question.h"
#include "dayplot_settings.h"
#include "local_time.h"
#include "process_launcher.h"
#include "scheduler.h"
#include "upload_watch.h"
#include "window_messages.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace radmon {

class GraphForm;

// The save dialog of `Command2`, as it is set up.
struct FolderDialogRequest {
  QString title;
  QString initialPath;
  QString filters;  // Qt's filter list, one entry a line
};

// The dialogs that wait for the operator; a test puts its own in.
struct FormDialogs {
  // The publishing settings beyond dayplot.ini's fields, for the file at `path`.
  std::function<void(const std::string& path)> publishSettings;
  // A server showed a certificate with this fingerprint (the failure says why).
  std::function<CertificateAnswer(const QString& failure, const QString& fingerprint)>
      trustCertificate;
  // The chosen path, or no value when the dialog was cancelled.
  std::function<std::optional<QString>(const FolderDialogRequest&)> saveFile;
  // Shows the chosen folder and returns when it has been acknowledged.
  std::function<void(const QString& folder)> showFolder;
  // The settings file could not be written at close: whether to close all the same.
  std::function<bool(const QString& message)> closeUnsaved;
};

struct FormParts {
  std::string programFolder;  // ends with the separator
  const Clock* clock = nullptr;
  ProcessLauncher* launcher = nullptr;
  FormDialogs dialogs;  // members left empty get the real dialogs
};

class SettingsForm final : public QWidget {
  Q_OBJECT

 public:
  // Runs the start sequence: the controls from the defaults, today and dayplot.ini, and
  // `Combo1` from the program folder's data folder. The first tick falls just after the
  // next clock minute begins. The clock and the launcher must outlive the window.
  explicit SettingsForm(FormParts parts, QWidget* parent = nullptr);
  ~SettingsForm() override;

  // The controls' values now.
  DayplotSettings controls() const;
  // Sets the controls; texts that are saved lose what the settings file cannot carry.
  void setControls(const DayplotSettings& controls);

  const std::string& DataFolder() const { return DataFolder_; }
  const std::string& TargetDay() const { return TargetDay_; }
  int16_t RealtimeInterval() const { return RealtimeInterval_; }

  // The graph window while it is open, else null.
  GraphForm* Form1() const;
  WindowMessages& messages() { return messages_; }
  QTimer* Timer1() { return &timer1_; }

  // `Timer1`'s tick: the runs that the minutes since the last tick make due, then the
  // timer is set for just after the next minute.
  void onMinuteTick();
  // Shows the outcome of the uploads that have ended.
  void pollUploads();

  // Writes dayplot.ini and removes the FTP script; an error text when the settings file
  // could not be written (the script is then kept).
  std::optional<std::string> shutdown();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void build();
  // Each box beside the field of the settings it holds.
  std::vector<std::pair<QLineEdit*, std::string DayplotSettings::*>> textBoxes() const;
  std::vector<std::pair<QCheckBox*, int DayplotSettings::*>> checkBoxes() const;
  void startSequence();
  void fillDayList();
  GraphForm* openGraphForm(bool activate);
  void runSequence(const DueRun& due);
  void startUpload(const DayplotSettings& controls);
  void watchUploads();

  // `Command1`: sends the out-of-service notice beside the program.
  void sendNotice();
  // `Command2`: the data folder chosen through the file dialog.
  void chooseDataFolder();
  // `Command3`: draws the day of the date boxes, shown, and sends it when ticked.
  void runManually();
  // The month or the year of the date boxes, drawn and shown (and uploaded when ticked).
  void onPeriod(PeriodKind kind);
  void runPeriod(const DayplotSettings& now, const Period& period, bool show);
  // A failed upload whose server showed an unknown certificate: asks the operator once
  // per fingerprint, and sends again when it is trusted.
  void askAboutCertificate(const UploadOutcome& outcome);
  // `Combo1`: the chosen day of the list into the date boxes.
  void showListedDay(int index);

  FormParts parts_;
  const Clock& clock_;
  ProcessLauncher& launcher_;
  WindowMessages messages_{this};
  MinuteScheduler scheduler_;
  UploadQueue queue_;
  UploadWatch uploads_;
  bool firstTick_ = true;
  std::string startTimeSaid_;  // the start time fault shown last, so it is shown once
  std::vector<std::string> certificatesAsked_;  // fingerprints the operator was asked about
  QTimer timer1_;
  QTimer uploadTimer_;
  QPointer<GraphForm> form1_;
  bool shutDown_ = false;

  std::string DataFolder_;
  std::string TargetDay_;
  int16_t RealtimeInterval_ = kRealtimePeriods[0];

  QLineEdit *Text1_, *Text2_, *Text3_, *Text4_, *Text5_, *Text6_, *Text7_, *Text8_, *Text9_,
      *Text10_, *Text11_, *Text12_, *Text13_, *Text14_, *Text15_;
  QCheckBox *Check1_, *Check2_, *Check3_, *Check4_, *Check5_;
  QButtonGroup* options_;
  QComboBox* Combo1_;
  QPushButton *Command1_, *Command2_, *Command3_;
  QPushButton *cmdMonth_, *cmdYear_;
  bool meanInterval_ = false;  // dayplot_readings.ini, read at start
  QLabel* uploadStatus_;
  QPushButton* Command4_;  // the publishing settings beyond dayplot.ini's fields
};

// The save dialog's title, initial file name and filters for a program folder.
FolderDialogRequest dataFolderDialog(const std::string& programFolder);

// The date boxes from a day file name: characters 9 to 16 as year, month and day,
// whatever the prefix; a short name gives what characters there are.
struct DateBoxes {
  QString year, month, day;
};
DateBoxes dateBoxesFromEntry(const QString& entry);

}  // namespace radmon
