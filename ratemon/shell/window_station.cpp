#include "window_station.h"

#include <QFileDialog>
#include <QCoreApplication>
#include <QProcess>
#include <filesystem>
#include <iostream>

#include "alarm_player.h"
#include "mqtt_dialog.h"
#include "number_text.h"
#include "pending_records.h"
#include "ratemon_messages.h"
#include "text_files.h"

namespace radmon {
namespace {

std::optional<std::string> qtSaveDialog(QWidget* parent, const SaveDialogRequest& r) {
  QFileDialog dialog(parent, QString::fromStdString(r.title), QString::fromStdString(r.folder));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  QStringList filters;
  for (const auto& f : r.filters) filters << QString::fromStdString(f);
  dialog.setNameFilters(filters);
  dialog.selectNameFilter(filters.value(1));  // all files: the preset name ends in .csv
  dialog.selectFile(QString::fromStdString(r.fileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first().toStdString();
}

std::string defaultDayplotPath(const std::string& programFolder) {
#ifdef _WIN32
  return programFolder + "dayplot.exe";
#else
  return programFolder + "dayplot";
#endif
}

}  // namespace

WindowStation::WindowStation(StationParts parts)
    : parts_(std::move(parts)), window_(std::make_unique<MainWindow>()) {
  sound_ = parts_.sound ? std::move(parts_.sound)
                        : std::make_unique<AlarmPlayer>(parts_.programFolder);
  chime_ = parts_.chime ? std::move(parts_.chime)
                        : std::make_unique<AlarmPlayer>(parts_.programFolder, AlarmPattern::Fault, 0.5f);
  clock_ = parts_.clock ? std::move(parts_.clock) : std::make_unique<SystemClock>();
  if (!parts_.saveDialog) parts_.saveDialog = qtSaveDialog;
  if (parts_.dayplotPath.empty()) parts_.dayplotPath = defaultDayplotPath(programFolder());
  cycle_ = std::make_unique<RecordingCycle>(*window_, *parts_.input, *sound_, *clock_, *this);
  cycle_->setEventWording(&messages::eventWording());
  status_ = new SoundStatus(window_.get(), *chime_);

  MainWindow& w = *window_;
  connect(w.cmdRec(), &QPushButton::clicked, this, &WindowStation::startPressed);
  connect(w.cmdStop(), &QPushButton::clicked, this, [this] { cycle_->stop(); });
  using Command = MainWindow::Command;
  const auto clicked = &QPushButton::clicked;
  connect(w.commandButton(Command::chooseFolder), clicked, this, &WindowStation::chooseRecordFolder);
  connect(w.commandButton(Command::silenceStage1), clicked, this, [this] { cycle_->silenceStage1(); });
  connect(w.commandButton(Command::silenceStage2), clicked, this, [this] { cycle_->silenceStage2(); });
  connect(w.commandButton(Command::startDayplot), clicked, this, &WindowStation::startDayplot);
  connect(w.commandButton(Command::pulseIntervals), clicked, this, &WindowStation::openIntervals);
  // clicked, not toggled: clearing the box because the window closed must not echo.
  connect(w.tick(Tick::graph), &QCheckBox::clicked, this, &WindowStation::graphTicked);
  connect(&w, &MainWindow::closing, this, &WindowStation::shutdown);

  connect(w.mqttButton(), clicked, this, &WindowStation::showMqttDialog);
  linkTimer_.setInterval(1000);
  connect(&linkTimer_, &QTimer::timeout, this, &WindowStation::tendLink);

  pace_.setInterval(1000);
  pace_.setTimerType(Qt::PreciseTimer);
  connect(&pace_, &QTimer::timeout, this, [this] {
    if (parts_.deliverNext && !parts_.deliverNext()) cycle_->stop();
  });
}

WindowStation::~WindowStation() {
  shutdown();
  delete graph_.data();
  delete pulse_.data();
  delete intervals_.data();
}

std::string WindowStation::settingsPath() const {
  return parts_.programFolder + std::string(kSettingsFileName);
}

std::optional<std::string> WindowStation::startup() {
  if (auto refusal = lock_.take(parts_.lockPath))
    return messages::lockRefused(parts_.lockPath, *refusal);
  cycle_->setLockHeld(lock_.held());
  auto read = loadSettingsFile(settingsPath(), RatemonSettings::defaults(parts_.programFolder));
  RatemonSettings& settings = read.value;
  showSettings(settings);
  cycle_->setSaveFolder(saveFolderFor(settings.texts[Box::recordPath], parts_.programFolder));
  for (const auto& issue : read.issues) window_->report(messages::settingsIssue(settingsPath(), issue));
  const auto counting = loadCountingSettings(countingPath());
  counting_ = counting.value;
  cycle_->setDeadTime(counting_.deadTimeMicroseconds);
  for (const auto& issue : counting.issues)
    window_->report(messages::settingsIssue(countingPath(), issue));
  // The last run's unwritten lines go into the day files before the link's catch-up
  // reads them.
  if (lock_.held()) {
    if (auto flush = flushPendingRecords(parts_.programFolder, cycle_->saveFolder()))
      window_->report(messages::pendingFlushed(*flush));
  }
  openLink();
  return std::nullopt;
}

void WindowStation::shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  pace_.stop();
  if (lock_.held()) {
    // Only a station that started saves: a refused one must not overwrite the
    // settings of the ratemon that holds the lock.
    if (auto error = saveSettingsFile(settingsPath(), settingsFromWindow()))
      window_->report(*error);
  }
  cycle_->stop();
  linkTimer_.stop();
  if (link_) link_->finish();
  parts_.input->closeDevice();
  if (const size_t kept = cycle_->keptRecordLines(); kept > 0 && lock_.held()) {
    // The window is going: the operator reads where they went on the terminal and again
    // at the next start, when they are written into their day files.
    const auto fault = keepPendingRecords(parts_.programFolder, cycle_->keptRecordTexts());
    std::cerr << clock_->now().logStamp() << " "
              << messages::recordsPending(kept, parts_.programFolder + std::string(kPendingFileName), fault)
              << std::endl;
  }
  lock_.release();
  sound_->stop();
  chime_->stop();
  if (pulse_) pulse_->close();
  if (graph_) graph_->close();
  if (intervals_) intervals_->close();
}

std::string WindowStation::countingPath() const {
  return parts_.programFolder + kCountingSettingsFileName;
}

void WindowStation::readingsShown() {
  // Published once per second heard, so a stopped or lost input sends nothing stale.
  if (link_) link_->second(clock_->now(), cycle_->lastDose().netDoseRate, cycle_->lastDose().cpm);
  const bool capped = cycle_->lastDose().deadTimeCapped;
  window_->showReadingInterval(messages::readingInterval(cycle_->lastInterval()),
                               messages::deadTimeState(counting_.deadTimeMicroseconds, capped),
                               capped);
}

void WindowStation::openIntervals() {
  if (!intervals_) {
    intervals_ = new PulseIntervalWindow(
        [this] { return cycle_->pulseIntervals().intervalsSeconds(); });
    connect(intervals_.data(), &PulseIntervalWindow::countingEdited, this,
            &WindowStation::applyCounting);
  }
  // The resolution box as it reads now; its starting value while it holds no number.
  const auto resolution = readNumber(window_->text(Box::resolution));
  const int samples = resolution && *resolution >= 0 && *resolution < 1e6
                          ? static_cast<int>(*resolution)
                          : initialWhole(Box::resolution);
  intervals_->showCounting(counting_, scanDeadTimeMicroseconds(samples, kSampleRate));
  intervals_->show();
  intervals_->raise();
}

void WindowStation::applyCounting() {
  const auto chosen = intervals_->counting();
  if (!chosen) {
    window_->report(messages::badDeadTime(intervals_->deadTimeBox()->text().toStdString()));
    return;
  }
  counting_ = *chosen;
  cycle_->setDeadTime(counting_.deadTimeMicroseconds);
  if (auto fault = saveCountingSettings(countingPath(), counting_))
    window_->report(messages::fileNotWritten(countingPath(), *fault));
}

RatemonSettings WindowStation::settingsFromWindow() const {
  RatemonSettings s = RatemonSettings::defaults(parts_.programFolder);
  for (auto& [box, text] : s.texts) text = window_->text(box);
  for (auto& [tick, on] : s.ticks) on = window_->checked(tick);
  return s;
}

void WindowStation::showSettings(const RatemonSettings& s) {
  for (const auto& [box, text] : s.texts) window_->setText(box, text);
  for (const auto& [tick, on] : s.ticks) window_->tick(tick)->setChecked(on);
}

void WindowStation::startPressed() {
  if (auto refused = cycle_->start()) window_->report(*refused);
}

void WindowStation::recordingStateChanged(bool recording) {
  MainWindow& w = *window_;
  w.cmdRec()->setEnabled(!recording);
  w.cmdStop()->setEnabled(recording);
  if (recording) {
    w.cmdStop()->setFocus();
    if (parts_.deliverNext) pace_.start();
  } else {
    pace_.stop();
    status_->clear();
    showReadingsCurrent(true);
  }
}

void WindowStation::soundEvent(const SoundEvent& event, const std::string& text) {
  const bool faulty = cycle_->soundFaulty();
  status_->show(event, messages::soundState(event), text, faulty);
  showReadingsCurrent(!faulty);
}

void WindowStation::showReadingsCurrent(bool current) {
  for (Box box : {Box::elapsed, Box::total, Box::cpm, Box::doseRate}) window_->box(box)->setEnabled(current);
  window_->intervalLabel()->setVisible(current);
}

void WindowStation::chooseRecordFolder() {
  SaveDialogRequest request{messages::folderDialogTitle(),
                            dataFolder(parts_.programFolder),
                            control(Box::recordPath).initial, messages::folderDialogFilters()};
  std::optional<std::string> chosen;
  try {
    chosen = parts_.saveDialog(window_.get(), request);
  } catch (const std::exception&) {
    chosen.reset();
  }
  // A cancelled dialog changes nothing: the record folder stays where it was.
  if (!chosen) return;
  window_->setText(Box::recordPath, *chosen);
  const std::string folder = deriveFolder(*chosen);
  window_->report(folder);
  cycle_->setSaveFolder(folder);
}

void WindowStation::startDayplot() {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(parts_.dayplotPath, ec)) {
    window_->report(messages::about(messages::About::dayplotMissing, parts_.dayplotPath));
    return;
  }
  QStringList arguments;
  for (const auto& a : parts_.dayplotArguments) arguments << QString::fromStdString(a);
  if (!QProcess::startDetached(QString::fromStdString(parts_.dayplotPath), arguments,
                               QString::fromStdString(parts_.programFolder))) {
    window_->report(messages::about(messages::About::dayplotNotStarted, parts_.dayplotPath));
  }
}

void WindowStation::graphTicked(bool on) {
  if (!on) {
    if (graph_) graph_->close();
    return;
  }
  if (!graph_) {
    graph_ = new GraphWindow();
    graph_->setAttribute(Qt::WA_DeleteOnClose);
    connect(graph_.data(), &GraphWindow::closed, this,
            [this] { window_->tick(Tick::graph)->setChecked(false); });
  }
  graph_->show();
}

void WindowStation::redrawGraph() {
  if (!graph_) return;
  const auto newest = static_cast<int>(cycle_->elapsedSeconds() % 600);
  graph_->redraw(cycle_->doseChain().doseHistory(), newest, window_->text(Box::limit1),
                 window_->text(Box::limit2),
                 counting_.graphBand ? &cycle_->intervalHistory() : nullptr);
}

void WindowStation::pulseTest(const std::vector<uint8_t>& samples, int threshold,
                              int deadBand) {
  if (!pulse_) pulse_ = new PulseTestWindow();
  pulse_->show();
  pulse_->showTrace(samples, threshold, deadBand);
}

void WindowStation::recordWritten(const std::string& line) {
  if (link_)
    link_->recordWritten(line, cycle_->alarms().alarm1Latch(), cycle_->alarms().alarm2Latch(),
                         cycle_->healthText());
}

void WindowStation::openLink() {
  if (link_) {
    // What it leaves unacknowledged the new link catches up from the day files.
    link_->finish(std::chrono::milliseconds(500));
    link_.reset();
  }
  std::vector<LinkNotice> notices;
  link_ = StationLink::open(parts_.programFolder, cycle_->saveFolder(),
                            {std::nullopt, std::nullopt, messages::discoveryNames()},
                            clock_->now().yyyymmdd(), notices);
  std::string told;
  for (const LinkNotice& n : notices) told.append(told.empty() ? "" : "\n").append(messages::linkNotice(n));
  if (!told.empty()) window_->report(told);
  if (link_) {
    linkTimer_.start();
  } else {
    linkTimer_.stop();
  }
  tendLink();
}

void WindowStation::tendLink() {
  QLabel* state = window_->mqttState();
  if (!link_) {
    state->setText(QString::fromStdString(messages::linkOff()));
    state->setToolTip({});
    if (mqttDialog_) static_cast<MqttDialog*>(mqttDialog_.data())->setStatus(state->text());
    return;
  }
  // A refusal needs the operator; a lost connection mends itself and is only shown.
  for (const LinkEvent& e : link_->takeEvents()) {
    if (e.state == LinkState::BadLogin || e.state == LinkState::TlsFailed ||
        e.state == LinkState::Unreachable || e.state == LinkState::Refused)
      window_->report(messages::linkEvent(e));
  }
  const LinkStatus status = link_->status();
  state->setText(QString::fromStdString(messages::linkStatusShort(status)));
  const QString full = QString::fromStdString(messages::linkStatus(status) + "\n" + link_->address());
  state->setToolTip(full);
  if (mqttDialog_) static_cast<MqttDialog*>(mqttDialog_.data())->setStatus(full);
}

void WindowStation::showMqttDialog() {
  if (mqttDialog_) {
    mqttDialog_->raise();
    return;
  }
  const std::string path = parts_.programFolder + kMqttSettingsFileName;
  auto* dialog = new MqttDialog(loadMqttSettings(path).value, window_.get());
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  mqttDialog_ = dialog;
  connect(dialog, &QDialog::accepted, this, [this, dialog, path] {
    if (auto fault = saveMqttSettings(path, dialog->settings())) {
      window_->report(messages::fileNotWritten(path, *fault));
      return;
    }
    openLink();
  });
  tendLink();
  dialog->open();
}

}  // namespace radmon
