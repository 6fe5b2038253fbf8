#include "collect_messages.h"

#include <initializer_list>
#include <iterator>
#include <utility>

#include "ui_translator.h"

namespace radmon::collect_messages {
namespace {

// `source` in the interface's language, %1, %2 ... filled in order.
std::string say(const char* source, std::initializer_list<std::string> args = {}) {
  std::string text = uiText("collect", source);
  int n = 1;
  for (const auto& a : args) {
    const std::string mark = "%" + std::to_string(n++);
    if (const auto at = text.find(mark); at != std::string::npos) text.replace(at, mark.size(), a);
  }
  return text;
}

}  // namespace

const ProgramOptions& options() {
  static const ProgramOptions declared{
      .program = "radmon-collect",
      .summary = QT_TRANSLATE_NOOP(
          "Options", "MQTT ブローカーから測定局の記録を集め、局ごとの日ごとのファイルに書きます"),
      .description = QT_TRANSLATE_NOOP(
          "Options",
          "接頭辞/<局名>/state の記録を フォルダ/<局名>/data/μSVHData<日付>.csv に時刻の順に\n"
          "書きます。欠けた記録は局に再送を頼み、--give-up 秒待っても届かなければ報告します。\n"
          "mqtts:// では --ca-file がなければシステムの証明書で確かめます。SIGINT / SIGTERM で"
          "終わります。"),
      .modes = {{nullptr, QT_TRANSLATE_NOOP("Options", "記録を集めます")}},
      .options =
          {{.name = "--mqtt",
            .value = "URL",
            .help = QT_TRANSLATE_NOOP(
                "Options", "ブローカーと接頭辞: mqtt[s]://[USER[:PASSWORD]@]HOST[:PORT]/PREFIX"),
            .requiredIn = kAllModes},
           {.name = "--out",
            .value = "DIR",
            .help = QT_TRANSLATE_NOOP("Options", "局ごとのフォルダを作るフォルダ"),
            .requiredIn = kAllModes},
           {.name = "--ca-file",
            .value = "FILE",
            .help = QT_TRANSLATE_NOOP("Options", "mqtts:// で信頼する CA 証明書")},
           {.name = "--idle",
            .value = "SECONDS",
            .help = QT_TRANSLATE_NOOP("Options",
                                      "記録が来ず欠けもないままこの秒数が過ぎたら終わります")},
           {.name = "--instance",
            .value = "NAME",
            .help = QT_TRANSLATE_NOOP(
                "Options",
                "ブローカーでのこのコレクターの名前 (既定: ホスト名とフォルダに保存した ID)")},
           {.name = "--group",
            .value = "NAME",
            .help = QT_TRANSLATE_NOOP("Options",
                                      "同じグループの複数のコレクターで局の記録を分担します "
                                      "($share/グループ/...)")},
           {.name = "--give-up",
            .value = "SECONDS",
            .help = QT_TRANSLATE_NOOP("Options", "欠けた記録の再送を待つ秒数 (既定 600)")},
           radmon::kMessagesLanguageOption},
      .files = {{"DIR/<station>/data/μSVHData<yyyymmdd>.csv",
                 QT_TRANSLATE_NOOP("Options", "局ごとの日ごとの記録")},
                {"DIR/radmon-collect.log", QT_TRANSLATE_NOOP("Options", "コレクターのログ")},
                {"DIR/radmon-collect.id",
                 QT_TRANSLATE_NOOP("Options", "ブローカーでの名前に使う、保存した ID")}},
      .environment = {radmon::kMqttPasswordVariable, radmon::kLanguageVariables},
      .exitStatus = QT_TRANSLATE_NOOP("Options", "0 終了、1 開始できない、2 引数の誤り"),
  };
  return declared;
}

std::string usage() {
  std::string text = programUsage(options());
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

std::string badAddress(MqttAddressError error) {
  static constexpr const char* kTexts[] = {
      QT_TRANSLATE_NOOP("collect", "アドレスは mqtt:// か mqtts:// で始めてください"),
      QT_TRANSLATE_NOOP("collect", "アドレスにホスト名がありません"),
      QT_TRANSLATE_NOOP("collect", "アドレスのポート番号が正しくありません"),
      QT_TRANSLATE_NOOP("collect", "アドレスにトピックの接頭辞がありません (+ と # は使えません)")};
  static_assert(std::size(kTexts) == std::to_underlying(MqttAddressError::Prefix) + 1);
  return say(kTexts[std::to_underlying(error)]);
}

std::string badArgument(const std::string& argument) {
  return say(QT_TRANSLATE_NOOP("collect", "不明な引数: %1"), {argument});
}

std::string collected(Collected outcome, const std::string& topic, const std::string& detail) {
  switch (outcome) {
    case Collected::BadStation:
      return say(QT_TRANSLATE_NOOP("collect", "局名をフォルダ名にできません: %1"), {topic});
    case Collected::BadMessage:
      return say(QT_TRANSLATE_NOOP("collect", "記録として読めないメッセージです: %1"), {topic});
    case Collected::WriteFailed:
      return say(QT_TRANSLATE_NOOP("collect", "記録を書き込めません (%1): %2"), {topic, detail});
    default:
      return {};
  }
}

std::string connected(const std::string& address) {
  return say(QT_TRANSLATE_NOOP("collect", "ブローカーに接続しました: %1"), {address});
}
std::string connectionLost() {
  return say(QT_TRANSLATE_NOOP("collect", "ブローカーとの接続が切れました。再接続します"));
}
std::string linkError(const std::string& detail) {
  return say(QT_TRANSLATE_NOOP("collect",
                               "ブローカーとの通信に失敗しました (証明書を確認してください): %1"),
             {detail});
}
std::string refused(const std::string& reason) {
  return say(QT_TRANSLATE_NOOP(
                 "collect",
                 "ブローカーが接続を拒否しました (ユーザー名とパスワードを確認してください): %1"),
             {reason});
}
std::string cannotStart(const std::string& reason) {
  return say(QT_TRANSLATE_NOOP("collect", "開始できません: %1"), {reason});
}
std::string summary(long written, size_t stillMissing) {
  std::string text =
      say(QT_TRANSLATE_NOOP("collect", "書き込んだ記録: %1"), {std::to_string(written)});
  if (stillMissing > 0)
    text += say(QT_TRANSLATE_NOOP("collect", "、再送を待っていた欠け: %1 か所"),
                {std::to_string(stillMissing)});
  return text;
}

std::string asking(const MissingSpan& s) {
  return say(
      QT_TRANSLATE_NOOP("collect", "局 %1 の記録 %2 ～ %3 が欠けています。局に再送を頼みます"),
      {s.station, s.firstText, s.lastText});
}

std::string missing(const MissingSpan& s) {
  return say(QT_TRANSLATE_NOOP("collect",
                               "局 %1 の記録 %2 ～ %3 は再送を頼んでも届きません。欠けたままです"),
             {s.station, s.firstText, s.lastText});
}

std::string instance(const std::string& clientId) {
  return say(QT_TRANSLATE_NOOP("collect", "ブローカーでの名前 (クライアント ID): %1"), {clientId});
}

std::string logNotWritten(const std::string& path) {
  return say(QT_TRANSLATE_NOOP("collect", "ログファイルに書き込めません: %1"), {path});
}

}  // namespace radmon::collect_messages
