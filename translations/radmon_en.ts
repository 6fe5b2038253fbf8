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
    <name>Words</name>
    <message>
        <source>%1に正しい数値を入力してください（前の値 %2 で続けます）</source>
        <translation>Enter a valid number for %1 (going on with the previous value %2)</translation>
    </message>
    <message>
        <source>記録ファイルに書き込めません: %1 (%2)。%3 行を保持し、次の分に書き込みます</source>
        <translation>Cannot write the record file: %1 (%2). %3 lines are kept and written next minute</translation>
    </message>
    <message>
        <source>GM菅γ線感度を入力してください</source>
        <translation>Enter the GM tube γ sensitivity</translation>
    </message>
    <message>
        <source>設定ファイルを読めません: %1</source>
        <translation>Cannot read the settings file: %1</translation>
    </message>
    <message>
        <source>入力 %1 を開けません。</source>
        <translation>Cannot open the input %1.</translation>
    </message>
    <message>
        <source>データロガー (dayplot) が見つかりません: %1</source>
        <translation>Data logger (dayplot) not found: %1</translation>
    </message>
    <message>
        <source>データロガー (dayplot) を起動できません: %1</source>
        <translation>Cannot start the data logger (dayplot): %1</translation>
    </message>
    <message>
        <source>第一段警報: %1 μSv/h &gt; %2 μSv/h</source>
        <translation>Stage 1 alarm: %1 μSv/h &gt; %2 μSv/h</translation>
    </message>
    <message>
        <source>第二段警報: %1 μSv/h &gt; %2 μSv/h</source>
        <translation>Stage 2 alarm: %1 μSv/h &gt; %2 μSv/h</translation>
    </message>
    <message>
        <source>%1 時間分を処理しました</source>
        <translation>%1 hours processed</translation>
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
    <message>
        <source>フォルダがありません: %1</source>
        <translation>No such folder: %1</translation>
    </message>
    <message>
        <source>収集データ保存フォルダ</source>
        <translation>Folder for the recorded data</translation>
    </message>
    <message>
        <source>テキスト ファイル (*.txt *.log)
すべてのファイル (*)</source>
        <translation>Text files (*.txt *.log)
All files (*)</translation>
    </message>
    <message>
        <source>データロガー</source>
        <translation>Data logger</translation>
    </message>
    <message>
        <source>停止中案内転送</source>
        <translation>Send out-of-service notice</translation>
    </message>
    <message>
        <source>保存先</source>
        <translation>Save to</translation>
    </message>
    <message>
        <source>手動処理</source>
        <translation>Process by hand</translation>
    </message>
    <message>
        <source>%1分毎</source>
        <translation>every %1 min</translation>
    </message>
    <message>
        <source>昨日分自動処理</source>
        <translation>Process yesterday at</translation>
    </message>
    <message>
        <source>最後のFTP転送: まだありません</source>
        <translation>Last FTP transfer: none yet</translation>
    </message>
    <message>
        <source>測定場所</source>
        <translation>Place</translation>
    </message>
    <message>
        <source>測定管</source>
        <translation>Tube</translation>
    </message>
    <message>
        <source>データフォルダ</source>
        <translation>Data folder</translation>
    </message>
    <message>
        <source>入力データファイル名</source>
        <translation>Input data file name</translation>
    </message>
    <message>
        <source>出力グラフファイル名</source>
        <translation>Output graph file name</translation>
    </message>
    <message>
        <source>ファイル形式</source>
        <translation>File format</translation>
    </message>
    <message>
        <source>縦軸最大スケール(μSV/h)</source>
        <translation>Vertical full scale (μSv/h)</translation>
    </message>
    <message>
        <source>FTP転送を行う</source>
        <translation>FTP transfer</translation>
    </message>
    <message>
        <source>サーバ名</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>ｻﾌﾞﾌｫﾙﾀﾞ名  ( 例  xxxx\yyyyy\zzzz)</source>
        <translation>Subfolder (e.g. xxxx\yyyyy\zzzz)</translation>
    </message>
    <message>
        <source>ユーザ名</source>
        <translation>User name</translation>
    </message>
    <message>
        <source>ﾊﾟｽﾜｰﾄﾞ</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>年</source>
        <translation>Y</translation>
    </message>
    <message>
        <source>月</source>
        <translation>M</translation>
    </message>
    <message>
        <source>日</source>
        <translation>D</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ選択</source>
        <translation>Select file</translation>
    </message>
    <message>
        <source>当日データリアルタイム処理</source>
        <translation>Process today in real time</translation>
    </message>
    <message>
        <source>時</source>
        <translation>h</translation>
    </message>
    <message>
        <source>分</source>
        <translation>min</translation>
    </message>
    <message>
        <source>起動</source>
        <translation>daily</translation>
    </message>
    <message>
        <source>※月日時間は、全て２桁で入力してください</source>
        <translation>* Enter month, day, hour and minute with two digits each</translation>
    </message>
    <message>
        <source>最後のFTP転送: %1</source>
        <translation>Last FTP transfer: %1</translation>
    </message>
    <message>
        <source>設定ファイルを保存できませんでした。
%1
保存せずに終了しますか？</source>
        <translation>The settings file could not be saved.
%1
Quit without saving?</translation>
    </message>
    <message>
        <source>グラフを作成できませんでした</source>
        <translation>The graph could not be made</translation>
    </message>
    <message>
        <source>グラフを作成できませんでした: %1</source>
        <translation>The graph could not be made: %1</translation>
    </message>
    <message>
        <source>縦軸最大スケール(μSV/h)には0より大きい数値を入力してください</source>
        <translation>Enter a number above 0 for the vertical full scale (μSv/h)</translation>
    </message>
    <message>
        <source>ファイルがありません</source>
        <translation>No such file</translation>
    </message>
    <message>
        <source>%1 の読めない %2 行を読み飛ばしました</source>
        <translation>Skipped %2 unreadable lines of %1</translation>
    </message>
    <message>
        <source>JPEGファイルを書き込めません: %1%2</source>
        <translation>Cannot write the JPEG file: %1%2</translation>
    </message>
    <message>
        <source>BMPファイルを書き込めません: %1%2</source>
        <translation>Cannot write the BMP file: %1%2</translation>
    </message>
    <message>
        <source>FTP転送を行えません。スクリプトファイルを書き込めませんでした。
%1</source>
        <translation>No FTP transfer: the script file could not be written.
%1</translation>
    </message>
    <message>
        <source>FTP転送を開始できません: %1</source>
        <translation>Cannot start the FTP transfer: %1</translation>
    </message>
    <message>
        <source>FTPクライアントを起動できません: %1 (%2)</source>
        <translation>Cannot start the FTP client: %1 (%2)</translation>
    </message>
    <message>
        <source>日付はyyyymmddの8桁で指定してください: %1</source>
        <translation>Give the date as eight digits yyyymmdd: %1</translation>
    </message>
    <message>
        <source>処理中にエラーが発生しました: %1</source>
        <translation>An error occurred while processing: %1</translation>
    </message>
    <message>
        <source>当日データリアルタイム処理も昨日分自動処理も選ばれていないため、何も処理しません (%1)</source>
        <translation>Neither real-time processing of today nor automatic processing of yesterday is chosen: nothing to do (%1)</translation>
    </message>
    <message>
        <source>当日分を%1分毎に処理</source>
        <translation>today every %1 min</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>昨日分を%1時%2分に処理</source>
        <translation>yesterday at %1:%2</translation>
    </message>
    <message>
        <source>開始しました: %1%2。データフォルダ: %3</source>
        <translation>Started: %1%2. Data folder: %3</translation>
    </message>
    <message>
        <source>、FTP転送あり</source>
        <translation>, with FTP transfer</translation>
    </message>
    <message>
        <source>当日分 %1 を処理します</source>
        <translation>Processing today, %1</translation>
    </message>
    <message>
        <source>昨日分 %1 を処理します</source>
        <translation>Processing yesterday, %1</translation>
    </message>
    <message>
        <source>FTPスクリプトファイルを削除できません: %1</source>
        <translation>Cannot remove the FTP script file: %1</translation>
    </message>
    <message>
        <source>終了しました</source>
        <translation>Ended</translation>
    </message>
    <message>
        <source>FTP転送成功: %1</source>
        <translation>FTP transfer done: %1</translation>
    </message>
    <message>
        <source>FTP転送失敗: %1 (%2)</source>
        <translation>FTP transfer failed: %1 (%2)</translation>
    </message>
    <message>
        <source>FTPクライアントが異常終了しました</source>
        <translation>The FTP client crashed</translation>
    </message>
    <message>
        <source>FTPクライアントの終了コード %1</source>
        <translation>FTP client exit status %1</translation>
    </message>
    <message>
        <source>FTPクライアントの終了コード: %1</source>
        <translation>FTP client exit status: %1</translation>
    </message>
    <message>
        <source>FTPクライアントが時間内に終わらなかったため中止しました。</source>
        <translation>The FTP client did not end in time and was stopped.</translation>
    </message>
    <message>
        <source>FTP転送に失敗しました (%1)。%2</source>
        <translation>The FTP transfer failed (%1). %2</translation>
    </message>
    <message>
        <source>FTPクライアントの出力:
%1</source>
        <translation>The FTP client's output:
%1</translation>
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
    <message>
        <source>シミュレーション入力の指定が正しくありません: %1 (例: sim:20, sim:20:120@13:00-16:00, sim:20,seed=7)</source>
        <translation>The simulated input is not valid: %1 (e.g. sim:20, sim:20:120@13:00-16:00, sim:20,seed=7)</translation>
    </message>
    <message>
        <source>入力が指定されていません</source>
        <translation>No input given</translation>
    </message>
    <message>
        <source>使い方: ratemon --headless --input SOURCE [--fast] [--start &quot;YYYY-MM-DD hh:mm:ss&quot;] [--seconds N]
  SOURCE: WAVファイル (モノラル 22050 Hz), sim:CPM, sim:BASE:RAISED@HH:MM-HH:MM,
          default (既定の録音デバイス) または録音デバイス名 (device:NAME)</source>
        <translation>Usage: ratemon --headless --input SOURCE [--fast] [--start "YYYY-MM-DD hh:mm:ss"] [--seconds N]
  SOURCE: a WAV file (mono, 22050 Hz), sim:CPM, sim:BASE:RAISED@HH:MM-HH:MM,
          default (the default recording device) or a recording device's name (device:NAME)</translation>
    </message>
    <message>
        <source>開始日時が正しくありません: %1</source>
        <translation>The start time is not valid: %1</translation>
    </message>
    <message>
        <source>秒数が正しくありません: %1</source>
        <translation>The number of seconds is not valid: %1</translation>
    </message>
    <message>
        <source>不明な引数: %1</source>
        <translation>Unknown argument: %1</translation>
    </message>
    <message>
        <source>しきい値&#x3000;80～20</source>
        <translation>Threshold 80-20</translation>
    </message>
    <message>
        <source>不感帯 0～10</source>
        <translation>Dead band 0-10</translation>
    </message>
    <message>
        <source>分解能&#x3000;15～5</source>
        <translation>Resolution 15-5</translation>
    </message>
    <message>
        <source>開始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>データロガー</source>
        <translation>Data logger</translation>
    </message>
    <message>
        <source>保存先</source>
        <translation>Save to</translation>
    </message>
    <message>
        <source>シーベルト計算 V1.7</source>
        <translation>Sievert Calculation V1.7</translation>
    </message>
    <message>
        <source>録音デバイスが見つかりません。サウンドカードの入力を確認してください。</source>
        <translation>No recording device found. Check the sound card's input.</translation>
    </message>
    <message>
        <source>録音デバイス「%1」が見つかりません。</source>
        <translation>Recording device "%1" not found.</translation>
    </message>
    <message>
        <source>録音デバイス %1 は 8ビット モノラル 22050Hz で録音できません。</source>
        <translation>The recording device %1 cannot record 8-bit mono at 22050 Hz.</translation>
    </message>
    <message>
        <source>録音デバイスが開かれていません。</source>
        <translation>The recording device is not open.</translation>
    </message>
    <message>
        <source>既定の録音デバイス</source>
        <translation>the default recording device</translation>
    </message>
    <message>
        <source>%1 を開けません (エラー %2)。録音は始まりません。</source>
        <translation>Cannot open %1 (error %2). Recording does not start.</translation>
    </message>
    <message>
        <source>録音デバイスが止まりました (エラー %1)。</source>
        <translation>The recording device stopped (error %1).</translation>
    </message>
    <message>
        <source>録音デバイスから %1 秒間音が届きません。録音を終わります。</source>
        <translation>No sound from the recording device for %1 s. Recording ends.</translation>
    </message>
    <message>
        <source>WAVファイルを開けません: %1 (%2)</source>
        <translation>Cannot open the WAV file: %1 (%2)</translation>
    </message>
    <message>
        <source>WAVファイルはモノラル 22050 Hz でなければなりません: %1 (%2 チャンネル, %3 Hz)</source>
        <translation>The WAV file must be mono at 22050 Hz: %1 (%2 channels, %3 Hz)</translation>
    </message>
    <message>
        <source>テキスト ファイル (*.txt *.log)</source>
        <translation>Text files (*.txt *.log)</translation>
    </message>
    <message>
        <source>すべてのファイル (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>収集データ保存フォルダ</source>
        <translation>Folder for the recorded data</translation>
    </message>
    <message>
        <source>経過時間(Sec)</source>
        <translation>Elapsed (s)</translation>
    </message>
    <message>
        <source>総カウント数</source>
        <translation>Total count</translation>
    </message>
    <message>
        <source>しきい値</source>
        <translation>Threshold</translation>
    </message>
    <message>
        <source>不感帯</source>
        <translation>Dead band</translation>
    </message>
    <message>
        <source>分解能</source>
        <translation>Resolution</translation>
    </message>
    <message>
        <source>CPM</source>
        <translation>CPM</translation>
    </message>
    <message>
        <source>GM菅γ線感度</source>
        <translation>Tube sensitivity</translation>
    </message>
    <message>
        <source>シーベルト(μSV/h)</source>
        <translation>Dose rate (μSv/h)</translation>
    </message>
    <message>
        <source>第一段警報上限値</source>
        <translation>Stage 1 alarm limit</translation>
    </message>
    <message>
        <source>第二段警報上限値</source>
        <translation>Stage 2 alarm limit</translation>
    </message>
    <message>
        <source>BG補正 cpm</source>
        <translation>Background cpm</translation>
    </message>
    <message>
        <source>テスト</source>
        <translation>Test</translation>
    </message>
    <message>
        <source>データ収集(CSV)</source>
        <translation>Record data (CSV)</translation>
    </message>
    <message>
        <source>リアルタイムグラフ表示</source>
        <translation>Real-time graph</translation>
    </message>
</context>
</TS>
