// What a user reads in a window, gathered for the English tests: every caption, title,
// button, list entry and hint of the window and its children, with the texts that hold
// the operator's data (text boxes) left out; and the same for the whole screen.
// Header-only, shared by both programs' tests.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace radmon::testing {

// Hiragana, katakana (full and half width), CJK ideographs and the full-width forms.
inline bool hasJapanese(const QString& text) {
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if ((u >= 0x3000 && u <= 0x30FF) || (u >= 0x3400 && u <= 0x9FFF) ||
        (u >= 0xFF00 && u <= 0xFFEF))
      return true;
  }
  return false;
}

// "objectName: text" for each Japanese text the user can read in `root`.
inline std::vector<std::string> japaneseTexts(const QWidget& root) {
  std::vector<std::string> found;
  auto check = [&](const QWidget& w, const QString& text) {
    if (hasJapanese(text)) found.push_back((w.objectName() + ": " + text).toStdString());
  };
  QList<const QWidget*> widgets{&root};
  for (const QWidget* w : root.findChildren<QWidget*>()) widgets << w;
  for (const QWidget* w : widgets) {
    check(*w, w->windowTitle());
    check(*w, w->toolTip());
    check(*w, w->accessibleName());
    if (auto* label = qobject_cast<const QLabel*>(w)) check(*w, label->text());
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) check(*w, button->text());
    if (auto* group = qobject_cast<const QGroupBox*>(w)) check(*w, group->title());
    if (auto* edit = qobject_cast<const QLineEdit*>(w)) check(*w, edit->placeholderText());
    if (auto* combo = qobject_cast<const QComboBox*>(w); combo && !combo->isEditable()) {
      for (int i = 0; i < combo->count(); ++i) check(*w, combo->itemText(i));
    }
  }
  return found;
}

// Fails the test for each of `texts` that holds Japanese.
inline void expectNoJapanese(const std::vector<std::string>& texts) {
  for (const auto& text : texts) EXPECT_FALSE(hasJapanese(QString::fromStdString(text))) << text;
}

// The same for every window on the screen, message boxes included.
inline std::vector<std::string> japaneseOnScreen() {
  std::vector<std::string> found;
  for (const QWidget* top : QApplication::topLevelWidgets()) {
    if (!top->isVisible()) continue;
    for (auto& text : japaneseTexts(*top)) found.push_back(text);
  }
  return found;
}

}  // namespace radmon::testing
