#include "sound_status.h"

#include <QCoreApplication>

namespace radmon {

SoundStatus::SoundStatus(QWidget* window, SoundOutput& chime)
    : QObject(window), chime_(chime), line_(new QLabel(window)), silence_(new QPushButton(window)) {
  // Under テスト, in the place of the readings' interval, which means nothing while the
  // sound path is at fault; shown only then.
  line_->setObjectName("soundStatus");
  line_->setGeometry(236, 172, 148, 34);
  line_->setWordWrap(true);
  line_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QFont small = line_->font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  line_->setFont(small);
  silence_->setObjectName("chimeOff");
  silence_->setText(QCoreApplication::translate("ratemon", "消音"));
  silence_->setGeometry(388, 174, 56, 26);
  silence_->hide();
  connect(silence_.data(), &QPushButton::clicked, this, &SoundStatus::silence);
}

void SoundStatus::show(const SoundEvent& event, const std::string& headline,
                       const std::string& text, bool faulty) {
  line_->setText(QString::fromStdString(headline));
  line_->setToolTip(QString::fromStdString(text));
  line_->setStyleSheet(faulty ? "color: #b00000;" : "color: #006000;");
  line_->setVisible(faulty);
  if (beginsFault(event.kind) && !silenced_ && !chiming_) {
    chime_.playLoop(kChimeFile);
    chiming_ = true;
  }
  if (!faulty) {
    if (chiming_) chime_.stop();
    chiming_ = false;
    silenced_ = false;
  }
  // Once silenced it stays, pressed in vain, while the fault lasts: hiding it would hand
  // the focus to the next box, where the next key typed would replace a setting.
  silence_->setVisible(chiming_ || silenced_);
}

void SoundStatus::clear() {
  line_->clear();
  if (chiming_) chime_.stop();
  chiming_ = false;
  silenced_ = false;
  silence_->hide();
}

void SoundStatus::silence() {
  if (chiming_) chime_.stop();
  chiming_ = false;
  silenced_ = true;
}

}  // namespace radmon
