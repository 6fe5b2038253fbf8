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

}  // namespace radmon
