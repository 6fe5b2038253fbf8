#include "dayplot_options.h"

#include "dayplot_setting_keys.h"

namespace radmon {

const ProgramOptions& dayplotOptions() {
  static const ProgramOptions options{
      .program = "dayplot",
      .summary =
          QT_TRANSLATE_NOOP("Options", "放射線モニタの日ごとのグラフを描き、FTP で公開します"),
      .description = QT_TRANSLATE_NOOP(
          "Options",
          "ratemon が書く日ごとのファイルを読み、一日の線量率を二つの半日のパネルに\n"
          "最大と平均とともに描き、グラフを JPEG や BMP で data フォルダに保存し、\n"
          "FTP 転送が有効なら ftpscript で JPEG を送ります。測定局フォルダは ratemon と同じ\n"
          "順に決まります。一つの測定局で動く dayplot は一つだけです。"),
      .modes = {{nullptr, QT_TRANSLATE_NOOP("Options", "設定画面を開きます")},
                {"--headless",
                 QT_TRANSLATE_NOOP("Options",
                                   "画面なしで dayplot.ini の設定どおりに定時処理します "
                                   "(SIGINT / SIGTERM で終了)")},
                {"--process", QT_TRANSLATE_NOOP("Options",
                                                "指定した日のグラフを描いて保存し、FTP "
                                                "転送が有効なら転送の終わりを待ちます")},
                {"--month",
                 QT_TRANSLATE_NOOP("Options", "指定した月の日ごとの平均と範囲のグラフを描きます")},
                {"--year",
                 QT_TRANSLATE_NOOP("Options", "指定した年の日ごとの平均と範囲のグラフを描きます")},
                {"--show-settings", QT_TRANSLATE_NOOP("Options", "設定を key=value で一覧します")},
                {"--set", QT_TRANSLATE_NOOP("Options", "設定を変更します (繰り返し可)")}},
      .options = {kStationOption,
                  kCreateOption,
                  {.name = "--lang",
                   .value = "ja|en",
                   .help = QT_TRANSLATE_NOOP(
                       "Options", "表示とグラフの文字の言語。書くファイルはどちらでも同じです")},
                  {.name = "--headless",
                   .value = nullptr,
                   .help = QT_TRANSLATE_NOOP("Options", "画面なしで定時処理します"),
                   .modes = modeBit(kDayplotHeadless),
                   .requiredIn = modeBit(kDayplotHeadless)},
                  {.name = "--process",
                   .value = "YYYYMMDD",
                   .help = QT_TRANSLATE_NOOP("Options", "その日を処理して終わります"),
                   .modes = modeBit(kDayplotProcess),
                   .requiredIn = modeBit(kDayplotProcess)},
                  {.name = "--month",
                   .value = "YYYYMM",
                   .help = QT_TRANSLATE_NOOP(
                       "Options", "その月を data/μSVHGraph_YYYYMM.jpg に描いて終わります"),
                   .modes = modeBit(kDayplotMonth),
                   .requiredIn = modeBit(kDayplotMonth)},
                  {.name = "--year",
                   .value = "YYYY",
                   .help = QT_TRANSLATE_NOOP("Options",
                                             "その年を data/μSVHGraph_YYYY.jpg に描いて終わります"),
                   .modes = modeBit(kDayplotYear),
                   .requiredIn = modeBit(kDayplotYear)},
                  showSettingsOption(kDayplotShowSettings, kDayplotSet),
                  setSettingOption(kDayplotShowSettings, kDayplotSet)},
      .files =
          {{"dayplot.ini",
            QT_TRANSLATE_NOOP("Options", "設定 (FTP のパスワードを含むため所有者のみ読めます)")},
           {"dayplot_publish.ini", QT_TRANSLATE_NOOP("Options", "公開の設定 (publish.*)")},
           {"dayplot_readings.ini", QT_TRANSLATE_NOOP("Options", "読み取りの設定 (readings.*)")},
           {"~Dayplot.tmp",
            QT_TRANSLATE_NOOP("Options", "ロックファイル。画面か --headless の間保持します")},
           {"oldtemp.sys",
            QT_TRANSLATE_NOOP("Options", "転送の FTP スクリプト。dayplot の終わりに消します")},
           {"data/μSVHData<yyyymmdd>.csv", QT_TRANSLATE_NOOP("Options", "日ごとの記録 (読みます)")},
           {"data/μSVHGraph_<yyyymmdd>.jpg", QT_TRANSLATE_NOOP("Options", "日ごとのグラフ")}},
      .environment = {kStationVariable, kLanguageVariables},
      .exitStatus = QT_TRANSLATE_NOOP("Options",
                                      "--process、--month、--year: 0 終了、1 "
                                      "日ごとのファイルがない、2 ほかの失敗、3 転送の失敗"),
      .settingsHelp = QT_TRANSLATE_NOOP(
          "Options",
          "--set key=value で変更し、--show-settings で一覧します。値は画面と同じ検査を通り、\n"
          "拒否された値はキーと理由を示し、どのファイルも変えません。動いているサービスは\n"
          "次の起動から使います (systemctl --user restart dayplot)。upload_folder に空白が\n"
          "あれば FTP スクリプトでは引用符で囲みます。language (ja、en、空はロケール) は\n"
          "両方のプログラムの表示の言語で、ロケールより優先し、--lang が更に優先します。"),
      .settings = settingLines(dayplotSettingKeys()),
      .services = QT_TRANSLATE_NOOP(
          "Options",
          "画面のない測定局では、dayplot --set で予定と FTP のアカウントを設定し、\n"
          "systemctl --user enable --now dayplot.service で定時処理を始めます。起動時から、\n"
          "誰もログインしないうちに動かすには sudo loginctl enable-linger $USER を一度\n"
          "実行します。処理と転送の結果は journalctl --user -u dayplot -f で見られます。"),
  };
  return options;
}

}  // namespace radmon
