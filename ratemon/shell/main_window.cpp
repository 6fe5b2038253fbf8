#include "main_window.h"

#include <QCloseEvent>

namespace radmon {
namespace {

constexpr int kRow = 28;      // pixels between rows of the upper half
constexpr int kBoxHeight = 22;

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
  setObjectName("Form1");
  setWindowTitle(QString::fromUtf8(kCaption));
  setFixedSize(kClientWidth, kClientHeight);

  // Readings, left column.
  const int lx = 8, lw = 120, bx = 130, bw = 86;
  label("Label1", "経過時間(Sec)", lx, 10, lw);
  textBox(Box::Text1, "Text1", "0", bx, 10, bw);
  label("Label2", "総カウント数", lx, 10 + kRow, lw);
  textBox(Box::Text2, "Text2", "0", bx, 10 + kRow, bw);
  label("Label6", "CPM", lx, 10 + 2 * kRow, lw);
  textBox(Box::Text6, "Text6", "0", bx, 10 + 2 * kRow, bw);
  label("Label9", "シーベルト(μSV/h)", lx, 12 + 3 * kRow, lw);
  QLineEdit* dose = textBox(Box::Text8, "Text8", "0", bx, 10 + 3 * kRow, bw);
  dose->setFixedHeight(28);
  QFont bold = dose->font();
  // The figures in a face that has a real bold (the Japanese fonts here have none).
  bold.setFamilies({QStringLiteral("DejaVu Sans"), bold.family()});
  bold.setBold(true);
  bold.setPointSize(12);
  dose->setFont(bold);
  dose->setStyleSheet("QLineEdit#Text8 { background-color: rgb(255, 0, 0); }");
  label("Label7", "GM菅γ線感度", lx, 16 + 4 * kRow, lw);
  textBox(Box::Text7, "Text7", "", bx, 16 + 4 * kRow, bw);
  label("Label8", "cps/mR/hr", bx, 16 + 5 * kRow - 4, bw);
  label("Label12", "BG補正 cpm", lx, 12 + 6 * kRow, lw);
  textBox(Box::Text12, "Text12", "0", bx, 12 + 6 * kRow, bw);

  // Measuring settings, right column, with start, stop and test under them.
  const int rx = 236, rw = 116, rbx = 356, rbw = 86;
  label("Label3", "しきい値　80～20", rx, 10, rw);
  textBox(Box::Text3, "Text3", "50", rbx, 10, rbw);
  label("Label4", "不感帯 0～10", rx, 10 + kRow, rw);
  textBox(Box::Text4, "Text4", "3", rbx, 10 + kRow, rbw);
  label("Label5", "分解能　15～5", rx, 10 + 2 * kRow, rw);
  textBox(Box::Text5, "Text5", "10", rbx, 10 + 2 * kRow, rbw);
  cmdRec_ = button("cmdRec", "開始", rx, 104, 100, 34);
  cmdStop_ = button("cmdStop", "停止", rx + 106, 104, 100, 34);
  checkBox(Tick::Check1, "Check1", "テスト", rx, 148, 120);

  // Line1: 120..6600 twips across at 3120 twips.
  auto* line = new QFrame(this);
  line->setObjectName("Line1");
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Plain);
  line->setGeometry(8, 207, 432, 2);

  // Alarms, record file and graph below the line.
  checkBox(Tick::Check2, "Check2", "第一段警報上限値", 8, 218, 136);
  textBox(Box::Text9, "Text9", "0.27", 146, 218, 70);
  label("Label10", "μSV/h", 220, 218, 50);
  commands_[2] = button("Command2", "停止", 272, 216, 56, 26);
  checkBox(Tick::Check3, "Check3", "第二段警報上限値", 8, 246, 136);
  textBox(Box::Text10, "Text10", "2.7", 146, 246, 70);
  label("Label11", "μSV/h", 220, 246, 50);
  commands_[3] = button("Command3", "停止", 272, 244, 56, 26);
  commands_[4] = button("Command4", "データロガー", 340, 216, 104, 54);
  checkBox(Tick::Check4, "Check4", "データ収集(CSV)", 8, 278, 136)->setChecked(true);
  checkBox(Tick::Check5, "Check5", "リアルタイムグラフ表示", 160, 278, 180);
  commands_[1] = button("Command1", "保存先", 8, 308, 64, 26);
  textBox(Box::Text11, "Text11", "μSVHData_nnnntthh.csv", 78, 310, 366);
}

QLabel* MainWindow::label(const char* name, const QString& caption, int x, int y, int w) {
  auto* l = new QLabel(caption, this);
  l->setObjectName(name);
  l->setGeometry(x, y, w, kBoxHeight);
  return l;
}

QLineEdit* MainWindow::textBox(Box b, const char* name, const QString& text, int x, int y,
                               int w) {
  auto* e = new QLineEdit(text, this);
  e->setObjectName(name);
  e->setGeometry(x, y, w, kBoxHeight);
  boxes_[b] = e;
  return e;
}

QCheckBox* MainWindow::checkBox(Tick t, const char* name, const QString& caption, int x, int y,
                                int w) {
  auto* c = new QCheckBox(caption, this);
  c->setObjectName(name);
  c->setGeometry(x, y, w, kBoxHeight);
  ticks_[t] = c;
  return c;
}

QPushButton* MainWindow::button(const char* name, const QString& caption, int x, int y, int w,
                                int h) {
  auto* b = new QPushButton(caption, this);
  b->setObjectName(name);
  b->setGeometry(x, y, w, h);
  return b;
}

std::string MainWindow::text(Box b) const { return boxes_.at(b)->text().toStdString(); }

void MainWindow::setText(Box b, const std::string& text) {
  boxes_.at(b)->setText(QString::fromStdString(text));
}

bool MainWindow::checked(Tick t) const { return ticks_.at(t)->isChecked(); }

void MainWindow::report(const std::string& message) {
  if (!messageBox_) {
    messageBox_ = new QMessageBox(QMessageBox::Information, windowTitle(), {}, QMessageBox::Ok,
                                  this);
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
