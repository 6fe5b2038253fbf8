#include "command_line.h"

#include "number_text.h"

namespace radmon::ftp {
namespace {

// A quoted value may arrive with its quotes when no shell took them off
// (a process started with the Windows command line as it stands).
std::string unquote(std::string value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

bool hasPrefix(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

const ProgramOptions& ftpscriptOptions() {
  static const ProgramOptions options{
      .program = "ftpscript",
      .summary = QT_TRANSLATE_NOOP("Options", "dayplot が書く FTP コマンドスクリプトを実行します"),
      .description = QT_TRANSLATE_NOOP(
          "Options",
          "dayplot が転送のために書くコマンドスクリプト (open, user, cd, bin, ascii, put, mput,\n"
          "lcd, close, bye) を libcurl で実行します。サーバーにないフォルダは実行を終わらせ、\n"
          "不明なコマンドがあれば何も送りません。スクリプトは CP932 か UTF-8 です。"),
      .modes = {{nullptr, QT_TRANSLATE_NOOP("Options", "スクリプトを実行します")}},
      .options = {{.name = "-i",
                   .value = nullptr,
                   .help = QT_TRANSLATE_NOOP("Options", "受け付けますが何も変えません")},
                  {.name = "-v",
                   .value = nullptr,
                   .help = QT_TRANSLATE_NOOP("Options", "受け付けますが何も変えません")},
                  {.name = "-g",
                   .value = nullptr,
                   .help = QT_TRANSLATE_NOOP("Options", "受け付けますが何も変えません")},
                  {.name = "-d",
                   .value = nullptr,
                   .help =
                       QT_TRANSLATE_NOOP("Options", "libcurl の通信の記録を標準エラーに出します")},
                  {.name = "-n",
                   .value = nullptr,
                   .help = QT_TRANSLATE_NOOP("Options", "open の後でログインしません")},
                  {.name = "-k",
                   .value = nullptr,
                   .help = QT_TRANSLATE_NOOP(
                       "Options", "初めて見る SSH のホスト鍵を保存せず、指紋を示して拒否します")},
                  {.name = "-t:",
                   .value = "N",
                   .help = QT_TRANSLATE_NOOP(
                       "Options", "応答のないサーバーや止まった転送を待つ秒数 (既定 60)")},
                  {.name = "-p:",
                   .value = "FILE",
                   .help = QT_TRANSLATE_NOOP(
                       "Options", "測定局の公開の設定 (TLS、信頼する証明書、鍵ファイル)")},
                  kMessagesLanguageOption,
                  {.name = "-s:",
                   .value = "SCRIPT",
                   .help = QT_TRANSLATE_NOOP("Options",
                                             "実行するスクリプト (\"パス\" と引用符で囲めます)"),
                   .requiredIn = kAllModes}},
      .environment = {kLanguageVariables},
      .exitStatus = QT_TRANSLATE_NOOP(
          "Options",
          "0 すべて転送した、2 コマンドラインかスクリプトの誤り (何も送っていません)、\n"
          "ほかは最初の失敗の原因による"),
  };
  return options;
}

std::vector<std::string> unquotedArguments(const std::vector<std::string>& args) {
  std::vector<std::string> result;
  for (const auto& a : args) result.push_back(unquote(a));
  return result;
}

std::optional<std::string> languageArgument(const std::vector<std::string>& args) {
  std::optional<std::string> language;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string arg = unquote(args[i]);
    std::string value;
    if (arg == "--lang" && i + 1 < args.size())
      value = unquote(args[++i]);
    else if (hasPrefix(arg, "--lang="))
      value = arg.substr(7);
    if (value == "ja" || value == "en") language = value;
  }
  return language;
}

std::expected<CommandLine, ArgumentRefusal> parseCommandLine(const std::vector<std::string>& args) {
  const OptionCheck check = checkOptions(ftpscriptOptions(), unquotedArguments(args));
  auto refuse = [](ArgumentFault fault, std::string argument = {}) {
    return std::unexpected(ArgumentRefusal{fault, std::move(argument)});
  };
  // --lang is the one option whose value may stand apart.
  if (check.fault == OptionFault::MissingValue) return refuse(ArgumentFault::BadLanguage);
  if (check.fault == OptionFault::Unknown) return refuse(ArgumentFault::Unknown, check.argument);
  CommandLine line;
  for (const auto& [name, value] : check.given) {
    if (name == "--lang") {
      if (value != "ja" && value != "en") return refuse(ArgumentFault::BadLanguage, value);
      line.language = value;
    } else if (name == "-d") {
      line.verbose = true;
    } else if (name == "-n") {
      line.autoLogin = false;
    } else if (name == "-k") {
      line.askNewHostKeys = true;
    } else if (name == "-s:") {
      line.scriptPath = unquote(value);
    } else if (name == "-p:") {
      line.settingsPath = unquote(value);
    } else if (name == "-t:") {
      const auto seconds = readCount(value, 1, 9999);
      if (!seconds) return refuse(ArgumentFault::BadStallSeconds, name + value);
      line.stallSeconds = *seconds;
    }
  }
  if (line.scriptPath.empty()) return refuse(ArgumentFault::NoScript);
  return line;
}

}  // namespace radmon::ftp
