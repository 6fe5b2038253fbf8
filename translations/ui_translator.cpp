#include "ui_translator.h"

#include <QCoreApplication>
#include <QTranslator>
#include <cstdio>

namespace radmon {
namespace {

// Written once by main() before any Qt application exists, read once as it starts.
UiLanguage chosenLanguage = UiLanguage::Japanese;

const QString kEnglish = QStringLiteral(":/i18n/radmon_en.qm");

void installChosenLanguage() {
  if (chosenLanguage != UiLanguage::English) return;
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (translator->load(kEnglish)) {
    QCoreApplication::installTranslator(translator);
  } else {
    // Only a broken build gets here; the operator still gets a working program.
    std::fputs("English texts are missing from this build; the interface stays Japanese.\n",
               stderr);
  }
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(installChosenLanguage)

void useUiLanguage(UiLanguage language) { chosenLanguage = language; }
UiLanguage uiLanguage() { return chosenLanguage; }

std::string uiText(const char* context, const char* source) {
  if (chosenLanguage == UiLanguage::English) {
    static QTranslator english;
    static const bool loaded = english.load(kEnglish);
    const QString text = loaded ? english.translate(context, source) : QString();
    if (!text.isEmpty()) return text.toStdString();
  }
  return source;
}

std::string optionProblemText(StartOptions::Problem problem) {
  switch (problem) {
    case StartOptions::Problem::StationWithoutFolder:
      return uiText(
          "StartOptions",
          QT_TRANSLATE_NOOP("StartOptions", "--station には測定局フォルダを指定してください。"));
    case StartOptions::Problem::UnknownLanguage:
      return uiText("StartOptions",
                    QT_TRANSLATE_NOOP("StartOptions", "--lang には ja か en を指定してください。"));
    case StartOptions::Problem::None:
      break;
  }
  return {};
}

std::string stationInUseText(const std::string& folder) {
  return QString::fromStdString(
             uiText("StartOptions", QT_TRANSLATE_NOOP("StartOptions", "測定局フォルダ: %1")))
      .arg(QString::fromStdString(folder))
      .toStdString();
}

std::string stationFailedText(const std::string& folder, const std::string& reason) {
  return QString::fromStdString(
             uiText("StartOptions",
                    QT_TRANSLATE_NOOP("StartOptions", "測定局フォルダ %1 を作成できません: %2")))
      .arg(QString::fromStdString(folder), QString::fromStdString(reason))
      .toStdString();
}

namespace {

std::string startText(const char* source, std::initializer_list<std::string> args) {
  QString text = QString::fromStdString(uiText("StartOptions", source));
  for (const auto& a : args) text = text.arg(QString::fromStdString(a));
  return text.toStdString();
}

}  // namespace

std::string settingChangedText(const SettingChanged& change) {
  return startText(QT_TRANSLATE_NOOP("StartOptions", "%1 を「%2」から「%3」に変更しました。"),
                   {change.key, change.before, change.after});
}

std::string settingsUnchangedText() {
  return startText(QT_TRANSLATE_NOOP("StartOptions", "変更した設定はありません。"), {});
}

std::string editRefusedText(const EditRefused& refused) {
  switch (refused.why) {
    case EditRefusal::UnknownKey:
      return startText(QT_TRANSLATE_NOOP("StartOptions",
                                         "%1 という設定はありません (--show-settings "
                                         "で一覧できます)。設定は変更していません。"),
                       {refused.key});
    case EditRefusal::LineBreak:
      return startText(
          QT_TRANSLATE_NOOP("StartOptions", "%1 の値に改行は使えません。設定は変更していません。"),
          {refused.key});
    case EditRefusal::BadValue:
      break;
  }
  return startText(
      QT_TRANSLATE_NOOP("StartOptions", "%1 に「%2」は使えません。設定は変更していません。"),
      {refused.key, refused.value});
}

std::string malformedEditText(const std::string& argument) {
  return startText(QT_TRANSLATE_NOOP("StartOptions", "--set にはキー=値を指定してください: 「%1」"),
                   {argument});
}

}  // namespace radmon
