#include "ratemon_options.h"

#include "ratemon_setting_keys.h"

namespace radmon {

const ProgramOptions& ratemonOptions() {
  constexpr ModeSet windows = modeBit(kRatemonWindows);
  constexpr ModeSet headless = modeBit(kRatemonHeadless);
  static const ProgramOptions options{
      .program = "ratemon",
      .summary = QT_TRANSLATE_NOOP(
          "Options", "サウンド入力の GM 管を数え、線量率を表示し、毎分の記録を書きます"),
      .description = QT_TRANSLATE_NOOP(
          "Options",
          "サウンド入力 (22050 Hz, 8 ビット, モノラル) につないだ GM 管のパルスを数え、\n"
          "管の感度で毎分の計数を μSv/h の線量率にし、二段の警報を鳴らし、\n"
          "一分に一行を日ごとのファイル data/μSVHData<yyyymmdd>.csv に書きます。\n"
          "測定局フォルダは --station、RADMON_STATION、書き込めるプログラムのフォルダ、\n"
          "$XDG_DATA_HOME/radmon (既定 ~/.local/share/radmon) の順に決まります。"),
      .modes = {{nullptr,
                 QT_TRANSLATE_NOOP("Options", "測定画面を開きます (開始ボタンで測定を始めます)")},
                {"--headless",
                 QT_TRANSLATE_NOOP("Options",
                                   "画面なしで測定します。記録の行は標準出力に、メッセージは標準"
                                   "エラーに出します (SIGINT / SIGTERM で終了)")},
                {"--show-settings", QT_TRANSLATE_NOOP("Options", "設定を key=value で一覧します")},
                {"--set",
                 QT_TRANSLATE_NOOP("Options", "設定を画面と同じ検査で変更します (繰り返し可)")}},
      .options =
          {kStationOption,
           kCreateOption,
           {.name = "--lang",
            .value = "ja|en",
            .help = QT_TRANSLATE_NOOP("Options",
                                      "表示の言語。なければロケールから: 日本語、C、POSIX "
                                      "なら日本語、ほかの言語なら英語")},
           {.name = "--headless",
            .value = nullptr,
            .help = QT_TRANSLATE_NOOP("Options", "画面なしで測定します"),
            .modes = headless,
            .requiredIn = headless},
           {.name = "--input",
            .value = "SOURCE",
            .help = QT_TRANSLATE_NOOP(
                "Options",
                "入力: default (既定の録音デバイス)、device:NAME、WAVファイル (モノラル 22050 "
                "Hz)、\n"
                "sim:CPM または sim:BASE:RAISED@HH:MM-HH:MM (,seed=N ,tube=KIND を付けられます)"),
            .modes = windows | headless,
            .requiredIn = headless},
           {.name = "--fast",
            .value = nullptr,
            .help = QT_TRANSLATE_NOOP(
                "Options",
                "ファイルやシミュレーションを --start から始まる仮想の時計で速く処理します"),
            .modes = headless},
           {.name = "--start",
            .value = "\"YYYY-MM-DD hh:mm:ss\"",
            .help = QT_TRANSLATE_NOOP("Options", "--fast の仮想の時計の開始日時"),
            .modes = headless},
           {.name = "--seconds",
            .value = "N",
            .help = QT_TRANSLATE_NOOP("Options", "N 秒分の音で終わります"),
            .modes = headless},
           {.name = "--dead-time",
            .value = "US",
            .help = QT_TRANSLATE_NOOP("Options",
                                      "この実行での管の不感時間 (マイクロ秒、既定は計数の設定)"),
            .modes = headless},
           {.name = "--silent",
            .value = nullptr,
            .help = QT_TRANSLATE_NOOP("Options", "警報を鳴らさず、知らせるだけにします"),
            .modes = headless},
           {.name = "--mqtt",
            .value = "URL",
            .help = QT_TRANSLATE_NOOP("Options",
                                      "毎分の記録とイベントを MQTT ブローカーに送ります:\n"
                                      "mqtt[s]://[USER[:PASSWORD]@]HOST[:PORT]/TOPIC/PREFIX"),
            .modes = headless},
           {.name = "--mqtt-discovery",
            .value = "PREFIX",
            .help =
                QT_TRANSLATE_NOOP("Options", "Home Assistant の discovery をこの接頭辞で送ります"),
            .modes = headless},
           {.name = "--http",
            .value = "[ADDR:]PORT",
            .help = QT_TRANSLATE_NOOP("Options",
                                      "ライブのページと /metrics を読み取り専用で配信します。"
                                      "ポートだけなら 127.0.0.1 のみで待ち受けます"),
            .modes = windows | headless},
           showSettingsOption(kRatemonShowSettings, kRatemonSet),
           setSettingOption(kRatemonShowSettings, kRatemonSet)},
      .files =
          {{"ratemon.ini",
            QT_TRANSLATE_NOOP("Options", "設定。画面を閉じるときと --set で保存します")},
           {"ratemon_counting.ini", QT_TRANSLATE_NOOP("Options", "計数の設定 (counting.*)")},
           {"ratemon_mqtt.ini", QT_TRANSLATE_NOOP("Options", "MQTT の設定 (mqtt.*)")},
           {"ratemon_maps.ini, ratemon_maps_<service>_queue.txt",
            QT_TRANSLATE_NOOP("Options", "公開地図への送信の設定 (maps.*) と未送信の分")},
           {"dayplot.ini",
            QT_TRANSLATE_NOOP("Options", "--http のページの観測所名とグラフの名前 (読むだけ)")},
           {"~Record.tmp",
            QT_TRANSLATE_NOOP("Options", "ロックファイル。二つ目の ratemon は拒否されます")},
           {"data/μSVHData<yyyymmdd>.csv", QT_TRANSLATE_NOOP("Options", "日ごとの記録")},
           {"data/μSVHEvents<yyyymmdd>.csv",
            QT_TRANSLATE_NOOP("Options", "日ごとのイベント記録 (4 番目の欄は表示の言語の説明文)")},
           {"μSVHPending.csv, μSVHPendingEvents.csv",
            QT_TRANSLATE_NOOP("Options",
                              "書き込めなかった記録とイベント。次に書けるときに書き込みます")},
           {"daiichi.wav, daini.wav",
            QT_TRANSLATE_NOOP(
                "Options", "第一段と第二段の警報音 (測定局のもの、なければ /usr/share/radmon)")}},
      .environment = {kStationVariable, kMqttPasswordVariable, kLanguageVariables},
      .exitStatus = QT_TRANSLATE_NOOP(
          "Options",
          "0 終了、1 開始できない (ロック中、感度がない、入力を開けない、画面がない) か\n"
          "--set を拒否した、2 引数の誤り、3 サウンドサーバーにもう接続できない"),
      .settingsHelp = QT_TRANSLATE_NOOP(
          "Options",
          "--set key=value で変更し、--show-settings で一覧します。値は画面と同じ検査を通り、\n"
          "拒否された値はキーと理由を示し、どのファイルも変えません。動いているサービスは\n"
          "次の起動から使います (systemctl --user restart ratemon)。tube_sensitivity は GM 管の\n"
          "γ線感度で、単位は cps/mR/h (例えば 18) です。language (ja、en、空はロケール) は\n"
          "両方のプログラムの表示の言語で、ロケールより優先し、--lang が更に優先します。"),
      .settings = settingLines(ratemonSettingKeys()),
      .services = QT_TRANSLATE_NOOP(
          "Options",
          "画面のない測定局では、ユーザーのサービスとして動かします。まず感度を設定し\n"
          "(ratemon --set tube_sensitivity=N)、systemctl --user enable --now ratemon.service\n"
          "で始めます。起動時から、誰もログインしないうちに動かすには sudo loginctl\n"
          "enable-linger $USER を一度実行します。記録の行とメッセージは journalctl --user -u\n"
          "ratemon -f で見られます。サービスは失敗すると 15 秒後にもう一度始めます。"),
  };
  return options;
}

}  // namespace radmon
