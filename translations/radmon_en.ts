<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>DayGraph</name>
    <message>
        <source> %1 時</source>
        <translation> %1h</translation>
    </message>
    <message>
        <source>→時間</source>
        <translation>→hour</translation>
    </message>
    <message>
        <source>%1年%2月%3日</source>
        <translation>%1-%2-%3</translation>
    </message>
    <message>
        <source>[ 日最大:</source>
        <translation>[ Max: </translation>
    </message>
    <message>
        <source>日平均:</source>
        <translation>Mean: </translation>
    </message>
    <message>
        <source>測定場所: </source>
        <translation>Place: </translation>
    </message>
    <message>
        <source>作成日: </source>
        <translation>Made: </translation>
    </message>
    <message>
        <source>測定管: </source>
        <translation>Tube: </translation>
    </message>
</context>
<context>
    <name>StartOptions</name>
    <message>
        <source>--station には測定局フォルダを指定してください。</source>
        <translation>--station needs the station folder.</translation>
    </message>
    <message>
        <source>--lang には ja か en を指定してください。</source>
        <translation>--lang takes ja or en.</translation>
    </message>
    <message>
        <source>測定局フォルダ: %1</source>
        <translation>Station folder: %1</translation>
    </message>
    <message>
        <source>測定局フォルダ %1 を作成できません: %2</source>
        <translation>Cannot create the station folder %1: %2</translation>
    </message>
</context>
<context>
    <name>dayplot</name>
    <message>
        <source>使い方: dayplot                      設定画面を開きます
        dayplot --headless           画面なしで dayplot.ini の設定どおりに定時処理します
                                     (SIGINT / SIGTERM で終了)
        dayplot --process YYYYMMDD   指定した日のグラフを描き、dayplot.ini の設定どおりに
                                     画像を保存します。FTP転送が有効なら転送の終わりを待ち、
                                     失敗したときは終了コード3で終わります。
        どの形にも --station DIR (測定局フォルダ) と --lang ja|en (言語) を付けられます。
</source>
        <translation>Usage: dayplot                      opens the settings window
       dayplot --headless           processes on the schedule of dayplot.ini without a window
                                    (ends on SIGINT / SIGTERM)
       dayplot --process YYYYMMDD   draws the graph of that day and saves the images as
                                    dayplot.ini says. With FTP transfer on it waits for the
                                    upload and ends with exit status 3 when it fails.
       Each form takes --station DIR (station folder) and --lang ja|en (language).
</translation>
    </message>
    <message>
        <source>画面がないため設定画面を開けません。画面なしで定時処理するには dayplot --headless を使ってください。
</source>
        <translation>There is no screen to open the settings window on. To process on schedule without a window, use dayplot --headless.
</translation>
    </message>
</context>
<context>
    <name>ratemon</name>
    <message>
        <source>使い方: ratemon [--station DIR] [--lang ja|en] [--input SOURCE]
        ratemon --headless --input SOURCE [--fast] [--start &quot;YYYY-MM-DD hh:mm:ss&quot;] [--seconds N]</source>
        <translation>Usage: ratemon [--station DIR] [--lang ja|en] [--input SOURCE]
       ratemon --headless --input SOURCE [--fast] [--start "YYYY-MM-DD hh:mm:ss"] [--seconds N]</translation>
    </message>
    <message>
        <source>不明な引数: </source>
        <translation>Unknown argument: </translation>
    </message>
    <message>
        <source>放射線量&#x3000;リアルタイムグラフ</source>
        <translation>Radiation dose real-time graph</translation>
    </message>
    <message>
        <source>ロックファイル %1 を開けません (%2)</source>
        <translation>Cannot open the lock file %1 (%2)</translation>
    </message>
    <message>
        <source>シーベルト計算はこのフォルダで既に起動しています（%1 を使用中）</source>
        <translation>Sievert Calculation is already running in this folder (%1 is in use)</translation>
    </message>
    <message>
        <source>パルステストモード</source>
        <translation>Pulse test mode</translation>
    </message>
    <message>
        <source>→時間</source>
        <translation>→hour</translation>
    </message>
    <message>
        <source>第二段警報上限値が 0.35 μSV/h 以下か数値でないため、グラフを描けません</source>
        <translation>The stage 2 alarm limit is 0.35 μSv/h or less, or not a number: the graph cannot be drawn</translation>
    </message>
</context>
</TS>
