// The settings window `Form2` ("データロガー"): its controls hold every setting of dayplot
// and its buttons are the operator's commands; `Timer1` drives the publishing session,
// whose reports it shows (message boxes, the graph window, the last upload's line). The
// session reads the controls when a run needs them, so an edit counts from the next run
// on, saved or not.
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <expected>
#include <functional>
#include <optional>
#include <string>

#include "certificate_question.h"
#include "publishing_session.h"
#include "window_messages.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace radmon {

class GraphForm;

// The data folder's save dialog, as it is set up.
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
  // the day list from the program folder's data folder. The first tick falls just after
  // the next clock minute begins. The clock and the launcher must outlive the window.
  explicit SettingsForm(FormParts parts, QWidget* parent = nullptr);
  ~SettingsForm() override;

  // The controls' values now.
  DayplotSettings controls() const;
  // Sets the controls; texts that are saved lose what the settings file cannot carry.
  void setControls(const DayplotSettings& controls);

  const std::string& DataFolder() const { return start_.DataFolder; }
  const std::string& TargetDay() const { return session_.TargetDay(); }
  int16_t RealtimeInterval() const { return start_.RealtimeInterval; }

  // The graph window while it is open, else null.
  GraphForm* Form1() const;
  WindowMessages& messages() { return messages_; }
  QTimer* Timer1() { return &timer1_; }

  // `Timer1`'s tick: the session's tick, then the timer is set for just after the next
  // minute.
  void onMinuteTick();
  // Shows the outcome of the uploads that have ended.
  void pollUploads();

  // Writes dayplot.ini and removes the FTP script; an error text when the settings file
  // could not be written (the script is then kept).
  std::expected<void, std::string> shutdown();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // What the session reports, shown in the window.
  class Report final : public SessionReport {
   public:
    explicit Report(SettingsForm& form) : form_(form) {}
    void show(const std::string& message) override { form_.messages_.show(message); }
    void drawn(const QImage& picture, bool byHand) override;
    void uploadEnded(const UploadOutcome& outcome) override;
    CertificateAnswer trustCertificate(const std::string& failure,
                                       const std::string& fingerprint) override;

   private:
    SettingsForm& form_;
  };

  void build();
  // Tells why a typed value was not taken, below the settings.
  void refuse(const ValueFault& fault);
  QLineEdit* box(std::string DayplotSettings::*field) const;
  QCheckBox* tick(int DayplotSettings::*field) const;
  void startSequence();
  void fillDayList();
  GraphForm* openGraphForm(bool activate);
  // Polls the uploads while any runs.
  void watchUploads();

  // The data folder chosen through the file dialog.
  void chooseDataFolder();
  // The day of the date boxes, drawn, shown, and sent when ticked.
  void runManually();
  // The month or the year of the date boxes, drawn and shown (and uploaded when ticked).
  void onPeriod(PeriodKind kind);
  // The chosen day of the list into the date boxes.
  void showListedDay(int index);

  FormParts parts_;
  WindowMessages messages_{this};
  Report report_{*this};
  PublishingSession session_;
  QTimer timer1_;
  QTimer uploadTimer_;
  QPointer<GraphForm> form1_;
  bool shutDown_ = false;

  // What the start sequence read beyond the controls, which are read from the window;
  // the data folder and the period follow the operator since.
  DayplotStart start_;

  QButtonGroup* periods_;
  QComboBox* dayList_;
  QLabel* uploadStatus_;
  QLabel* refusalNote_;
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
