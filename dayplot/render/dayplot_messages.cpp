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

QString tr(const char* text) { return QCoreApplication::translate("dayplot", text); }

std::string out(const QString& text) { return text.toStdString(); }

}  // namespace

std::string graphFailed(std::string_view detail) {
  if (detail.empty()) return out(tr("グラフを作成できませんでした"));
  return out(tr("グラフを作成できませんでした: %1").arg(q(detail)));
}

std::string badScale() {
  return out(tr("縦軸最大スケール(μSV/h)には0より大きい数値を入力してください"));
}

std::string noDayFile() { return out(tr("ファイルがありません")); }

std::string skippedLines(std::string_view dayFile, int count) {
  return out(tr("%1 の読めない %2 行を読み飛ばしました").arg(q(dayFile), QString::number(count)));
}

std::string imageNotWritten(bool jpeg, std::string_view path, std::string_view reason) {
  const QString text = jpeg ? tr("JPEGファイルを書き込めません: %1") : tr("BMPファイルを書き込めません: %1");
  return out(text.arg(q(path)) + (reason.empty() ? QString() : " (" + q(reason) + ")"));
}

std::string scriptNotWritten(std::string_view writeError) {
  return out(tr("FTP転送を行えません。スクリプトファイルを書き込めませんでした。\n%1")
                 .arg(q(writeError)));
}

std::string uploadNotStarted(std::string_view detail) {
  return out(tr("FTP転送を開始できません: %1").arg(q(detail)));
}

std::string clientNotStarted(std::string_view program, int error) {
  return out(tr("FTPクライアントを起動できません: %1 (%2)")
                 .arg(q(program), QString::fromLocal8Bit(std::strerror(error))));
}

std::string badDayArgument(std::string_view text) {
  return out(tr("日付はyyyymmddの8桁で指定してください: %1").arg(q(text)));
}

std::string processingFailed(std::string_view detail) {
  return out(tr("処理中にエラーが発生しました: %1").arg(q(detail)));
}

std::string nothingScheduled(std::string_view settingsFile) {
  return out(tr("当日データリアルタイム処理も昨日分自動処理も選ばれていないため、何も処理しません"
                " (%1)")
                 .arg(q(settingsFile)));
}

std::string started(int todayPeriod, bool yesterday, std::string_view hour,
                    std::string_view minute, bool upload, std::string_view dataFolder) {
  QStringList plan;
  if (todayPeriod > 0) plan << tr("当日分を%1分毎に処理").arg(todayPeriod);
  if (yesterday) plan << tr("昨日分を%1時%2分に処理").arg(q(hour), q(minute));
  return out(tr("開始しました: %1%2。データフォルダ: %3")
                 .arg(plan.join(tr("、")), upload ? tr("、FTP転送あり") : QString(),
                      q(dataFolder)));
}

std::string processingDay(bool today, std::string_view day) {
  return out((today ? tr("当日分 %1 を処理します") : tr("昨日分 %1 を処理します")).arg(q(day)));
}

std::string scriptNotRemoved(std::string_view reason) {
  return out(tr("FTPスクリプトファイルを削除できません: %1").arg(q(reason)));
}

std::string finished() { return out(tr("終了しました")); }

}  // namespace say
}  // namespace radmon
