#include "dayplot_messages.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>

namespace radmon {

void StderrMessages::show(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  std::fflush(stderr);
}

namespace say {
namespace {

QString q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The translated text with %1, %2... replaced in one pass, so a path holding "%2"
// stays as it is.
template <typename... Parts>
std::string tr(const char* text, const Parts&... parts) {
  const QString translated = QCoreApplication::translate("dayplot", text);
  if constexpr (sizeof...(parts) == 0) return translated.toStdString();
  else return translated.arg(q(parts)...).toStdString();
}

}  // namespace

std::string graphFailed(std::string_view detail) {
  return detail.empty() ? tr("グラフを作成できませんでした")
                        : tr("グラフを作成できませんでした: %1", detail);
}
std::string badScale() { return tr("縦軸最大スケール(μSV/h)には0より大きい数値を入力してください"); }
std::string noDayFile() { return tr("ファイルがありません"); }
std::string skippedLines(std::string_view dayFile, int count) {
  return tr("%1 の読めない %2 行を読み飛ばしました", dayFile, std::to_string(count));
}
std::string imageNotWritten(bool jpeg, std::string_view path, std::string_view reason) {
  const std::string how = reason.empty() ? std::string() : " (" + std::string(reason) + ")";
  return jpeg ? tr("JPEGファイルを書き込めません: %1%2", path, how)
              : tr("BMPファイルを書き込めません: %1%2", path, how);
}
std::string fileNotWritten(std::string_view path, const WriteFault& fault) {
  return tr("ファイルに書き込めません: %1 (%2)", path, std::strerror(fault.error));
}
std::string scriptNotWritten(std::string_view path, const WriteFault& fault) {
  return tr("FTP転送を行えません。スクリプトファイルを書き込めませんでした。\n%1",
            fileNotWritten(path, fault));
}
std::string uploadNotStarted(std::string_view detail) {
  return tr("FTP転送を開始できません: %1", detail);
}
std::string clientNotStarted(std::string_view program, int error) {
  return tr("FTPクライアントを起動できません: %1 (%2)", program, std::strerror(error));
}
std::string badDayArgument(std::string_view text) {
  return tr("日付はyyyymmddの8桁で指定してください: %1", text);
}
std::string processingFailed(std::string_view detail) {
  return tr("処理中にエラーが発生しました: %1", detail);
}
std::string nothingScheduled(std::string_view settingsFile) {
  return tr("当日データリアルタイム処理も昨日分自動処理も選ばれていないため、何も処理しません (%1)",
            settingsFile);
}
std::string started(int todayPeriod, bool yesterday, std::string_view hour,
                    std::string_view minute, bool upload, std::string_view dataFolder) {
  std::string plan = todayPeriod > 0 ? tr("当日分を%1分毎に処理", std::to_string(todayPeriod)) : "";
  if (yesterday) {
    plan += (plan.empty() ? "" : tr("、")) + tr("昨日分を%1時%2分に処理", hour, minute);
  }
  return tr("開始しました: %1%2。データフォルダ: %3", plan, upload ? tr("、FTP転送あり") : "",
            dataFolder);
}
std::string processingDay(bool today, std::string_view day) {
  return today ? tr("当日分 %1 を処理します", day) : tr("昨日分 %1 を処理します", day);
}
std::string scriptNotRemoved(std::string_view reason) {
  return tr("FTPスクリプトファイルを削除できません: %1", reason);
}
std::string finished() { return tr("終了しました"); }

}  // namespace say
}  // namespace radmon
