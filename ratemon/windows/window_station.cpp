#include "window_station.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QProcess>
#include <filesystem>
#include <iostream>

#include "alarm_player.h"
#include "mqtt_dialog.h"
#include "number_text.h"
#include "ratemon_messages.h"

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
  sound_ =
      parts_.sound ? std::move(parts_.sound) : std::make_unique<AlarmPlayer>(parts_.programFolder);
  chime_ = parts_.chime
               ? std::move(parts_.chime)
               : std::make_unique<AlarmPlayer>(parts_.programFolder, AlarmPattern::Fault, 0.5f);
  clock_ = parts_.clock ? std::move(parts_.clock) : std::make_unique<SystemClock>();
  if (!parts_.saveDialog) parts_.saveDialog = qtSaveDialog;
  if (parts_.dayplotPath.empty()) parts_.dayplotPath = defaultDayplotPath(programFolder());
  session_ =
      std::make_unique<StationSession>(parts_.programFolder, parts_.lockPath,
                                       std::move(parts_.input), *window_, *sound_, *clock_, *this);
  status_ = new SoundStatus(window_.get(), *chime_);

  MainWindow& w = *window_;
  connect(w.cmdRec(), &QPushButton::clicked, this, [this] { session_->start(); });
  connect(w.cmdStop(), &QPushButton::clicked, this, [this] { cycle().stop(); });
  using Command = MainWindow::Command;
  const auto clicked = &QPushButton::clicked;
  connect(w.commandButton(Command::chooseFolder), clicked, this,
          &WindowStation::chooseRecordFolder);
  connect(w.commandButton(Command::silenceStage1), clicked, this,
          [this] { cycle().silenceStage1(); });
  connect(w.commandButton(Command::silenceStage2), clicked, this,
          [this] { cycle().silenceStage2(); });
  connect(w.commandButton(Command::startDayplot), clicked, this, &WindowStation::startDayplot);
  connect(w.commandButton(Command::pulseIntervals), clicked, this, &WindowStation::openIntervals);
  // clicked, not toggled: clearing the box because the window closed must not echo.
  connect(w.tick(Tick::graph), &QCheckBox::clicked, this, &WindowStation::graphTicked);
  connect(&w, &MainWindow::closing, this, &WindowStation::shutdown);

  connect(w.mqttButton(), clicked, this, &WindowStation::showMqttDialog);
  connect(&linkTimer_, &QTimer::timeout, this, &WindowStation::tendLink);
  linkTimer_.start(1000);

  pace_.setInterval(1000);
  pace_.setTimerType(Qt::PreciseTimer);
  connect(&pace_, &QTimer::timeout, this, [this] {
    if (parts_.deliverNext && !parts_.deliverNext()) cycle().stop();
  });
}

WindowStation::~WindowStation() {
  shutdown();
  delete graph_.data();
  delete pulse_.data();
  delete intervals_.data();
}

std::expected<void, std::string> WindowStation::startup() {
  RatemonSettings settings = RatemonSettings::defaults(parts_.programFolder);
  if (auto opened = session_->open(settings); !opened) return opened;
  if (parts_.http) session_->serve(*parts_.http);  // told in the window when it cannot
  showSettings(settings);
  tendLink();
  return {};
}

void WindowStation::shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  pace_.stop();
  linkTimer_.stop();
  session_->save(settingsFromWindow());
  session_->finish();
  sound_->stop();
  chime_->stop();
  if (pulse_) pulse_->close();
  if (graph_) graph_->close();
  if (intervals_) intervals_->close();
}

void WindowStation::told(const Told& told) {
  // Once the window is going, the operator reads it on the terminal.
  if (told.forOperator && shutDown_) std::cerr << told.when.logLine(told.text) << std::endl;
  if (shutDown_) return;
  // The link's refusals stay on its status line rather than in a box at each retry.
  if (told.link) {
    linkTrouble_ = told.forOperator ? told.text : std::string();
    return;
  }
  if (told.forOperator) window_->report(told.text);
}

void WindowStation::stateShown(const std::vector<LiveBanner>& banners) {
  if (shutDown_) return;
  // The window's own buttons tell that recording stopped; the rest stands out on top.
  std::vector<LiveBanner> shown = banners;
  std::erase_if(shown, [](const LiveBanner& b) { return b.kind == "stopped"; });
  window_->showStateBanners(shown);
}

void WindowStation::readingsShown() {
  // In red whatever alarm sounds: the alarm has its sound and its stop buttons, the lower
  // bound this line.
  const bool capped = cycle().lastDose().deadTimeCapped || tubeSaturated_;
  window_->showReadingInterval(
      capped
          ? messages::readingLowerBound(cycle().lastDose(), cycle().lastInterval(), tubeSaturated_)
          : messages::readingInterval(cycle().lastInterval(), counting().deadTimeMicroseconds),
      capped);
}

void WindowStation::openIntervals() {
  if (!intervals_) {
    intervals_ =
        new PulseIntervalWindow([this] { return cycle().pulseIntervals().intervalsSeconds(); });
    connect(intervals_.data(), &PulseIntervalWindow::countingEdited, this,
            &WindowStation::applyCounting);
  }
  // The resolution box as it reads now; its starting value while it holds no number.
  const auto resolution = readNumber(window_->text(Box::resolution));
  const int samples = resolution && *resolution >= 0 && *resolution < 1e6
                          ? static_cast<int>(*resolution)
                          : initialWhole(Box::resolution);
  intervals_->showCounting(counting(), scanDeadTimeMicroseconds(samples, kSampleRate));
  intervals_->show();
  intervals_->raise();
}

void WindowStation::applyCounting() {
  const auto chosen = intervals_->counting();
  if (!chosen) {
    window_->report(messages::badDeadTime(intervals_->deadTimeBox()->text().toStdString()));
    return;
  }
  session_->setCounting(*chosen);
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

void WindowStation::recordingStateChanged(bool recording) {
  MainWindow& w = *window_;
  if (recording) tubeSaturated_ = false;  // a new recording tells its own
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
  // The reading line tells the dead-time cap and a saturated tube; the status line is the
  // sound path's.
  if (event.kind == EventKind::TubeSaturated || event.kind == EventKind::TubeSaturatedOk)
    tubeSaturated_ = event.kind == EventKind::TubeSaturated;
  if (event.kind == EventKind::DeadTimeCapped || event.kind == EventKind::DeadTimeOk ||
      event.kind == EventKind::TubeSaturated || event.kind == EventKind::TubeSaturatedOk)
    return;
  const bool faulty = cycle().soundFaulty();
  status_->show(event, messages::soundState(event), text, faulty);
  showReadingsCurrent(!faulty);
}

void WindowStation::showReadingsCurrent(bool current) {
  for (Box box : {Box::elapsed, Box::total, Box::cpm, Box::doseRate})
    window_->box(box)->setEnabled(current);
  window_->intervalLabel()->setVisible(current);
}

void WindowStation::chooseRecordFolder() {
  SaveDialogRequest request{messages::folderDialogTitle(), dataFolder(parts_.programFolder),
                            control(Box::recordPath).initial, messages::folderDialogFilters()};
  std::optional<std::string> chosen;
  try {
    chosen = parts_.saveDialog(window_.get(), request);
  } catch (const std::exception&) {  // as a cancel
  }
  // A cancelled dialog changes nothing: the record folder stays where it was.
  if (!chosen) return;
  window_->setText(Box::recordPath, *chosen);
  const std::string folder = deriveFolder(*chosen);
  window_->report(folder);
  cycle().setSaveFolder(folder);
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
  const auto newest = static_cast<int>(cycle().elapsedSeconds() % 600);
  graph_->redraw(cycle().doseChain().doseHistory(), newest, window_->text(Box::limit1),
                 window_->text(Box::limit2),
                 counting().graphBand ? &cycle().intervalHistory() : nullptr);
}

void WindowStation::pulseTest(const std::vector<uint8_t>& samples, int threshold, int deadBand) {
  if (!pulse_) pulse_ = new PulseTestWindow();
  pulse_->show();
  pulse_->showTrace(samples, threshold, deadBand);
}

void WindowStation::tendLink() {
  session_->tendLink();
  const StationLink* l = link();
  const std::string brief = l ? messages::linkStatusShort(l->status()) : messages::linkOff();
  std::string full = l ? messages::linkStatus(l->status()) + "\n" + l->address() : std::string();
  if (l && !linkTrouble_.empty()) full += "\n" + linkTrouble_;
  // The public maps' last outcomes ride on the same status, one line each.
  if (const std::string maps = session_->mapsStatusText(); !maps.empty())
    full.append(full.empty() ? "" : "\n").append(maps);
  window_->showLinkState(brief, full, l && !linkTrouble_.empty());
  if (mqttDialog_)
    static_cast<MqttDialog*>(mqttDialog_.data())
        ->setStatus(
            QString::fromStdString(l || full.empty() ? (l ? full : brief) : brief + "\n" + full));
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
    if (auto saved = saveMqttSettings(path, dialog->settings()); !saved) {
      window_->report(messages::fileNotWritten(path, saved.error()));
      return;
    }
    linkTrouble_.clear();
    session_->openLink({});
    tendLink();
  });
  tendLink();
  dialog->open();
}

}  // namespace radmon
