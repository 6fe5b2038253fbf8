#include "ui_translator.h"

#include <QCoreApplication>
#include <QTranslator>
#include <cstdio>

namespace radmon {
namespace {

// Written once by main() before any Qt application exists, read once as it starts.
UiLanguage chosenLanguage = UiLanguage::Japanese;

void installChosenLanguage() {
  if (chosenLanguage != UiLanguage::English) return;
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (translator->load(QStringLiteral(":/i18n/radmon_en.qm"))) {
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

}  // namespace radmon
