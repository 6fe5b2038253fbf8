#include "collect_messages.h"

namespace radmon::collect_messages {

std::string usage() {
  return "使い方: radmon-collect --mqtt mqtt://[ユーザー[:パスワード]@]ホスト[:ポート]/接頭辞 "
         "--out フォルダ [--ca-file CA証明書] [--idle 秒]\n"
         "  接頭辞/<局名>/state の記録を フォルダ/<局名>/data/μSVHData<日付>.csv に書きます。\n"
         "  パスワードは環境変数 RADMON_MQTT_PASSWORD でも渡せます。mqtts:// では --ca-file が\n"
         "  なければシステムの証明書で確かめます。--idle: 記録が来ないまま この秒数で終わります。";
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
std::string summary(long written) { return "書き込んだ記録: " + std::to_string(written); }

}  // namespace radmon::collect_messages
