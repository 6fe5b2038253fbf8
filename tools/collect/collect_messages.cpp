#include "collect_messages.h"

namespace radmon::collect_messages {

std::string usage() {
  return "使い方: radmon-collect --mqtt mqtt://[ユーザー[:パスワード]@]ホスト[:ポート]/接頭辞 "
         "--out フォルダ [--ca-file CA証明書] [--idle 秒] [--instance 名前] [--group 名前] "
         "[--give-up 秒]\n"
         "  接頭辞/<局名>/state の記録を フォルダ/<局名>/data/μSVHData<日付>.csv に時刻の順に"
         "書きます。\n"
         "  欠けた記録は局に再送を頼み、--give-up 秒 (既定 600) 届かなければ報告します。\n"
         "  パスワードは環境変数 RADMON_MQTT_PASSWORD でも渡せます。mqtts:// では --ca-file が\n"
         "  なければシステムの証明書で確かめます。--idle: 記録が来ず 欠けもないまま この秒数で"
         "終わります。\n"
         "  --instance: ブローカーでのこのコレクターの名前 (既定: ホスト名と フォルダに保存した"
         "ID)。\n"
         "  --group: 同じグループの複数のコレクターで局の記録を分担します ($share/グループ/...)。";
}

std::string badAddress(MqttAddressError error) {
  switch (error) {
    case MqttAddressError::Scheme:
      return "アドレスは mqtt:// か mqtts:// で始めてください";
    case MqttAddressError::Host:
      return "アドレスにホスト名がありません";
    case MqttAddressError::Port:
      return "アドレスのポート番号が正しくありません";
    case MqttAddressError::Prefix:
      return "アドレスにトピックの接頭辞がありません (+ と # は使えません)";
  }
  return {};
}

std::string badArgument(const std::string& argument) { return "不明な引数: " + argument; }

std::string collected(Collected outcome, const std::string& topic, const std::string& detail) {
  switch (outcome) {
    case Collected::BadStation:
      return "局名をフォルダ名にできません: " + topic;
    case Collected::BadMessage:
      return "記録として読めないメッセージです: " + topic;
    case Collected::WriteFailed:
      return "記録を書き込めません (" + topic + "): " + detail;
    default:
      return {};
  }
}

std::string connected(const std::string& address) { return "ブローカーに接続しました: " + address; }
std::string connectionLost() { return "ブローカーとの接続が切れました。再接続します"; }
std::string linkError(const std::string& detail) {
  return "ブローカーとの通信に失敗しました (証明書を確認してください): " + detail;
}
std::string refused(const std::string& reason) {
  return "ブローカーが接続を拒否しました (ユーザー名とパスワードを確認してください): " + reason;
}
std::string cannotStart(const std::string& reason) { return "開始できません: " + reason; }
std::string summary(long written, size_t stillMissing) {
  std::string text = "書き込んだ記録: " + std::to_string(written);
  if (stillMissing > 0) text += "、再送を待っていた欠け: " + std::to_string(stillMissing) + " か所";
  return text;
}

std::string asking(const MissingSpan& s) {
  return "局 " + s.station + " の記録 " + s.firstText + " ～ " + s.lastText +
         " が欠けています。局に再送を頼みます";
}

std::string missing(const MissingSpan& s) {
  return "局 " + s.station + " の記録 " + s.firstText + " ～ " + s.lastText +
         " は再送を頼んでも届きません。欠けたままです";
}

std::string instance(const std::string& clientId) {
  return "ブローカーでの名前 (クライアント ID): " + clientId;
}

std::string logNotWritten(const std::string& path) {
  return "ログファイルに書き込めません: " + path;
}

}  // namespace radmon::collect_messages
