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
#include <QVBoxLayout>
#include <QValidator>
#include "certificate_question.h"
#include "dayplot_messages.h"
#include "graph_form.h"
#include "publish_dialog.h"
#include "publish_settings.h"
#include "text_files.h"
#include "ui_translator.h"

namespace radmon {

namespace {

using S = DayplotSettings;

QString q(const std::string& text) { return QString::fromStdString(text); }

// A dialog that a test left empty is the real one.
template <typename Dialog, typename Real>
void orReal(Dialog& dialog, Real real) {
  if (!dialog) dialog = std::move(real);
}

FormDialogs withRealDialogs(FormDialogs dialogs, QWidget* parent) {
  orReal(dialogs.saveFile, [parent](const FolderDialogRequest& request) -> std::optional<QString> {
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);  // an existing folder is still required
    dialog.setNameFilters(request.filters.split('\n'));
    // The day files end in .csv: show every file rather than the text files.
    dialog.selectNameFilter(request.filters.split('\n').last());
    dialog.selectFile(request.initialPath);
    for (;;) {
      if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
      const QString chosen = dialog.selectedFiles().first();
      // Only a folder that exists will do; the file itself is never written.
      if (QFileInfo(chosen).absoluteDir().exists()) return chosen;
      QMessageBox::warning(
          parent, kProgramTitle,
          dayplot::tr("フォルダがありません: %1").arg(QFileInfo(chosen).absolutePath()));
    }
  });
  orReal(dialogs.publishSettings,
         [parent](const std::string& path) { PublishDialog(path, parent).exec(); });
  orReal(dialogs.trustCertificate, [parent](const QString& failure, const QString& fingerprint) {
    return askAboutCertificate(parent, failure, fingerprint);
  });
  orReal(dialogs.showFolder, [parent](const QString& folder) {
    QMessageBox::information(parent, kProgramTitle, folder);
  });
  orReal(dialogs.closeUnsaved, [parent](const QString& message) {
    return QMessageBox::warning(parent, kProgramTitle, message, QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
  });
  return dialogs;
}

// A saved box takes a text that the settings file can carry and its setting's rule
// allows. A character that never belongs there is refused as it is typed (or pasted); a
// text that may still grow into a good one (an empty name, a server half typed) waits,
// and when the box is left it goes back to the last text it took. Either way the
// operator is told why; nothing is altered behind their back.
class RuleValidator final : public QValidator {
 public:
  RuleValidator(ValueRule rule, std::function<void(const ValueFault&)> refused, QObject* parent)
      : QValidator(parent), rule_(rule), refused_(std::move(refused)) {}

  State validate(QString& input, int&) const override {
    const auto checked = check(input);
    if (checked) return Acceptable;
    if (checked.error().why == EditRefusal::Empty || checked.error().why == EditRefusal::NotServer)
      return Intermediate;
    lastRefused_ = checked.error();
    return Invalid;
  }
  // Only an operator's leaving the box or pressing Enter fixes a text up.
  void fixup(QString& input) const override {
    if (const auto checked = check(input); !checked) {
      refused_(checked.error());
      input = taken_;
    }
  }
  // A key or a paste refused (QLineEdit::inputRejected).
  void inputRejected() const {
    if (lastRefused_) refused_(*lastRefused_);
  }
  // The box's text, kept as the last taken when the rule allows it.
  void offer(const QString& text) {
    if (check(text)) taken_ = text;
  }
  const QString& taken() const { return taken_; }

 private:
  std::expected<void, ValueFault> check(const QString& text) const {
    const std::string s = text.toStdString();
    if (s.find('"') != std::string::npos) return std::unexpected(ValueFault{EditRefusal::Quote});
    if (s.find_first_of("\r\n") != std::string::npos)
      return std::unexpected(ValueFault{EditRefusal::LineBreak});
    return checkValue(rule_, s);
  }

  ValueRule rule_;
  std::function<void(const ValueFault&)> refused_;
  QString taken_;
  mutable std::optional<ValueFault> lastRefused_;
};

}  // namespace

FolderDialogRequest dataFolderDialog(const std::string& programFolder) {
  return {dayplot::tr("収集データ保存フォルダ"),
          q(dataFolder(programFolder) + "μSVHData_nnnntthh.csv"),
          dayplot::tr("テキスト ファイル (*.txt *.log)\nすべてのファイル (*)")};
}

DateBoxes dateBoxesFromEntry(const QString& entry) {
  const QString s = entry.mid(8, 8);
  return {s.mid(0, 4), s.mid(4, 2), s.mid(6, 2)};
}

SettingsForm::SettingsForm(FormParts parts, QWidget* parent)
    : QWidget(parent),
      parts_(std::move(parts)),
      session_({parts_.programFolder, parts_.clock, parts_.launcher, &report_,
                [this] {
                  DayplotStart now = start_;
                  now.controls = controls();
                  return now;
                },
                /*keepQueue=*/true, /*asksOperator=*/true}) {
  parts_.dialogs = withRealDialogs(std::move(parts_.dialogs), this);
  build();
  startSequence();

  timer1_.setObjectName("Timer1");
  timer1_.setSingleShot(true);
  timer1_.setTimerType(Qt::PreciseTimer);
  connect(&timer1_, &QTimer::timeout, this, &SettingsForm::onMinuteTick);
  timer1_.start(session_.untilNextTick());

  uploadTimer_.setInterval(250);
  connect(&uploadTimer_, &QTimer::timeout, this, &SettingsForm::pollUploads);
}

SettingsForm::~SettingsForm() = default;

void SettingsForm::build() {
  setObjectName("Form2");
  setWindowTitle(dayplot::tr("データロガー"));

  auto label = [this](const char* name, const QString& text) {
    auto* l = new QLabel(text, this);
    l->setObjectName(name);
    return l;
  };
  auto button = [this](const char* name, const QString& text) {
    auto* b = new QPushButton(text, this);
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
  auto row = [](std::initializer_list<QWidget*> widgets) {
    auto* h = new QHBoxLayout;
    for (QWidget* w : widgets) h->addWidget(w);
    h->addStretch(1);
    return h;
  };

  // Every setting's control from the control table, named as the table has it.
  const DayplotSettings defaults;
  periods_ = new QButtonGroup(this);
  periods_->setExclusive(true);
  auto* periods = new QHBoxLayout;
  for (const DayplotControl& c : kDayplotControls) {
    if (c.text) {
      auto* e = new QLineEdit(q(defaults.*c.text), this);
      e->setObjectName(c.name);
      // Not the date boxes: any text goes.
      if (savedInFile(c)) {
        auto* rule = new RuleValidator(
            c.rule, [this](const ValueFault& fault) { refuse(fault); }, e);
        rule->offer(e->text());
        connect(e, &QLineEdit::textChanged, e, [rule](const QString& t) { rule->offer(t); });
        connect(e, &QLineEdit::inputRejected, e, [rule] { rule->inputRejected(); });
        e->setValidator(rule);
      }
    } else if (c.tick) {
      auto* t = new QCheckBox(this);
      t->setObjectName(c.name);
      t->setChecked(defaults.*c.tick == 1);
      if (c.tick == &S::yesterdayAt) t->setText(dayplot::tr("昨日分自動処理"));
    } else {
      const int16_t period = kRealtimePeriods[static_cast<size_t>(c.option - 1)];
      auto* option = new QRadioButton(dayplot::tr("%1分毎").arg(period), this);
      option->setObjectName(c.name);
      option->setChecked(defaults.option(c.option));
      periods_->addButton(option, c.option);
      periods->addWidget(option);
      connect(option, &QRadioButton::clicked, this,
              [this, period] { start_.RealtimeInterval = period; });
    }
  }
  periods->addStretch(1);
  auto* notice = button("Command1", dayplot::tr("停止中案内転送"));
  auto* chooseFolder = button("Command2", dayplot::tr("保存先"));
  auto* byHand = button("Command3", dayplot::tr("手動処理"));
  auto* month = button("cmdMonth", dayplot::tr("月グラフ"));
  auto* year = button("cmdYear", dayplot::tr("年グラフ"));
  auto* publishing = button("Command4", dayplot::tr("転送の詳細設定"));
  dayList_ = new QComboBox(this);
  dayList_->setObjectName("Combo1");
  dayList_->setEditable(true);
  dayList_->setInsertPolicy(QComboBox::NoInsert);
  dayList_->setMinimumWidth(260);
  for (auto field : {&S::scaleMaximum, &S::atMinute, &S::atHour, &S::manualMonth, &S::manualDay})
    box(field)->setMaximumWidth(40);
  box(&S::manualYear)->setMaximumWidth(60);
  uploadStatus_ = label("Label24", dayplot::tr("最後のFTP転送: まだありません"));
  uploadStatus_->setWordWrap(true);
  refusalNote_ = label("RefusalNote", QString());
  refusalNote_->setWordWrap(true);
  refusalNote_->setStyleSheet("color: #b00000");
  refusalNote_->hide();

  auto* top = new QGridLayout;
  top->addWidget(label("Label1", dayplot::tr("測定場所")), 0, 0);
  top->addWidget(box(&S::place), 0, 1, 1, 2);
  top->addWidget(label("Label6", dayplot::tr("測定管")), 1, 0);
  top->addWidget(box(&S::tube), 1, 1, 1, 2);
  top->addWidget(label("Label2", dayplot::tr("データフォルダ")), 2, 0);
  top->addWidget(chooseFolder, 2, 1);
  top->addWidget(box(&S::dataPath), 2, 2);
  top->addWidget(label("Label5", dayplot::tr("入力データファイル名")), 3, 0);
  top->addWidget(box(&S::dataPrefix), 3, 1, 1, 2);
  top->addWidget(label("Label3", dayplot::tr("出力グラフファイル名")), 4, 0);
  top->addWidget(box(&S::graphName), 4, 1, 1, 2);
  top->addWidget(label("Label8", dayplot::tr("ファイル形式")), 5, 0);
  top->addLayout(
      row({tick(&S::jpeg), label("Label7", "JPG"), tick(&S::bmp), label("Label9", "BMP")}), 5, 1, 1,
      2);
  top->addWidget(label("Label4", dayplot::tr("縦軸最大スケール(μSV/h)")), 6, 0);
  top->addLayout(row({box(&S::scaleMaximum)}), 6, 1, 1, 2);
  top->setColumnStretch(2, 1);

  auto* middle = new QGridLayout;
  middle->addLayout(row({tick(&S::upload), label("Label22", dayplot::tr("FTP転送を行う"))}), 0, 0,
                    1, 2);
  middle->addWidget(label("Label19", dayplot::tr("サーバ名")), 1, 0);
  middle->addWidget(box(&S::server), 1, 1);
  middle->addWidget(label("Label23", dayplot::tr("ｻﾌﾞﾌｫﾙﾀﾞ名  ( 例  xxxx\\yyyyy\\zzzz)")), 2, 0);
  middle->addWidget(box(&S::subFolder), 2, 1);
  middle->addWidget(label("Label20", dayplot::tr("ユーザ名")), 3, 0);
  middle->addWidget(box(&S::user), 3, 1);
  middle->addWidget(label("Label21", dayplot::tr("ﾊﾟｽﾜｰﾄﾞ")), 4, 0);
  middle->addWidget(box(&S::password), 4, 1);
  middle->addLayout(row({notice, publishing}), 5, 0, 1, 2);
  middle->setColumnStretch(1, 1);

  auto* bottom = new QVBoxLayout;
  bottom->addLayout(row({byHand, box(&S::manualYear), label("Label10", dayplot::tr("年")),
                         box(&S::manualMonth), label("Label11", dayplot::tr("月")),
                         box(&S::manualDay), label("Label12", dayplot::tr("日"))}));
  bottom->addLayout(
      row({month, year, label("LabelPeriod", dayplot::tr("(年 月の欄の月または年)"))}));
  bottom->addLayout(row({label("Label18", dayplot::tr("ﾌｧｲﾙ選択")), dayList_}));
  bottom->addLayout(
      row({tick(&S::todayEvery), label("Label13", dayplot::tr("当日データリアルタイム処理"))}));
  bottom->addLayout(periods);
  bottom->addLayout(
      row({tick(&S::yesterdayAt), box(&S::atHour), label("Label15", dayplot::tr("時")),
           box(&S::atMinute), label("Label16", dayplot::tr("分")),
           label("Label14", dayplot::tr("起動"))}));
  bottom->addWidget(label("Label17", dayplot::tr("※月日時間は、全て２桁で入力してください")));

  auto* all = new QVBoxLayout(this);
  all->addLayout(top);
  all->addWidget(line("Line1"));
  all->addLayout(middle);
  all->addWidget(line("Line2"));
  all->addLayout(bottom);
  all->addWidget(refusalNote_);
  all->addWidget(uploadStatus_);
  resize(520, sizeHint().height());

  connect(notice, &QPushButton::clicked, this, [this] {
    session_.sendNotice();
    watchUploads();
  });
  connect(publishing, &QPushButton::clicked, this,
          [this] { parts_.dialogs.publishSettings(publishSettingsPath(parts_.programFolder)); });
  connect(chooseFolder, &QPushButton::clicked, this, &SettingsForm::chooseDataFolder);
  connect(byHand, &QPushButton::clicked, this, &SettingsForm::runManually);
  connect(month, &QPushButton::clicked, this, [this] { onPeriod(PeriodKind::Month); });
  connect(year, &QPushButton::clicked, this, [this] { onPeriod(PeriodKind::Year); });
  connect(dayList_, &QComboBox::activated, this, &SettingsForm::showListedDay);
}

QLineEdit* SettingsForm::box(std::string DayplotSettings::*field) const {
  return findChild<QLineEdit*>(controlOf(field).name);
}

QCheckBox* SettingsForm::tick(int DayplotSettings::*field) const {
  return findChild<QCheckBox*>(controlOf(field).name);
}

DayplotSettings SettingsForm::controls() const {
  DayplotSettings c;
  for (const DayplotControl& control : kDayplotControls) {
    if (control.text) {
      // A saved box that the operator is typing into counts with the text it last took.
      const QLineEdit* e = box(control.text);
      const auto* rule = dynamic_cast<const RuleValidator*>(e->validator());
      const bool waiting = rule && e->isModified() && !e->hasAcceptableInput();
      c.*control.text = (waiting ? rule->taken() : e->text()).toStdString();
    } else if (control.tick)
      c.*control.tick = tick(control.tick)->isChecked() ? 1 : 0;
    else
      c.every[static_cast<size_t>(control.option - 1)] =
          periods_->button(control.option)->isChecked();
  }
  return c;
}

void SettingsForm::setControls(const DayplotSettings& c) {
  // A short settings file can leave no option selected, which an exclusive group
  // would not allow to be set.
  periods_->setExclusive(false);
  for (const DayplotControl& control : kDayplotControls) {
    // The boxes that are saved lose what the file cannot carry.
    if (control.text)
      box(control.text)
          ->setText(q(savedInFile(control) ? savableText(c.*control.text) : c.*control.text));
    else if (control.tick)
      tick(control.tick)->setChecked(c.*control.tick == 1);
    else
      periods_->button(control.option)->setChecked(c.option(control.option));
  }
  periods_->setExclusive(true);
}

void SettingsForm::refuse(const ValueFault& fault) {
  refusalNote_->setText(dayplot::tr("入力を取り消しました: %1").arg(q(valueFaultText(fault))));
  refusalNote_->show();
}

void SettingsForm::startSequence() {
  start_ = readStartSettings(parts_.programFolder, *parts_.clock, messages_);
  setControls(start_.controls);
  fillDayList();
}

void SettingsForm::fillDayList() {
  // Always the program's own data folder, whatever the data folder setting says; by
  // name, so the days come in order, and without hidden files, as a listing shows them.
  const QDir data(q(dataFolder(parts_.programFolder)));
  const QString prefix = box(&S::dataPrefix)->text();
  for (const QString& name : data.entryList(QDir::Files, QDir::Name)) {
    if (name.startsWith(prefix, Qt::CaseInsensitive) && name.endsWith("csv", Qt::CaseInsensitive)) {
      dayList_->addItem(name);
    }
  }
  dayList_->setCurrentIndex(-1);
}

GraphForm* SettingsForm::Form1() const { return form1_.data(); }

GraphForm* SettingsForm::openGraphForm(bool activate) {
  if (!form1_) {
    form1_ = new GraphForm(this);
    form1_->setAttribute(Qt::WA_DeleteOnClose);
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

void SettingsForm::Report::drawn(const QImage& picture, bool byHand) {
  GraphForm* form = form_.openGraphForm(byHand);
  form->showPicture(picture);
  if (!byHand) form->close();
}

void SettingsForm::Report::uploadEnded(const UploadOutcome& outcome) {
  form_.uploadStatus_->setText(dayplot::tr("最後のFTP転送: %1").arg(q(uploadOutcomeText(outcome))));
}

CertificateAnswer SettingsForm::Report::trustCertificate(const std::string& failure,
                                                         const std::string& fingerprint) {
  return form_.parts_.dialogs.trustCertificate(q(failure), q(fingerprint));
}

void SettingsForm::onMinuteTick() {
  if (shutDown_) return;
  session_.tick();
  watchUploads();
  timer1_.start(session_.untilNextTick());
}

void SettingsForm::watchUploads() {
  if (session_.uploadsRunning() && !uploadTimer_.isActive()) uploadTimer_.start();
}

void SettingsForm::pollUploads() {
  session_.pollUploads();
  if (session_.uploadsRunning())
    watchUploads();
  else
    uploadTimer_.stop();
}

void SettingsForm::runManually() {
  const DayplotSettings now = controls();
  // Taken as typed: a month without its leading zero names a day file that is not there.
  session_.runDay(now.manualYear + now.manualMonth + now.manualDay, true);
  watchUploads();
}

void SettingsForm::onPeriod(PeriodKind kind) {
  const DayplotSettings now = controls();
  const auto period =
      periodOf(kind, kind == PeriodKind::Month ? now.manualYear + now.manualMonth : now.manualYear,
               messages_);
  if (period) session_.runPeriod(*period, true);
  watchUploads();
}

void SettingsForm::chooseDataFolder() {
  const FolderDialogRequest request = dataFolderDialog(parts_.programFolder);
  // A cancel counts as the initial file name: the program's own data folder.
  const QString path = parts_.dialogs.saveFile(request).value_or(request.initialPath);
  box(&S::dataPath)->setText(q(savableText(path.toStdString())));
  const std::string folder = deriveFolder(path.toStdString());
  parts_.dialogs.showFolder(q(folder));
  start_.DataFolder = folder;
}

void SettingsForm::showListedDay(int index) {
  const DateBoxes boxes = dateBoxesFromEntry(dayList_->itemText(index));
  box(&S::manualYear)->setText(boxes.year);
  box(&S::manualMonth)->setText(boxes.month);
  box(&S::manualDay)->setText(boxes.day);
}

std::expected<void, std::string> SettingsForm::shutdown() {
  timer1_.stop();
  session_.stopUploads();
  const std::string path = settingsFilePath(parts_.programFolder);
  if (const auto saved = saveSettingsFile(path, controls()); !saved)
    return std::unexpected(say::fileNotWritten(path, saved.error()));
  session_.removeScript();
  shutDown_ = true;
  return {};
}

void SettingsForm::closeEvent(QCloseEvent* event) {
  if (!shutDown_) {
    if (const auto done = shutdown(); !done) {
      const QString message =
          dayplot::tr("設定ファイルを保存できませんでした。\n%1\n保存せずに終了しますか？")
              .arg(q(done.error()));
      if (!parts_.dialogs.closeUnsaved(message)) {
        timer1_.start(session_.untilNextTick());
        event->ignore();
        return;
      }
      // Closing all the same: the script still goes, it holds the password in clear.
      session_.removeScript();
      shutDown_ = true;
    }
  }
  if (form1_) form1_->close();
  if (messages_.box()) messages_.box()->close();
  event->accept();
}

}  // namespace radmon
