#include "settings_form.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include "dayplot_messages.h"
#include "ftp_upload.h"
#include "publish_settings.h"
#include "settings_sources.h"
#include "certificate_question.h"
#include "graph_form.h"
#include "publish_dialog.h"
#include "text_files.h"

namespace radmon {

namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

FormDialogs withRealDialogs(FormDialogs dialogs, QWidget* parent) {
  if (!dialogs.saveFile) {
    dialogs.saveFile = [parent](const FolderDialogRequest& request) -> std::optional<QString> {
      QFileDialog dialog(parent, request.title);
      dialog.setAcceptMode(QFileDialog::AcceptSave);
      dialog.setFileMode(QFileDialog::AnyFile);  // an existing folder is still required
      dialog.setNameFilters(request.filters.split('\n'));
      // The day files end in .csv: show every file rather than the text files.
      dialog.selectNameFilter(request.filters.split('\n').last());
      dialog.selectFile(request.initialPath);
      for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
          return std::nullopt;
        }
        const QString chosen = dialog.selectedFiles().first();
        // Only a folder that exists will do; the file itself is never written.
        if (QFileInfo(chosen).absoluteDir().exists()) return chosen;
        QMessageBox::warning(parent, kProgramTitle,
                             QCoreApplication::translate("dayplot", "フォルダがありません: %1")
                                 .arg(QFileInfo(chosen).absolutePath()));
      }
    };
  }
  if (!dialogs.publishSettings) {
    dialogs.publishSettings = [parent](const std::string& path) {
      PublishDialog(path, parent).exec();
    };
  }
  if (!dialogs.trustCertificate) {
    dialogs.trustCertificate = [parent](const QString& failure, const QString& fingerprint) {
      return askAboutCertificate(parent, failure, fingerprint);
    };
  }
  if (!dialogs.showFolder) {
    dialogs.showFolder = [parent](const QString& folder) {
      QMessageBox::information(parent, kProgramTitle, folder);
    };
  }
  if (!dialogs.closeUnsaved) {
    dialogs.closeUnsaved = [parent](const QString& message) {
      return QMessageBox::warning(parent, kProgramTitle, message,
                                  QMessageBox::Yes | QMessageBox::No,
                                  QMessageBox::No) == QMessageBox::Yes;
    };
  }
  return dialogs;
}

}  // namespace

FolderDialogRequest dataFolderDialog(const std::string& programFolder) {
  return {QCoreApplication::translate("dayplot", "収集データ保存フォルダ"),
          q(programFolder + "data" + kPathSeparator + "μSVHData_nnnntthh.csv"),
          QCoreApplication::translate("dayplot",
                                      "テキスト ファイル (*.txt *.log)\nすべてのファイル (*)")};
}

DateBoxes dateBoxesFromEntry(const QString& entry) {
  const QString s = entry.mid(8, 8);
  return {s.mid(0, 4), s.mid(4, 2), s.mid(6, 2)};
}

SettingsForm::SettingsForm(FormParts parts, QWidget* parent)
    : QWidget(parent),
      parts_(std::move(parts)),
      clock_(*parts_.clock),
      launcher_(*parts_.launcher),
      scheduler_(parts_.clock->now()),
      queue_(UploadQueue::pathIn(parts_.programFolder)) {
  parts_.dialogs = withRealDialogs(std::move(parts_.dialogs), this);
  uploads_.keepQueue(
      queue_,
      [this](const std::string& file) -> UploadWatch::Starter {
        return [this, file] {
          return uploadFile(SettingsUploadSource(controls()), file, parts_.programFolder,
                            launcher_, messages_);
        };
      },
      [this] { return readPublishSettings(publishSettingsPath(parts_.programFolder)).value.retryMinutes; });
  build();
  startSequence();

  timer1_.setObjectName("Timer1");
  timer1_.setSingleShot(true);
  timer1_.setTimerType(Qt::PreciseTimer);
  connect(&timer1_, &QTimer::timeout, this, &SettingsForm::onMinuteTick);
  timer1_.start(MinuteScheduler::untilNextMinute(clock_.now()));

  uploadTimer_.setInterval(250);
  connect(&uploadTimer_, &QTimer::timeout, this, &SettingsForm::pollUploads);
}

SettingsForm::~SettingsForm() = default;

void SettingsForm::build() {
  setObjectName("Form2");
  setWindowTitle(QCoreApplication::translate("dayplot", "データロガー"));

  // Captions come marked for lupdate and are shown in the interface's language.
  auto label = [this](const char* name, const char* text) {
    auto* l = new QLabel(QCoreApplication::translate("dayplot", text), this);
    l->setObjectName(name);
    return l;
  };
  // Boxes that are saved refuse what the settings file cannot carry.
  auto* savable = new QRegularExpressionValidator(QRegularExpression("[^\"\\r\\n]*"), this);
  auto box = [&](const char* name, const QString& text, bool saved = true) {
    auto* e = new QLineEdit(text, this);
    e->setObjectName(name);
    if (saved) e->setValidator(savable);
    return e;
  };
  auto check = [this](const char* name, const char* text, bool ticked) {
    auto* c = new QCheckBox(QCoreApplication::translate("dayplot", text), this);
    c->setObjectName(name);
    c->setChecked(ticked);
    return c;
  };
  auto button = [this](const char* name, const char* text) {
    auto* b = new QPushButton(QCoreApplication::translate("dayplot", text), this);
    b->setObjectName(name);
    return b;
  };
  auto line = [this](const char* name) {
    auto* f = new QFrame(this);
    f->setObjectName(name);
    f->setFrameShape(QFrame::HLine);
    f->setFrameShadow(QFrame::Sunken);
    return f;
  };
  auto row = [](std::initializer_list<QWidget*> widgets, bool stretch = true) {
    auto* h = new QHBoxLayout;
    for (QWidget* w : widgets) h->addWidget(w);
    if (stretch) h->addStretch(1);
    return h;
  };

  DayplotSettings defaults;
  Text1_ = box("Text1", q(defaults.Text1));
  Text6_ = box("Text6", q(defaults.Text6));
  Text2_ = box("Text2", QString());
  Text5_ = box("Text5", q(defaults.Text5));
  Text3_ = box("Text3", q(defaults.Text3));
  Check1_ = check("Check1", "", defaults.Check1 == 1);
  Check2_ = check("Check2", "", defaults.Check2 == 1);
  Text4_ = box("Text4", q(defaults.Text4));
  Check5_ = check("Check5", "", defaults.Check5 == 1);
  Text12_ = box("Text12", q(defaults.Text12));
  Text15_ = box("Text15", QString());
  Text13_ = box("Text13", QString());
  Text14_ = box("Text14", QString());  // shown in clear, as the operator typed it
  Command1_ = button("Command1", QT_TRANSLATE_NOOP("dayplot", "停止中案内転送"));
  Command2_ = button("Command2", QT_TRANSLATE_NOOP("dayplot", "保存先"));
  Command3_ = button("Command3", QT_TRANSLATE_NOOP("dayplot", "手動処理"));
  cmdMonth_ = button("cmdMonth", QT_TRANSLATE_NOOP("dayplot", "月グラフ"));
  cmdYear_ = button("cmdYear", QT_TRANSLATE_NOOP("dayplot", "年グラフ"));
  Command4_ = button("Command4", QT_TRANSLATE_NOOP("dayplot", "転送の詳細設定"));
  Text7_ = box("Text7", QString(), false);
  Text8_ = box("Text8", QString(), false);
  Text9_ = box("Text9", QString(), false);
  Combo1_ = new QComboBox(this);
  Combo1_->setObjectName("Combo1");
  Combo1_->setEditable(true);
  Combo1_->setInsertPolicy(QComboBox::NoInsert);
  Combo1_->setMinimumWidth(260);
  Check3_ = check("Check3", "", defaults.Check3 == 1);
  options_ = new QButtonGroup(this);
  options_->setExclusive(true);
  auto* periods = new QHBoxLayout;
  for (int i = 0; i < static_cast<int>(kRealtimePeriods.size()); ++i) {
    const int16_t period = kRealtimePeriods[i];
    auto* option = new QRadioButton(
        QCoreApplication::translate("dayplot", "%1分毎").arg(period), this);
    option->setObjectName(QString("Option%1").arg(i + 1));
    option->setChecked(defaults.option(i + 1));
    options_->addButton(option, i + 1);
    periods->addWidget(option);
    connect(option, &QRadioButton::clicked, this, [this, period] { RealtimeInterval_ = period; });
  }
  periods->addStretch(1);
  Check4_ = check("Check4", QT_TRANSLATE_NOOP("dayplot", "昨日分自動処理"), defaults.Check4 == 1);
  Text11_ = box("Text11", q(defaults.Text11));
  Text10_ = box("Text10", q(defaults.Text10));
  for (QLineEdit* narrow : {Text4_, Text10_, Text11_, Text8_, Text9_}) narrow->setMaximumWidth(40);
  Text7_->setMaximumWidth(60);
  uploadStatus_ = label("Label24", QT_TRANSLATE_NOOP("dayplot", "最後のFTP転送: まだありません"));
  uploadStatus_->setWordWrap(true);

  auto* top = new QGridLayout;
  top->addWidget(label("Label1", QT_TRANSLATE_NOOP("dayplot", "測定場所")), 0, 0);
  top->addWidget(Text1_, 0, 1, 1, 2);
  top->addWidget(label("Label6", QT_TRANSLATE_NOOP("dayplot", "測定管")), 1, 0);
  top->addWidget(Text6_, 1, 1, 1, 2);
  top->addWidget(label("Label2", QT_TRANSLATE_NOOP("dayplot", "データフォルダ")), 2, 0);
  top->addWidget(Command2_, 2, 1);
  top->addWidget(Text2_, 2, 2);
  top->addWidget(label("Label5", QT_TRANSLATE_NOOP("dayplot", "入力データファイル名")), 3, 0);
  top->addWidget(Text5_, 3, 1, 1, 2);
  top->addWidget(label("Label3", QT_TRANSLATE_NOOP("dayplot", "出力グラフファイル名")), 4, 0);
  top->addWidget(Text3_, 4, 1, 1, 2);
  top->addWidget(label("Label8", QT_TRANSLATE_NOOP("dayplot", "ファイル形式")), 5, 0);
  top->addLayout(row({Check1_, label("Label7", "JPG"), Check2_, label("Label9", "BMP")}), 5, 1,
                 1, 2);
  top->addWidget(label("Label4", QT_TRANSLATE_NOOP("dayplot", "縦軸最大スケール(μSV/h)")), 6, 0);
  top->addLayout(row({Text4_}), 6, 1, 1, 2);
  top->setColumnStretch(2, 1);

  auto* middle = new QGridLayout;
  middle->addLayout(row({Check5_, label("Label22", QT_TRANSLATE_NOOP("dayplot", "FTP転送を行う"))}), 0, 0, 1, 2);
  middle->addWidget(label("Label19", QT_TRANSLATE_NOOP("dayplot", "サーバ名")), 1, 0);
  middle->addWidget(Text12_, 1, 1);
  middle->addWidget(label("Label23", QT_TRANSLATE_NOOP("dayplot", "ｻﾌﾞﾌｫﾙﾀﾞ名  ( 例  xxxx\\yyyyy\\zzzz)")), 2, 0);
  middle->addWidget(Text15_, 2, 1);
  middle->addWidget(label("Label20", QT_TRANSLATE_NOOP("dayplot", "ユーザ名")), 3, 0);
  middle->addWidget(Text13_, 3, 1);
  middle->addWidget(label("Label21", QT_TRANSLATE_NOOP("dayplot", "ﾊﾟｽﾜｰﾄﾞ")), 4, 0);
  middle->addWidget(Text14_, 4, 1);
  middle->addLayout(row({Command1_, Command4_}), 5, 0, 1, 2);
  middle->setColumnStretch(1, 1);

  auto* bottom = new QVBoxLayout;
  bottom->addLayout(row({Command3_, Text7_, label("Label10", QT_TRANSLATE_NOOP("dayplot", "年")), Text8_,
                         label("Label11", QT_TRANSLATE_NOOP("dayplot", "月")), Text9_, label("Label12", QT_TRANSLATE_NOOP("dayplot", "日"))}));
  bottom->addLayout(row({cmdMonth_, cmdYear_, label("LabelPeriod", QT_TRANSLATE_NOOP("dayplot", "(年 月の欄の月または年)"))}));
  bottom->addLayout(row({label("Label18", QT_TRANSLATE_NOOP("dayplot", "ﾌｧｲﾙ選択")), Combo1_}));
  bottom->addLayout(row({Check3_, label("Label13", QT_TRANSLATE_NOOP("dayplot", "当日データリアルタイム処理"))}));
  bottom->addLayout(periods);
  bottom->addLayout(row({Check4_, Text11_, label("Label15", QT_TRANSLATE_NOOP("dayplot", "時")), Text10_,
                         label("Label16", QT_TRANSLATE_NOOP("dayplot", "分")), label("Label14", QT_TRANSLATE_NOOP("dayplot", "起動"))}));
  bottom->addWidget(label("Label17", QT_TRANSLATE_NOOP("dayplot", "※月日時間は、全て２桁で入力してください")));

  auto* all = new QVBoxLayout(this);
  all->addLayout(top);
  all->addWidget(line("Line1"));
  all->addLayout(middle);
  all->addWidget(line("Line2"));
  all->addLayout(bottom);
  all->addWidget(uploadStatus_);
  resize(520, sizeHint().height());

  connect(Command1_, &QPushButton::clicked, this, &SettingsForm::sendNotice);
  connect(Command4_, &QPushButton::clicked, this, [this] {
    parts_.dialogs.publishSettings(publishSettingsPath(parts_.programFolder));
  });
  connect(Command2_, &QPushButton::clicked, this, &SettingsForm::chooseDataFolder);
  connect(Command3_, &QPushButton::clicked, this, &SettingsForm::runManually);
  connect(cmdMonth_, &QPushButton::clicked, this, [this] { onPeriod(PeriodKind::Month); });
  connect(cmdYear_, &QPushButton::clicked, this, [this] { onPeriod(PeriodKind::Year); });
  connect(Combo1_, &QComboBox::activated, this, &SettingsForm::showListedDay);
}

std::vector<std::pair<QLineEdit*, std::string DayplotSettings::*>> SettingsForm::textBoxes()
    const {
  return {{Text1_, &DayplotSettings::Text1},   {Text2_, &DayplotSettings::Text2},
          {Text3_, &DayplotSettings::Text3},   {Text4_, &DayplotSettings::Text4},
          {Text5_, &DayplotSettings::Text5},   {Text6_, &DayplotSettings::Text6},
          {Text7_, &DayplotSettings::Text7},   {Text8_, &DayplotSettings::Text8},
          {Text9_, &DayplotSettings::Text9},   {Text10_, &DayplotSettings::Text10},
          {Text11_, &DayplotSettings::Text11}, {Text12_, &DayplotSettings::Text12},
          {Text13_, &DayplotSettings::Text13}, {Text14_, &DayplotSettings::Text14},
          {Text15_, &DayplotSettings::Text15}};
}

std::vector<std::pair<QCheckBox*, int DayplotSettings::*>> SettingsForm::checkBoxes() const {
  return {{Check1_, &DayplotSettings::Check1}, {Check2_, &DayplotSettings::Check2},
          {Check3_, &DayplotSettings::Check3}, {Check4_, &DayplotSettings::Check4},
          {Check5_, &DayplotSettings::Check5}};
}

DayplotSettings SettingsForm::controls() const {
  DayplotSettings c;
  for (const auto& [box, field] : textBoxes()) c.*field = box->text().toStdString();
  for (const auto& [check, field] : checkBoxes()) c.*field = check->isChecked() ? 1 : 0;
  for (int n = 1; n <= static_cast<int>(kRealtimePeriods.size()); ++n) {
    c.setOption(n, options_->button(n)->isChecked());
  }
  return c;
}

void SettingsForm::setControls(const DayplotSettings& c) {
  // The boxes that are saved (those with a validator) lose what the file cannot carry.
  for (const auto& [box, field] : textBoxes()) {
    box->setText(q(box->validator() ? savableText(c.*field) : c.*field));
  }
  for (const auto& [check, field] : checkBoxes()) check->setChecked(c.*field == 1);
  // A short settings file can leave no option selected, which an exclusive group
  // would not allow to be set.
  options_->setExclusive(false);
  for (int n = 1; n <= static_cast<int>(kRealtimePeriods.size()); ++n) {
    options_->button(n)->setChecked(c.option(n));
  }
  options_->setExclusive(true);
}

void SettingsForm::startSequence() {
  const DayplotStart start = startSettings(parts_.programFolder, clock_.now().yyyymmdd());
  setControls(start.controls);
  DataFolder_ = start.DataFolder;
  RealtimeInterval_ = start.RealtimeInterval;
  meanInterval_ = start.readings.meanInterval;
  fillDayList();
  for (const std::string& line : start.readingsIssues)
    messages_.show(say::readingsSettingsIssue(parts_.programFolder + kReadingsSettingsFileName, line));
}

void SettingsForm::fillDayList() {
  // Always the program's own data folder, whatever the data folder setting says; by
  // name, so the days come in order, and without hidden files, as a listing shows them.
  const QDir data(q(parts_.programFolder + "data"));
  const QString prefix = Text5_->text();
  for (const QString& name : data.entryList(QDir::Files, QDir::Name)) {
    if (name.startsWith(prefix, Qt::CaseInsensitive) &&
        name.endsWith("csv", Qt::CaseInsensitive)) {
      Combo1_->addItem(name);
    }
  }
  Combo1_->setCurrentIndex(-1);
}

GraphForm* SettingsForm::Form1() const { return form1_.data(); }

GraphForm* SettingsForm::openGraphForm(bool activate) {
  if (!form1_) {
    form1_ = new GraphForm(messages_, clock_, this);
    form1_->setAttribute(Qt::WA_DeleteOnClose);
    form1_->setMeanInterval(meanInterval_);
  }
  // A scheduled run every few minutes must not take the keyboard from the operator.
  form1_->setAttribute(Qt::WA_ShowWithoutActivating, !activate);
  form1_->show();
  if (activate) {
    form1_->raise();
    form1_->activateWindow();
  }
  return form1_;
}

void SettingsForm::onMinuteTick() {
  if (shutDown_) return;
  const LocalDateTime now = clock_.now();
  const DayplotSettings c = controls();
  const auto problem = startTimeProblem(c);
  if (problem && *problem != startTimeSaid_) messages_.show(*problem);
  startTimeSaid_ = problem.value_or("");
  const auto runs = scheduler_.tick(now, scheduleOf(c, RealtimeInterval_));
  for (const DueRun& due : runs) runSequence(due);
  if (firstTick_) {
    if (const auto missed = missedYesterday(c, DataFolder_, now, queue_)) runSequence(*missed);
  }
  firstTick_ = false;
  uploads_.retryDue(now);
  watchUploads();
  timer1_.start(MinuteScheduler::untilNextMinute(clock_.now()));
}

void SettingsForm::runSequence(const DueRun& due) {
  const DayplotSettings now = controls();
  if (due.kind == RunKind::Month) {
    if (const auto month = parseMonth(due.TargetDay)) runPeriod(now, *month, false);
    return;
  }
  GraphForm* form = openGraphForm(false);
  TargetDay_ = due.TargetDay;
  form->drawDayGraph(now, DataFolder_, TargetDay_);
  form->close();
  if (now.Check5 == 1) startUpload(now);
}

void SettingsForm::startUpload(const DayplotSettings& now) {
  const std::string file = dayGraphJpegPath(SettingsUploadSource(now), DataFolder_, TargetDay_,
                                            clock_.now().yyyymmdd());
  startFileUpload(now, file, parts_.programFolder, launcher_, messages_, uploads_);
  watchUploads();
}

void SettingsForm::watchUploads() {
  if (!uploads_.empty() && !uploadTimer_.isActive()) uploadTimer_.start();
}

void SettingsForm::pollUploads() {
  for (const UploadOutcome& outcome : uploads_.collect(clock_.now())) {
    uploadStatus_->setText(QCoreApplication::translate("dayplot", "最後のFTP転送: %1")
                               .arg(q(uploadOutcomeText(outcome))));
    if (!outcome.succeeded) askAboutCertificate(outcome);
  }
  if (uploads_.empty()) uploadTimer_.stop();
}

void SettingsForm::askAboutCertificate(const UploadOutcome& outcome) {
  const std::string lead = kFingerprintLead;
  const size_t at = outcome.reason.find(lead);
  if (at == std::string::npos) return;
  const std::string shown = outcome.reason.substr(at + lead.size(), 95);
  const auto print = normalFingerprint(shown);
  if (!print || std::find(certificatesAsked_.begin(), certificatesAsked_.end(), *print) !=
                    certificatesAsked_.end()) {
    return;
  }
  certificatesAsked_.push_back(*print);
  const std::string failure = outcome.reason.substr(0, at);
  const CertificateAnswer answer = parts_.dialogs.trustCertificate(q(failure), q(shown));
  if (answer == CertificateAnswer::Refuse) return;
  const std::string settingsPath = publishSettingsPath(parts_.programFolder);
  std::optional<std::string> error;
  if (answer == CertificateAnswer::TrustAlways) {
    PublishSettings settings = readPublishSettings(settingsPath).value;
    settings.trustedFingerprints.insert(*print);
    error = writePublishSettings(settingsPath, settings);
  } else {
    error = faultText(trustOncePath(settingsPath),
                      writeTextFile(trustOncePath(settingsPath), *print, /*ownerOnly=*/true));
  }
  if (error) {
    messages_.show(say::trustNotSaved(*error));
    return;
  }
  uploads_.retry(outcome.file);
  watchUploads();
}

void SettingsForm::runManually() {
  const DayplotSettings now = controls();
  GraphForm* form = openGraphForm(true);
  // Taken as typed: a month without its leading zero names a day file that is not there.
  TargetDay_ = now.Text7 + now.Text8 + now.Text9;
  form->drawDayGraph(now, DataFolder_, TargetDay_);
  if (now.Check5 == 1) startUpload(now);
}

void SettingsForm::onPeriod(PeriodKind kind) {
  const DayplotSettings now = controls();
  const std::string text = kind == PeriodKind::Month ? now.Text7 + now.Text8 : now.Text7;
  const auto period = kind == PeriodKind::Month ? parseMonth(text) : parseYear(text);
  if (!period) {
    messages_.show(kind == PeriodKind::Month ? say::badMonthArgument(text) : say::badYearArgument(text));
    return;
  }
  runPeriod(now, *period, true);
}

void SettingsForm::runPeriod(const DayplotSettings& now, const Period& period, bool show) {
  GraphForm* form = openGraphForm(show);
  form->drawPeriodGraph(now, DataFolder_, period);
  if (!show) form->close();
  if (now.Check5 == 1) {
    startFileUpload(now, periodGraphJpegPath(now, DataFolder_, period), parts_.programFolder,
                    launcher_, messages_, uploads_);
    watchUploads();
  }
}

void SettingsForm::sendNotice() {
  startFileUpload(controls(), noticeImagePath(controls(), parts_.programFolder),
                  parts_.programFolder, launcher_, messages_, uploads_);
  watchUploads();
}

void SettingsForm::chooseDataFolder() {
  const FolderDialogRequest request = dataFolderDialog(parts_.programFolder);
  // A cancel counts as the initial file name: the program's own data folder.
  const QString path = parts_.dialogs.saveFile(request).value_or(request.initialPath);
  Text2_->setText(q(savableText(path.toStdString())));
  const std::string folder = deriveFolder(path.toStdString());
  parts_.dialogs.showFolder(q(folder));
  DataFolder_ = folder;
}

void SettingsForm::showListedDay(int index) {
  const DateBoxes boxes = dateBoxesFromEntry(Combo1_->itemText(index));
  Text7_->setText(boxes.year);
  Text8_->setText(boxes.month);
  Text9_->setText(boxes.day);
}

std::optional<std::string> SettingsForm::shutdown() {
  timer1_.stop();
  uploads_.stop(clock_.now());
  const std::string path = settingsFilePath(parts_.programFolder);
  if (const auto fault = saveSettingsFile(path, controls()))
    return say::fileNotWritten(path, *fault);
  std::error_code ec;
  std::filesystem::remove(ftpScriptPath(parts_.programFolder), ec);
  shutDown_ = true;
  return std::nullopt;
}

void SettingsForm::closeEvent(QCloseEvent* event) {
  if (!shutDown_) {
    if (const auto error = shutdown()) {
      const QString message =
          QCoreApplication::translate("dayplot",
                                      "設定ファイルを保存できませんでした。\n%1\n保存せずに終了しますか？")
              .arg(q(*error));
      if (!parts_.dialogs.closeUnsaved(message)) {
        timer1_.start(MinuteScheduler::untilNextMinute(clock_.now()));
        event->ignore();
        return;
      }
      // Closing all the same: the script still goes, it holds the password in clear.
      std::error_code ec;
      std::filesystem::remove(ftpScriptPath(parts_.programFolder), ec);
      shutDown_ = true;
    }
  }
  if (form1_) form1_->close();
  if (messages_.box()) messages_.box()->close();
  event->accept();
}

}  // namespace radmon
