#include "window_station.h"

#include <QFileDialog>
#include <QProcess>
#include <filesystem>

#include "alarm_player.h"
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
  if (parts_.dayplotPath.empty()) parts_.dayplotPath = defaultDayplotPath(programFolder());
  cycle_ = std::make_unique<RecordingCycle>(*window_, *parts_.input, *sound_, *clock_, *this);

  MainWindow& w = *window_;
  connect(w.cmdRec(), &QPushButton::clicked, this, &WindowStation::startPressed);
  connect(w.cmdStop(), &QPushButton::clicked, this, [this] { cycle_->stop(); });
  connect(w.command(1), &QPushButton::clicked, this, &WindowStation::chooseRecordFolder);
  connect(w.command(2), &QPushButton::clicked, this, [this] { cycle_->silenceStage1(); });
  connect(w.command(3), &QPushButton::clicked, this, [this] { cycle_->silenceStage2(); });
  connect(w.command(4), &QPushButton::clicked, this, &WindowStation::startDayplot);
  // clicked, not toggled: clearing the box because the window closed must not echo.
  connect(w.tick(Tick::Check5), &QCheckBox::clicked, this, &WindowStation::graphTicked);
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
  if (auto error = lock_.take(parts_.lockPath)) return error;
  cycle_->setLockHeld(lock_.held());
  RatemonSettings settings = RatemonSettings::defaults(parts_.programFolder);
  cycle_->setSaveFolder(settings.text11);
  const auto error = loadSettingsFile(settingsPath(), settings);
  showSettings(settings);
  cycle_->setSaveFolder(saveFolderFor(settings.text11, parts_.programFolder));
  if (error) window_->report(*error);
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
  const MainWindow& w = *window_;
  RatemonSettings s;
  s.text3 = w.text(Box::Text3);
  s.text4 = w.text(Box::Text4);
  s.text5 = w.text(Box::Text5);
  s.text7 = w.text(Box::Text7);
  s.text9 = w.text(Box::Text9);
  s.text10 = w.text(Box::Text10);
  s.text11 = w.text(Box::Text11);
  s.check2 = w.checked(Tick::Check2) ? 1 : 0;
  s.check3 = w.checked(Tick::Check3) ? 1 : 0;
  s.check4 = w.checked(Tick::Check4) ? 1 : 0;
  s.text12 = w.text(Box::Text12);
  return s;
}

void WindowStation::showSettings(const RatemonSettings& s) {
  MainWindow& w = *window_;
  w.setText(Box::Text3, s.text3);
  w.setText(Box::Text4, s.text4);
  w.setText(Box::Text5, s.text5);
  w.setText(Box::Text7, s.text7);
  w.setText(Box::Text9, s.text9);
  w.setText(Box::Text10, s.text10);
  w.setText(Box::Text11, s.text11);
  w.tick(Tick::Check2)->setChecked(s.check2 != 0);
  w.tick(Tick::Check3)->setChecked(s.check3 != 0);
  w.tick(Tick::Check4)->setChecked(s.check4 != 0);
  w.setText(Box::Text12, s.text12);
}

void WindowStation::startPressed() {
  if (auto message = cycle_->start()) window_->report(*message);
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
  SaveDialogRequest request{kDialogTitle,
                            parts_.programFolder + "data" + kPathSeparator,
                            kPresetName,
                            {"テキスト ファイル (*.txt *.log)", "すべてのファイル (*)"}};
  std::optional<std::string> chosen;
  try {
    chosen = parts_.saveDialog(window_.get(), request);
  } catch (const std::exception&) {
    chosen.reset();
  }
  // A cancelled dialog changes nothing: the record folder stays where it was.
  if (!chosen) return;
  window_->setText(Box::Text11, *chosen);
  const std::string folder = deriveFolder(*chosen);
  window_->report(folder);
  cycle_->setSaveFolder(folder);
}

void WindowStation::startDayplot() {
  const QString path = QString::fromStdString(parts_.dayplotPath);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(parts_.dayplotPath, ec)) {
    window_->report("データロガー (dayplot) が見つかりません: " + parts_.dayplotPath);
    return;
  }
  QStringList arguments;
  for (const auto& a : parts_.dayplotArguments) arguments << QString::fromStdString(a);
  if (!QProcess::startDetached(path, arguments, QString::fromStdString(parts_.programFolder))) {
    window_->report("データロガー (dayplot) を起動できません: " + parts_.dayplotPath);
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
            [this] { window_->tick(Tick::Check5)->setChecked(false); });
  }
  graph_->show();
}

void WindowStation::redrawGraph() {
  if (!graph_) return;
  const auto newest = static_cast<int>(cycle_->elapsedSeconds() % 600);
  graph_->redraw(cycle_->doseChain().doseHistory(), newest, window_->text(Box::Text9),
                 window_->text(Box::Text10));
}

void WindowStation::pulseTest(const std::vector<uint8_t>& samples, int threshold,
                              int deadBand) {
  if (!pulse_) pulse_ = new PulseTestWindow();
  pulse_->show();
  pulse_->showTrace(samples, threshold, deadBand);
}

}  // namespace radmon
