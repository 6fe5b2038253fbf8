#include "window_station.h"

#include <QFileDialog>
#include <QProcess>
#include <filesystem>

#include "alarm_player.h"
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
  clock_ = parts_.clock ? std::move(parts_.clock) : std::make_unique<SystemClock>();
  if (!parts_.saveDialog) parts_.saveDialog = qtSaveDialog;
  if (parts_.dayplotPath.empty()) parts_.dayplotPath = defaultDayplotPath(parts_.programFolder);
  cycle_ = std::make_unique<RecordingCycle>(*window_, *parts_.input, *sound_, *clock_, *this);

  MainWindow& w = *window_;
  connect(w.cmdRec(), &QPushButton::clicked, this, &WindowStation::startPressed);
  connect(w.cmdStop(), &QPushButton::clicked, this, [this] { cycle_->stop(); });
  using Command = MainWindow::Command;
  const auto clicked = &QPushButton::clicked;
  connect(w.commandButton(Command::chooseFolder), clicked, this, &WindowStation::chooseRecordFolder);
  connect(w.commandButton(Command::silenceStage1), clicked, this, [this] { cycle_->silenceStage1(); });
  connect(w.commandButton(Command::silenceStage2), clicked, this, [this] { cycle_->silenceStage2(); });
  connect(w.commandButton(Command::startDayplot), clicked, this, &WindowStation::startDayplot);
  // clicked, not toggled: clearing the box because the window closed must not echo.
  connect(w.tick(Tick::graph), &QCheckBox::clicked, this, &WindowStation::graphTicked);
  connect(&w, &MainWindow::closing, this, &WindowStation::shutdown);

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
}

std::string WindowStation::settingsPath() const {
  return parts_.programFolder + std::string(kSettingsFileName);
}

std::optional<std::string> WindowStation::startup() {
  if (auto refusal = lock_.take(parts_.lockPath))
    return messages::lockRefused(parts_.lockPath, *refusal);
  cycle_->setLockHeld(lock_.held());
  RatemonSettings settings = RatemonSettings::defaults(parts_.programFolder);
  const bool read = loadSettingsFile(settingsPath(), settings);
  showSettings(settings);
  cycle_->setSaveFolder(saveFolderFor(settings.texts[Box::recordPath], parts_.programFolder));
  if (!read) window_->report(messages::about(messages::About::settingsUnreadable,
                                             settingsPath()));
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
  parts_.input->closeDevice();
  lock_.release();
  sound_->stop();
  if (pulse_) pulse_->close();
  if (graph_) graph_->close();
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
  }
}

void WindowStation::chooseRecordFolder() {
  SaveDialogRequest request{messages::folderDialogTitle(),
                            parts_.programFolder + "data" + kPathSeparator,
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
  } else if (!QProcess::startDetached(QString::fromStdString(parts_.dayplotPath), {},
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
                 window_->text(Box::limit2));
}

void WindowStation::pulseTest(const std::vector<uint8_t>& samples, int threshold,
                              int deadBand) {
  if (!pulse_) pulse_ = new PulseTestWindow();
  pulse_->show();
  pulse_->showTrace(samples, threshold, deadBand);
}

}  // namespace radmon
