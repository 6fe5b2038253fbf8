#include "ui_translator.h"

#include <QCoreApplication>
#include <QTranslator>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <utility>

#include "number_text.h"

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
  static constexpr const char* kTexts[] = {
      nullptr,
      QT_TRANSLATE_NOOP("StartOptions", "--station には測定局フォルダを指定してください。"),
      QT_TRANSLATE_NOOP("StartOptions", "--lang には ja か en を指定してください。")};
  static_assert(std::size(kTexts) ==
                std::to_underlying(StartOptions::Problem::UnknownLanguage) + 1);
  const char* text = kTexts[std::to_underlying(problem)];
  return text ? uiText("StartOptions", text) : std::string();
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

std::string stationFaultText(const StationRefusal& refusal) {
  const QString folder = QString::fromStdString(refusal.folder);
  switch (refusal.fault) {
    case StationFault::Missing:
      return QString::fromStdString(
                 uiText("StartOptions",
                        QT_TRANSLATE_NOOP("StartOptions",
                                          "測定局フォルダ %1 がありません。作成するには "
                                          "--create を付けてください。")))
          .arg(folder)
          .toStdString();
    case StationFault::NotWritable:
      return QString::fromStdString(
                 uiText(
                     "StartOptions",
                     QT_TRANSLATE_NOOP("StartOptions", "測定局フォルダ %1 に書き込めません: %2")))
          .arg(folder, QString::fromStdString(refusal.reason))
          .toStdString();
    case StationFault::CannotCreate:
      break;
  }
  return stationFailedText(refusal.folder, refusal.reason);
}

std::string programUsage(const ProgramOptions& program) {
  return usageText(program, uiText("Options", QT_TRANSLATE_NOOP("Options", "使い方:")));
}

std::string optionFaultText(const ProgramOptions& program, const OptionCheck& check) {
  QString sentence;
  if (check.fault == OptionFault::MissingValue) {
    sentence =
        QString::fromStdString(
            uiText("Options", QT_TRANSLATE_NOOP("Options", "%1 には値 %2 を指定してください")))
            .arg(QString::fromStdString(check.argument),
                 QString::fromUtf8(check.option && check.option->value ? check.option->value : ""));
  } else {
    sentence =
        QString::fromStdString(uiText("Options", QT_TRANSLATE_NOOP("Options", "不明な引数: %1")))
            .arg(QString::fromStdString(check.argument));
  }
  return sentence.toStdString() + "\n" + programUsage(program);
}

std::optional<int> answerCommandLine(const ProgramOptions& program,
                                     const std::vector<std::string>& args, OptionCheck* read) {
  if (args.size() == 1 && args[0] == "--man") {
    useUiLanguage(UiLanguage::English);
    std::cout << manPage(program, uiText, "");
    return 0;
  }
  const OptionCheck check = checkOptions(program, args);
  if (check.help) {
    std::cout << helpText(program, uiText,
                          uiText("Options", QT_TRANSLATE_NOOP("Options", "使い方:")),
                          uiText("Options", QT_TRANSLATE_NOOP("Options", "オプション:")));
    std::cout.flush();
    return 0;
  }
  if (check.fault == OptionFault::None) {
    if (read) *read = check;
    return std::nullopt;
  }
  std::cerr << optionFaultText(program, check);
  std::cerr.flush();
  return 2;
}

std::optional<int> startCommandLine(const ProgramOptions& program, std::vector<std::string>& args,
                                    OptionCheck* check) {
  const std::vector<std::string> given(args.begin() + (args.empty() ? 0 : 1), args.end());
  bool languageMissing = false;
  const auto languageText = takeOption(args, "--lang", languageMissing);
  const auto language = chooseUiLanguage(languageText, processLocale());
  // A refused --lang is told in the locale's language.
  useUiLanguage(language.value_or(
      chooseUiLanguage(std::nullopt, processLocale()).value_or(UiLanguage::Japanese)));
  if (const auto answered = answerCommandLine(program, given, check)) return answered;
  if (language && !languageMissing) return std::nullopt;
  std::cerr << optionProblemText(StartOptions::Problem::UnknownLanguage) << "\n"
            << programUsage(program) << std::flush;
  return 2;
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

std::string valueFaultText(const ValueFault& fault) {
  static constexpr const char* kTexts[] = {
      QT_TRANSLATE_NOOP("StartOptions", "この値は使えません。"),  // UnknownKey
      QT_TRANSLATE_NOOP("StartOptions",
                        "この値は使えません。"),  // BadValue without its rule's words
      QT_TRANSLATE_NOOP("StartOptions", "値に改行は使えません。"),
      QT_TRANSLATE_NOOP("StartOptions",
                        "設定ファイルは値を「\"」で囲んで保存するため、値に「\"」"
                        "は使えません。"),
      QT_TRANSLATE_NOOP("StartOptions", "数を指定してください。"),
      QT_TRANSLATE_NOOP("StartOptions",
                        "画面の表示のとおり %1 から %2 までの数を指定してください。"),
      QT_TRANSLATE_NOOP("StartOptions", "0 以上の数を指定してください。"),
      QT_TRANSLATE_NOOP("StartOptions", "0 より大きい数を指定してください。"),
      QT_TRANSLATE_NOOP("StartOptions", "ファイルの名前になるため、空にはできません。"),
      QT_TRANSLATE_NOOP("StartOptions", "ファイルの名前になるため、「/」と「\\」は使えません。"),
      QT_TRANSLATE_NOOP("StartOptions",
                        "サーバーは host、host:ポート、ftp://host、ftps://host、"
                        "sftp://host のように指定してください。名前に空白は使えません。"),
      QT_TRANSLATE_NOOP("StartOptions",
                        "記録先は csv で終わるファイルの絶対パス (例: "
                        "/home/station/data/μSVHData_nnnntthh.csv) で指定してください。日ごとの"
                        "ファイルはそのフォルダに書かれ、ファイル名の部分は使われません。"),
      QT_TRANSLATE_NOOP("StartOptions", "フォルダ %1 がありません。先に作ってください。"),
      QT_TRANSLATE_NOOP("StartOptions", "1 (オン) か 0 (オフ) を指定してください。")};
  static_assert(std::size(kTexts) == std::to_underlying(EditRefusal::NotTick) + 1);
  const char* text = kTexts[std::to_underlying(fault.why)];
  if (fault.why == EditRefusal::OutOfRange)
    return startText(text, {shortestText(fault.low), shortestText(fault.high)});
  if (fault.why == EditRefusal::NoFolder) return startText(text, {fault.folder});
  if (fault.why == EditRefusal::BadValue && fault.says)
    return startText(QT_TRANSLATE_NOOP("StartOptions", "%1を指定してください。"),
                     {uiText("Options", fault.says)});
  return startText(text, {});
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
      if (refused.fault.says) break;  // told with the rule's words below
      return startText(
          QT_TRANSLATE_NOOP("StartOptions", "%1 に「%2」は使えません。設定は変更していません。"),
          {refused.key, refused.value});
    default:
      break;
  }
  ValueFault fault = refused.fault;
  fault.why = refused.why;
  // A secret's value is never shown, not even when it is refused.
  if (refused.value.empty())
    return startText(
        QT_TRANSLATE_NOOP("StartOptions", "%1 の値は使えません: %2 設定は変更していません。"),
        {refused.key, valueFaultText(fault)});
  return startText(
      QT_TRANSLATE_NOOP("StartOptions", "%1 に「%2」は使えません: %3 設定は変更していません。"),
      {refused.key, refused.value, valueFaultText(fault)});
}

std::string malformedEditText(const std::string& argument) {
  return startText(QT_TRANSLATE_NOOP("StartOptions", "--set にはキー=値を指定してください: 「%1」"),
                   {argument});
}

}  // namespace radmon
