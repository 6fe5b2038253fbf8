// The dayplot windows on an invented day, for screenshots and a look without a station:
//   dayplot_window_preview PROGRAM_FOLDER settings|graph|publish|trust SECONDS
// writes day files for yesterday (whole) and today (so far) into PROGRAM_FOLDER/data,
// opens the settings window and, in graph mode, processes yesterday by hand at a full
// scale of 0.2 μSv/h, in publish mode opens the publishing settings, in trust mode the
// question about an unknown certificate; it ends after SECONDS.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "certificate_question.h"
#include "day_record.h"
#include "graph_form.h"
#include "japanese_font.h"
#include "number_text.h"
#include "publish_dialog.h"
#include "settings_form.h"
#include "text_files.h"
#include "ui_translator.h"

namespace {

// A quiet background with a passing rain shower in the afternoon.
void writeDay(const std::string& folder, const radmon::LocalDateTime& today, int lastMinute) {
  std::filesystem::create_directories(radmon::dataFolder(folder));
  std::ofstream out(radmon::dataFolder(folder) + radmon::dayFileName(today.yyyymmdd()),
                    std::ios::binary);
  long total = 0;
  for (int m = 0; m < lastMinute; ++m) {
    const double shower = 0.06 * std::exp(-std::pow((m - 900) / 60.0, 2));
    const double noise = 0.012 * std::sin(m * 12.9898) * std::sin(m * 78.233);
    const double dose = 0.075 + shower + noise;
    const int cpm = static_cast<int>(dose * 300);
    total += cpm;
    char line[96];
    std::snprintf(line, sizeof line, "\"%s\",\"%02d:%02d\",%s,%d,%ld,%d\r\n",
                  today.slashDate().c_str(), m / 60, m % 60, radmon::fixedText(dose, 3).c_str(),
                  cpm, total, (m + 1) * 60);
    out << line;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs(
        "使い方: dayplot_window_preview PROGRAM_FOLDER settings|graph|publish|trust SECONDS\n",
        stderr);
    return 2;
  }
  std::string folder = argv[1];
  if (!folder.ends_with('/')) folder += '/';
  const std::string mode = argv[2];
  const int seconds = std::atoi(argv[3]);

  // The desktop's language, as the programs choose it without --lang.
  radmon::useUiLanguage(radmon::chooseUiLanguage(std::nullopt, radmon::processLocale())
                            .value_or(radmon::UiLanguage::Japanese));
  QApplication app(argc, argv);
  app.setFont(radmon::japaneseFont(9));
  radmon::SystemClock clock;
  radmon::SpawnLauncher launcher;
  const radmon::LocalDateTime now = clock.now();
  const radmon::LocalDateTime yesterday = now.previousDay();
  writeDay(folder, yesterday, 1440);
  writeDay(folder, now, now.hour * 60 + now.minute);

  radmon::FormParts parts;
  parts.programFolder = folder;
  parts.clock = &clock;
  parts.launcher = &launcher;
  radmon::SettingsForm form(std::move(parts));
  form.move(0, 0);
  radmon::DayplotSettings shown = form.controls();
  shown.todayEvery = 1;
  if (mode == "graph") {
    const std::string day = yesterday.yyyymmdd();
    shown.scaleMaximum = "0.2";
    shown.manualYear = day.substr(0, 4), shown.manualMonth = day.substr(4, 2),
    shown.manualDay = day.substr(6, 2);
  }
  form.setControls(shown);
  form.show();
  if (mode == "graph") {
    QTimer::singleShot(500, &form, [&form] {
      form.findChild<QPushButton*>("Command3")->click();
      if (radmon::GraphForm* form1 = form.Form1()) form1->move(0, 0);
    });
  }
  radmon::PublishDialog publish(radmon::publishSettingsPath(folder));
  if (mode == "trust") {
    form.hide();
    QTimer::singleShot(300, &app, [] {
      // ftpscript's own words for a self-signed certificate, in the desktop's language.
      const auto said = [](const char* source) {
        return QCoreApplication::translate("ftpscript", source);
      };
      const QString cause = said(
                                "サーバの証明書を信頼できません: %1。パスワードは送っていません。"
                                "信頼するには、転送の詳細設定に証明書ファイルか下の指紋を登録し"
                                "てください")
                                .arg(said("自己署名の証明書です"));
      radmon::askAboutCertificate(
          nullptr,
          said("失敗: 行 %1 %2: %3")
              .arg(QStringLiteral("1"), QStringLiteral("OPEN"),
                   said("接続とログイン: %1").arg(cause)),
          "57:E4:06:81:27:FC:65:D0:70:A0:16:AE:C9:72:F4:DD:0E:68:99:88:28:69:81:3B:66:BD:D9:43:"
          "50:A5:C9:59");
    });
  }
  if (mode == "publish") {
    form.hide();
    publish.move(0, 0);
    publish.show();
  }
  QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
  return app.exec();
}
