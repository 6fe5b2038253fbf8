#include "main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QVBoxLayout>
#include <QValidator>

#include "ratemon_messages.h"
#include "station_page.h"

namespace radmon {
namespace {

constexpr int kRow = 28;  // pixels between rows of the upper half
constexpr int kBoxHeight = 22;

// Names the widget and puts it at its place in the client area.
template <class W>
W* place(W* widget, const char* name, int x, int y, int w, int h = kBoxHeight) {
  widget->setObjectName(name);
  widget->setGeometry(x, y, w, h);
  return widget;
}

// A saved box refuses, as it is typed or pasted, what ratemon.ini's quoted field cannot
// carry (the window says so), rather than the file dropping it when it is written.
class CarriedText final : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    return input.contains(u'"') || input.contains(u'\r') || input.contains(u'\n') ? Invalid
                                                                                  : Acceptable;
  }
};

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
  setObjectName("Form1");
  setWindowTitle(QCoreApplication::translate("ratemon", kCaption));
  setFixedSize(kClientWidth, kClientHeight);
  auto label = [this](const char* name, const char* caption, int x, int y, int w) {
    place(new QLabel(QCoreApplication::translate("ratemon", caption), this), name, x, y, w);
  };
  auto textBox = [this](Box b, int x, int y, int w) {
    QLineEdit* box = boxes_[b] =
        place(new QLineEdit(QString::fromUtf8(control(b).initial), this), control(b).name, x, y, w);
    if (control(b).iniField != kNotSaved) {
      box->setValidator(new CarriedText(box));
      connect(box, &QLineEdit::inputRejected, this,
              [this, b] { report(messages::boxRefused(b, ValueFault{EditRefusal::Quote})); });
      // The labels' ranges are guidance: a value outside is used, and told. A record
      // path typed that would not move the day files is told too (the box keeps it, as
      // the window always has).
      connect(box, &QLineEdit::editingFinished, this, [this, b, box] {
        const ValueRule rule = control(b).rule;
        if (rule.kind == ValueRule::RecordFile) {
          const auto checked = box->isModified() ? checkValue(rule, box->text().toStdString())
                                                 : std::expected<void, ValueFault>();
          if (!checked) report(messages::boxNotUsable(b, checked.error()));
          return;
        }
        if (rule.kind != ValueRule::Range && rule.kind != ValueRule::NotNegative) return;
        const auto checked = checkValue(rule, box->text().toStdString());
        if (!checked && checked.error().why != EditRefusal::NotANumber)
          report(messages::boxOutsideUsual(b, checked.error()));
      });
    }
    return box;
  };
  auto checkBox = [this](Tick t, int x, int y, int w) {
    ticks_[t] =
        place(new QCheckBox(QCoreApplication::translate("ratemon", control(t).caption), this),
              control(t).name, x, y, w);
    ticks_[t]->setChecked(control(t).initial);
  };
  auto button = [this](const char* name, const char* caption, int x, int y, int w, int h) {
    return place(new QPushButton(QCoreApplication::translate("ratemon", caption), this), name, x, y,
                 w, h);
  };

  // Readings, left column.
  const int lx = 8, lw = 120, bx = 130, bw = 86;
  label("Label1", control(Box::elapsed).caption, lx, 10, lw);
  textBox(Box::elapsed, bx, 10, bw);
  label("Label2", control(Box::total).caption, lx, 10 + kRow, lw);
  textBox(Box::total, bx, 10 + kRow, bw);
  label("Label6", control(Box::cpm).caption, lx, 10 + 2 * kRow, lw);
  textBox(Box::cpm, bx, 10 + 2 * kRow, bw);
  label("Label9", control(Box::doseRate).caption, lx, 12 + 3 * kRow, lw);
  QLineEdit* dose = textBox(Box::doseRate, bx, 10 + 3 * kRow, bw);
  dose->setFixedHeight(28);
  QFont bold = dose->font();
  // The figures in a face that has a real bold (the Japanese fonts here have none).
  bold.setFamilies({QStringLiteral("DejaVu Sans"), bold.family()});
  bold.setBold(true);
  bold.setPointSize(12);
  dose->setFont(bold);
  dose->setStyleSheet("QLineEdit#Text8 { background-color: rgb(255, 0, 0); }");
  label("Label7", control(Box::sensitivity).caption, lx, 16 + 4 * kRow, lw);
  textBox(Box::sensitivity, bx, 16 + 4 * kRow, bw);
  label("Label8", "cps/mR/hr", bx, 16 + 5 * kRow - 4, bw);
  // Publishing over MQTT, in the free corner left of the sensitivity's unit; its state
  // in a few words in a smaller face.
  mqttButton_ = button("mqttButton", "MQTT", lx, 16 + 5 * kRow - 5, 44, 22);
  mqttState_ = place(new QLabel(this), "mqttState", lx + 48, 16 + 5 * kRow - 6, 74, 28);
  QFont smallState = mqttState_->font();
  smallState.setPointSize(8);
  mqttState_->setFont(smallState);
  mqttState_->setWordWrap(true);
  mqttState_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  label("Label12", control(Box::background).caption, lx, 12 + 6 * kRow, lw);
  textBox(Box::background, bx, 12 + 6 * kRow, bw);

  // Measuring settings, right column, with start, stop and test under them.
  const int rx = 236, rw = 116, rbx = 356, rbw = 86;
  label("Label3", QT_TRANSLATE_NOOP("ratemon", "しきい値　80～20"), rx, 10, rw);
  textBox(Box::threshold, rbx, 10, rbw);
  label("Label4", QT_TRANSLATE_NOOP("ratemon", "不感帯 0～10"), rx, 10 + kRow, rw);
  textBox(Box::deadBand, rbx, 10 + kRow, rbw);
  label("Label5", QT_TRANSLATE_NOOP("ratemon", "分解能　15～5"), rx, 10 + 2 * kRow, rw);
  textBox(Box::resolution, rbx, 10 + 2 * kRow, rbw);
  cmdRec_ = button("cmdRec", QT_TRANSLATE_NOOP("ratemon", "開始"), rx, 104, 100, 34);
  cmdStop_ = button("cmdStop", QT_TRANSLATE_NOOP("ratemon", "停止"), rx + 106, 104, 100, 34);
  checkBox(Tick::pulseTest, rx, 148, 120);
  commands_[Command::pulseIntervals] =
      button("cmdIntervals", messages::counting(messages::Counting::intervalsButton).c_str(),
             rx + 124, 146, 84, 24);
  // The readings' interval in the free space under the test, in a smaller face.
  intervalLabel_ = place(new QLabel(this), "LabelInterval", rx, 171, 208, 35);
  QFont small = intervalLabel_->font();
  small.setPointSize(8);
  intervalLabel_->setFont(small);
  intervalLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  // Line1: 120..6600 twips across at 3120 twips.
  auto* line = place(new QFrame(this), "Line1", 8, 207, 432, 2);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Plain);

  // Alarms, record file and graph below the line.
  checkBox(Tick::alarm1, 8, 218, 136);
  textBox(Box::limit1, 146, 218, 70);
  label("Label10", QT_TRANSLATE_NOOP("ratemon", "μSV/h"), 220, 218, 50);
  commands_[Command::silenceStage1] =
      button("Command2", QT_TRANSLATE_NOOP("ratemon", "停止"), 272, 216, 56, 26);
  checkBox(Tick::alarm2, 8, 246, 136);
  textBox(Box::limit2, 146, 246, 70);
  label("Label11", QT_TRANSLATE_NOOP("ratemon", "μSV/h"), 220, 246, 50);
  commands_[Command::silenceStage2] =
      button("Command3", QT_TRANSLATE_NOOP("ratemon", "停止"), 272, 244, 56, 26);
  commands_[Command::startDayplot] =
      button("Command4", QT_TRANSLATE_NOOP("ratemon", "データロガー"), 340, 216, 104, 54);
  checkBox(Tick::recordFile, 8, 278, 136);
  checkBox(Tick::graph, 160, 278, 180);
  commands_[Command::chooseFolder] =
      button("Command1", QT_TRANSLATE_NOOP("ratemon", "保存先"), 8, 308, 64, 26);
  textBox(Box::recordPath, 78, 310, 366);
}

void MainWindow::showStateBanners(const std::vector<LiveBanner>& banners) {
  if (!banners_) {
    banners_ = new QWidget(this);
    banners_->setObjectName("stateBanners");
    auto* layout = new QVBoxLayout(banners_);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->setSpacing(2);
  }
  for (QLabel* old : stateBanners()) delete old;
  for (const LiveBanner& b : banners) {
    auto* label = new QLabel(banners_);
    label->setObjectName(QString::fromStdString("banner-" + b.kind));
    label->setWordWrap(true);
    label->setTextFormat(Qt::RichText);
    label->setText(QStringLiteral("<b>%1</b><br>%2")
                       .arg(QString::fromStdString(b.title).toHtmlEscaped(),
                            QString::fromStdString(b.text).toHtmlEscaped()));
    label->setStyleSheet(QStringLiteral("background-color:%1;color:#ffffff;padding:3px;")
                             .arg(web::bannerColour(QString::fromStdString(b.kind))));
    banners_->layout()->addWidget(label);
    label->show();
  }
  // The controls move down by the banners' height, and back up when they are gone.
  QLayout* layout = banners_->layout();
  const int height = banners.empty()               ? 0
                     : layout->hasHeightForWidth() ? layout->heightForWidth(kClientWidth)
                                                   : layout->sizeHint().height();
  const int shift = height - (this->height() - kClientHeight);
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (child != banners_ && !child->isWindow()) child->move(child->x(), child->y() + shift);
  banners_->setGeometry(0, 0, kClientWidth, height);
  banners_->setVisible(height > 0);
  setFixedSize(kClientWidth, kClientHeight + height);
}

QList<QLabel*> MainWindow::stateBanners() const {
  return banners_ ? banners_->findChildren<QLabel*>(Qt::FindDirectChildrenOnly) : QList<QLabel*>{};
}

void MainWindow::showReadingInterval(const std::string& interval, bool alert) {
  QStringList lines = QString::fromStdString(interval).toHtmlEscaped().split('\n');
  if (alert) lines.front() = "<span style=\"color:#d00000\">" + lines.front() + "</span>";
  intervalLabel_->setText(lines.join("<br>"));
}

void MainWindow::showLinkState(const std::string& brief, const std::string& detail, bool alert) {
  const QString text = QString::fromStdString(brief);
  // 8 points where the words fit in the two lines, smaller where they do not.
  QFont font = mqttState_->font();
  for (int points = 8; points >= 6; --points) {
    font.setPointSize(points);
    const QRect need = QFontMetrics(font).boundingRect(mqttState_->contentsRect(),
                                                       Qt::TextWordWrap | Qt::AlignLeft, text);
    if (need.width() <= mqttState_->width() && need.height() <= mqttState_->height()) break;
  }
  mqttState_->setFont(font);
  mqttState_->setText(text);
  mqttState_->setToolTip(QString::fromStdString(detail));
  mqttState_->setStyleSheet(alert ? "color: #d00000;" : "");
}

std::string MainWindow::text(Box b) const { return boxes_.at(b)->text().toStdString(); }

void MainWindow::setText(Box b, const std::string& text) {
  boxes_.at(b)->setText(QString::fromStdString(text));
}

bool MainWindow::checked(Tick t) const { return ticks_.at(t)->isChecked(); }

void MainWindow::report(const std::string& message) {
  if (!messageBox_) {
    messageBox_ =
        new QMessageBox(QMessageBox::Information, windowTitle(), {}, QMessageBox::Ok, this);
    messageBox_->setObjectName("MessageBox");
    messageBox_->setModal(false);
    messageBox_->setAttribute(Qt::WA_DeleteOnClose);
  }
  messageBox_->setText(QString::fromStdString(message));
  messageBox_->show();
  messageBox_->raise();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  emit closing();
  event->accept();
}

}  // namespace radmon
