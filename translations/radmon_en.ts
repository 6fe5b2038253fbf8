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
        <translation>→time</translation>
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
        <translation>Drawn: </translation>
    </message>
    <message>
        <source>測定管: </source>
        <translation>Tube: </translation>
    </message>
    <message>
        <source>→日</source>
        <translation>→day</translation>
    </message>
    <message>
        <source>%1月</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>→月</source>
        <translation>→month</translation>
    </message>
    <message>
        <source>%1年%2月</source>
        <translation>%1-%2</translation>
    </message>
    <message>
        <source>%1年</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>[ 月最大:</source>
        <translation>[ Max: </translation>
    </message>
    <message>
        <source>[ 年最大:</source>
        <translation>[ Max: </translation>
    </message>
    <message>
        <source>月平均:</source>
        <translation>Mean: </translation>
    </message>
    <message>
        <source>年平均:</source>
        <translation>Mean: </translation>
    </message>
    <message>
        <source>μSV/h</source>
        <translation>μSv/h</translation>
    </message>
</context>
<context>
    <name>Options</name>
    <message>
        <source>この説明を表示して終わります</source>
        <translation>shows this help and ends</translation>
    </message>
    <message>
        <source>放射線モニタの日ごとのグラフを描き、FTP で公開します</source>
        <translation>draw the radiation monitor&apos;s day graph and publish it by FTP</translation>
    </message>
    <message>
        <source>ratemon が書く日ごとのファイルを読み、一日の線量率を二つの半日のパネルに
最大と平均とともに描き、グラフを JPEG や BMP で data フォルダに保存し、
FTP 転送が有効なら ftpscript で JPEG を送ります。測定局フォルダは ratemon と同じ
順に決まります。一つの測定局で動く dayplot は一つだけです。</source>
        <translation>Reads the day file that ratemon writes, draws the day&apos;s dose rate on two half-day
panels with the day&apos;s maximum and average, saves the graph as JPEG and/or BMP in the
data folder and, when FTP transfer is on, uploads the JPEG with ftpscript. The station
folder is chosen as for ratemon. One dayplot runs per station.</translation>
    </message>
    <message>
        <source>設定画面を開きます</source>
        <translation>opens the settings window</translation>
    </message>
    <message>
        <source>画面なしで dayplot.ini の設定どおりに定時処理します (SIGINT / SIGTERM で終了)</source>
        <translation>runs the schedule of dayplot.ini without a window (SIGINT / SIGTERM end it)</translation>
    </message>
    <message>
        <source>指定した日のグラフを描いて保存し、FTP 転送が有効なら転送の終わりを待ちます</source>
        <translation>draws and saves the graph of that day and, when FTP transfer is on, waits for the upload</translation>
    </message>
    <message>
        <source>指定した月の日ごとの平均と範囲のグラフを描きます</source>
        <translation>draws the daily averages and ranges of that month</translation>
    </message>
    <message>
        <source>指定した年の日ごとの平均と範囲のグラフを描きます</source>
        <translation>draws the daily averages and ranges of that year</translation>
    </message>
    <message>
        <source>設定を key=value で一覧します</source>
        <translation>lists the settings as key=value</translation>
    </message>
    <message>
        <source>設定を変更します (繰り返し可)</source>
        <translation>changes settings (repeatable)</translation>
    </message>
    <message>
        <source>測定局フォルダ (設定、data/、ロックファイル)。既存のフォルダに限ります</source>
        <translation>the station folder (settings, data/, lock file); it must exist</translation>
    </message>
    <message>
        <source>--station のフォルダがなければ作成します</source>
        <translation>creates the --station folder when it does not exist</translation>
    </message>
    <message>
        <source>表示とグラフの文字の言語。書くファイルはどちらでも同じです</source>
        <translation>the language of the interface and the graph&apos;s texts; the files written are the same in both</translation>
    </message>
    <message>
        <source>画面なしで定時処理します</source>
        <translation>runs the schedule without a window</translation>
    </message>
    <message>
        <source>その日を処理して終わります</source>
        <translation>processes that day and ends</translation>
    </message>
    <message>
        <source>その月を data/μSVHGraph_YYYYMM.jpg に描いて終わります</source>
        <translation>draws that month into data/μSVHGraph_YYYYMM.jpg and ends</translation>
    </message>
    <message>
        <source>その年を data/μSVHGraph_YYYY.jpg に描いて終わります</source>
        <translation>draws that year into data/μSVHGraph_YYYY.jpg and ends</translation>
    </message>
    <message>
        <source>設定を key=value で一覧します (パスワードは (set) か (unset))</source>
        <translation>lists the settings as key=value (passwords as (set) or (unset))</translation>
    </message>
    <message>
        <source>設定を変更します。拒否した値はキーを示し、ファイルを変えません</source>
        <translation>changes a setting; a refused value names its key and changes no file</translation>
    </message>
    <message>
        <source>設定 (FTP のパスワードを含むため所有者のみ読めます)</source>
        <translation>the settings (readable by its owner only: it holds the FTP password)</translation>
    </message>
    <message>
        <source>公開の設定 (publish.*)</source>
        <translation>the publishing settings (publish.*)</translation>
    </message>
    <message>
        <source>読み取りの設定 (readings.*)</source>
        <translation>the readings settings (readings.*)</translation>
    </message>
    <message>
        <source>ロックファイル。画面か --headless の間保持します</source>
        <translation>the lock file, held while the window or --headless runs</translation>
    </message>
    <message>
        <source>転送の FTP スクリプト。dayplot の終わりに消します</source>
        <translation>the FTP script of an upload; removed when dayplot ends</translation>
    </message>
    <message>
        <source>日ごとの記録 (読みます)</source>
        <translation>a day&apos;s records (read)</translation>
    </message>
    <message>
        <source>日ごとのグラフ</source>
        <translation>a day&apos;s graph</translation>
    </message>
    <message>
        <source>--station がないときの測定局フォルダ</source>
        <translation>the station folder when --station is not given</translation>
    </message>
    <message>
        <source>--lang がないときの表示の言語</source>
        <translation>the interface language when --lang is not given</translation>
    </message>
    <message>
        <source>--process、--month、--year: 0 終了、1 日ごとのファイルがない、2 ほかの失敗、3 転送の失敗</source>
        <translation>--process, --month, --year: 0 done, 1 the day file is missing, 2 any other failure, 3 the upload failed</translation>
    </message>
    <message>
        <source>サウンド入力の GM 管を数え、線量率を表示し、毎分の記録を書きます</source>
        <translation>count a Geiger tube on the sound input, show the dose rate, record each minute</translation>
    </message>
    <message>
        <source>サウンド入力 (22050 Hz, 8 ビット, モノラル) につないだ GM 管のパルスを数え、
管の感度で毎分の計数を μSv/h の線量率にし、二段の警報を鳴らし、
一分に一行を日ごとのファイル data/μSVHData&lt;yyyymmdd&gt;.csv に書きます。
測定局フォルダは --station、RADMON_STATION、書き込めるプログラムのフォルダ、
$XDG_DATA_HOME/radmon (既定 ~/.local/share/radmon) の順に決まります。</source>
        <translation>Counts the pulses of a Geiger-Muller tube wired to the sound input (22050 Hz, 8 bits,
mono), turns counts per minute into a dose rate in μSv/h with the tube&apos;s sensitivity,
sounds two alarm stages and writes one line a minute into the day file
data/μSVHData&lt;yyyymmdd&gt;.csv. The station folder is --station, else RADMON_STATION, else
the program&apos;s own folder when writable, else $XDG_DATA_HOME/radmon (~/.local/share/radmon).</translation>
    </message>
    <message>
        <source>測定画面を開きます (開始ボタンで測定を始めます)</source>
        <translation>opens the measuring window (the start button starts measuring)</translation>
    </message>
    <message>
        <source>画面なしで測定します。記録の行は標準出力に、メッセージは標準エラーに出します (SIGINT / SIGTERM で終了)</source>
        <translation>measures without a window: record lines on standard output, messages on standard error (SIGINT / SIGTERM end it)</translation>
    </message>
    <message>
        <source>設定を画面と同じ検査で変更します (繰り返し可)</source>
        <translation>changes settings with the window&apos;s checks (repeatable)</translation>
    </message>
    <message>
        <source>表示の言語。なければロケールから: 日本語、C、POSIX なら日本語、ほかの言語なら英語</source>
        <translation>the interface language; without it the locale&apos;s: Japanese for Japanese, C and POSIX, English for any other</translation>
    </message>
    <message>
        <source>画面なしで測定します</source>
        <translation>measures without a window</translation>
    </message>
    <message>
        <source>入力: default (既定の録音デバイス)、device:NAME、WAVファイル (モノラル 22050 Hz)、
sim:CPM または sim:BASE:RAISED@HH:MM-HH:MM (,seed=N ,tube=KIND を付けられます)</source>
        <translation>the input: default (the default recording device), device:NAME, a WAV file (mono 22050 Hz),
sim:CPM or sim:BASE:RAISED@HH:MM-HH:MM (with ,seed=N ,tube=KIND)</translation>
    </message>
    <message>
        <source>ファイルやシミュレーションを --start から始まる仮想の時計で速く処理します</source>
        <translation>replays a file or simulation as fast as it can, on a virtual clock starting at --start</translation>
    </message>
    <message>
        <source>--fast の仮想の時計の開始日時</source>
        <translation>the start of --fast&apos;s virtual clock</translation>
    </message>
    <message>
        <source>N 秒分の音で終わります</source>
        <translation>ends after N seconds of sound</translation>
    </message>
    <message>
        <source>この実行での管の不感時間 (マイクロ秒、既定は計数の設定)</source>
        <translation>the tube&apos;s dead time for this run (microseconds; default: the counting setting)</translation>
    </message>
    <message>
        <source>警報を鳴らさず、知らせるだけにします</source>
        <translation>tells the alarm stages without sounding them</translation>
    </message>
    <message>
        <source>毎分の記録とイベントを MQTT ブローカーに送ります:
mqtt[s]://[USER[:PASSWORD]@]HOST[:PORT]/TOPIC/PREFIX</source>
        <translation>publishes each minute&apos;s record and the events to an MQTT broker:
mqtt[s]://[USER[:PASSWORD]@]HOST[:PORT]/TOPIC/PREFIX</translation>
    </message>
    <message>
        <source>Home Assistant の discovery をこの接頭辞で送ります</source>
        <translation>announces the readings to Home Assistant under this discovery prefix</translation>
    </message>
    <message>
        <source>設定。画面を閉じるときと --set で保存します</source>
        <translation>the settings, saved when the window closes and by --set</translation>
    </message>
    <message>
        <source>計数の設定 (counting.*)</source>
        <translation>the counting settings (counting.*)</translation>
    </message>
    <message>
        <source>MQTT の設定 (mqtt.*)</source>
        <translation>the MQTT settings (mqtt.*)</translation>
    </message>
    <message>
        <source>ロックファイル。二つ目の ratemon は拒否されます</source>
        <translation>the lock file; a second ratemon on the station is refused</translation>
    </message>
    <message>
        <source>日ごとの記録</source>
        <translation>a day&apos;s records</translation>
    </message>
    <message>
        <source>日ごとのイベント記録 (4 番目の欄は表示の言語の説明文)</source>
        <translation>a day&apos;s event log (its fourth field is prose in the interface&apos;s language)</translation>
    </message>
    <message>
        <source>書き込めなかった記録とイベント。次に書けるときに書き込みます</source>
        <translation>records and events that could not be written, written when they can be</translation>
    </message>
    <message>
        <source>第一段と第二段の警報音 (測定局のもの、なければ /usr/share/radmon)</source>
        <translation>the first and second stage alarm sounds (the station&apos;s own, else /usr/share/radmon&apos;s)</translation>
    </message>
    <message>
        <source>--mqtt のアドレスにないときのパスワード</source>
        <translation>the password when --mqtt&apos;s address has none</translation>
    </message>
    <message>
        <source>0 終了、1 開始できない (ロック中、感度がない、入力を開けない、画面がない) か
--set を拒否した、2 引数の誤り、3 サウンドサーバーにもう接続できない</source>
        <translation>0 done, 1 refused to start (lock held, no sensitivity, an input that cannot be opened,
no display) or a refused --set, 2 bad arguments, 3 the sound server cannot be reached any more</translation>
    </message>
    <message>
        <source>MQTT ブローカーから測定局の記録を集め、局ごとの日ごとのファイルに書きます</source>
        <translation>collect the stations&apos; records from an MQTT broker into day files per station</translation>
    </message>
    <message>
        <source>接頭辞/&lt;局名&gt;/state の記録を フォルダ/&lt;局名&gt;/data/μSVHData&lt;日付&gt;.csv に時刻の順に
書きます。欠けた記録は局に再送を頼み、--give-up 秒待っても届かなければ報告します。
mqtts:// では --ca-file がなければシステムの証明書で確かめます。SIGINT / SIGTERM で終わります。</source>
        <translation>Writes the records of PREFIX/&lt;station&gt;/state into DIR/&lt;station&gt;/data/μSVHData&lt;date&gt;.csv in order of time.
Missing records are asked of the station again and reported when they do not arrive within --give-up seconds.
mqtts:// is checked against the system certificates without --ca-file. SIGINT / SIGTERM end it.</translation>
    </message>
    <message>
        <source>記録を集めます</source>
        <translation>collects the records</translation>
    </message>
    <message>
        <source>ブローカーと接頭辞: mqtt[s]://[USER[:PASSWORD]@]HOST[:PORT]/PREFIX</source>
        <translation>the broker and prefix: mqtt[s]://[USER[:PASSWORD]@]HOST[:PORT]/PREFIX</translation>
    </message>
    <message>
        <source>局ごとのフォルダを作るフォルダ</source>
        <translation>the folder that holds a folder per station</translation>
    </message>
    <message>
        <source>mqtts:// で信頼する CA 証明書</source>
        <translation>the CA certificate trusted for mqtts://</translation>
    </message>
    <message>
        <source>記録が来ず欠けもないままこの秒数が過ぎたら終わります</source>
        <translation>ends after this many seconds without records and with no gaps open</translation>
    </message>
    <message>
        <source>ブローカーでのこのコレクターの名前 (既定: ホスト名とフォルダに保存した ID)</source>
        <translation>this collector&apos;s name at the broker (default: the host name and an ID kept in the folder)</translation>
    </message>
    <message>
        <source>同じグループの複数のコレクターで局の記録を分担します ($share/グループ/...)</source>
        <translation>collectors of one group share the stations&apos; records ($share/GROUP/...)</translation>
    </message>
    <message>
        <source>欠けた記録の再送を待つ秒数 (既定 600)</source>
        <translation>how long missing records are waited for (default 600)</translation>
    </message>
    <message>
        <source>メッセージの言語。なければロケールから</source>
        <translation>the messages&apos; language; without it the locale&apos;s</translation>
    </message>
    <message>
        <source>局ごとの日ごとの記録</source>
        <translation>a station&apos;s day records</translation>
    </message>
    <message>
        <source>コレクターのログ</source>
        <translation>the collector&apos;s log</translation>
    </message>
    <message>
        <source>ブローカーでの名前に使う、保存した ID</source>
        <translation>the kept ID in the collector&apos;s name at the broker</translation>
    </message>
    <message>
        <source>0 終了、1 開始できない、2 引数の誤り</source>
        <translation>0 done, 1 cannot start, 2 bad arguments</translation>
    </message>
    <message>
        <source>dayplot が書く FTP コマンドスクリプトを実行します</source>
        <translation>run an FTP command script as dayplot writes it</translation>
    </message>
    <message>
        <source>dayplot が転送のために書くコマンドスクリプト (open, user, cd, bin, ascii, put, mput,
lcd, close, bye) を libcurl で実行します。サーバーにないフォルダは実行を終わらせ、
不明なコマンドがあれば何も送りません。スクリプトは CP932 か UTF-8 です。</source>
        <translation>Runs with libcurl the command scripts dayplot writes for an upload (open, user, cd, bin,
ascii, put, mput, lcd, close, bye). A folder missing on the server ends the run; an
unknown command sends nothing at all. Scripts are in CP932 or UTF-8.</translation>
    </message>
    <message>
        <source>スクリプトを実行します</source>
        <translation>runs the script</translation>
    </message>
    <message>
        <source>受け付けますが何も変えません</source>
        <translation>accepted; changes nothing</translation>
    </message>
    <message>
        <source>libcurl の通信の記録を標準エラーに出します</source>
        <translation>libcurl&apos;s protocol trace on standard error</translation>
    </message>
    <message>
        <source>open の後でログインしません</source>
        <translation>no login after open</translation>
    </message>
    <message>
        <source>初めて見る SSH のホスト鍵を保存せず、指紋を示して拒否します</source>
        <translation>refuses an SSH host key seen for the first time, with its fingerprint, instead of keeping it</translation>
    </message>
    <message>
        <source>応答のないサーバーや止まった転送を待つ秒数 (既定 60)</source>
        <translation>how long a silent server or a stopped transfer is waited for (default 60)</translation>
    </message>
    <message>
        <source>測定局の公開の設定 (TLS、信頼する証明書、鍵ファイル)</source>
        <translation>the station&apos;s publishing settings (TLS, trusted certificates, key file)</translation>
    </message>
    <message>
        <source>実行するスクリプト (&quot;パス&quot; と引用符で囲めます)</source>
        <translation>the script to run (may be quoted: &quot;path&quot;)</translation>
    </message>
    <message>
        <source>0 すべて転送した、2 コマンドラインかスクリプトの誤り (何も送っていません)、
ほかは最初の失敗の原因による</source>
        <translation>0 all transfers done, 2 the command line or the script is faulty (nothing was sent),
else after the first failure&apos;s cause</translation>
    </message>
    <message>
        <source>模擬の GM 管の音を WAV ファイルに書きます</source>
        <translation>write the sound of a simulated Geiger tube to a WAV file</translation>
    </message>
    <message>
        <source>模擬の GM 管の音を 8 ビット符号なしモノラル 22050 Hz の WAV ファイルに書き、
含まれるパルスの数を pulses=N と標準出力に出します。ratemon --input で再生できます。</source>
        <translation>Writes the sound of a simulated Geiger tube to an 8-bit unsigned mono WAV file at
22050 Hz and prints the number of pulses it holds as pulses=N. ratemon --input plays it.</translation>
    </message>
    <message>
        <source>WAV ファイルを書きます</source>
        <translation>writes the WAV file</translation>
    </message>
    <message>
        <source>一定の計数率 (CPM)。--cpm か --profile が必要です</source>
        <translation>a constant count rate (CPM); --cpm or --profile is needed</translation>
    </message>
    <message>
        <source>基準 CPM と、時刻範囲で上昇する CPM (例 20:120@13:00-16:00)</source>
        <translation>a base CPM and a raised CPM over a time range (e.g. 20:120@13:00-16:00)</translation>
    </message>
    <message>
        <source>録音の長さ (秒, 1 ～ 864000)</source>
        <translation>the recording&apos;s length (seconds, 1 to 864000)</translation>
    </message>
    <message>
        <source>乱数の種 (既定 1)。同じ種なら同じ音になります</source>
        <translation>the random seed (default 1); the same seed gives the same sound</translation>
    </message>
    <message>
        <source>最初のサンプルの時刻 (既定 00:00)</source>
        <translation>the time of the first sample (default 00:00)</translation>
    </message>
    <message>
        <source>書く WAV ファイル</source>
        <translation>the WAV file to write</translation>
    </message>
    <message>
        <source>書く WAV ファイル。書けなかったときは消します</source>
        <translation>the WAV file written; removed when it cannot be written whole</translation>
    </message>
    <message>
        <source>0 書いた、1 WAV ファイルを書けない、2 引数の誤り</source>
        <translation>0 written, 1 the WAV file cannot be written, 2 bad arguments</translation>
    </message>
    <message>
        <source>使い方:</source>
        <translation>Usage:</translation>
    </message>
    <message>
        <source>%1 には値 %2 を指定してください</source>
        <translation>%1 needs a value: %2</translation>
    </message>
    <message>
        <source>不明な引数: %1</source>
        <translation>Unknown argument: %1</translation>
    </message>
    <message>
        <source>オプション:</source>
        <translation>Options:</translation>
    </message>
    <message>
        <source>ライブのページと /metrics を読み取り専用で配信します。ポートだけなら 127.0.0.1 のみで待ち受けます</source>
        <translation>Serves the live page and /metrics, read-only; a bare port listens on 127.0.0.1 only</translation>
    </message>
    <message>
        <source>公開地図への送信の設定 (maps.*) と未送信の分</source>
        <translation>Settings for sending to the public maps (maps.*) and the minutes not yet sent</translation>
    </message>
    <message>
        <source>--http のページの観測所名とグラフの名前 (読むだけ)</source>
        <translation>the station&apos;s and the graphs&apos; names for the --http page (read only)</translation>
    </message>
    <message>
        <source>管の種類 (既定 narrow): narrow 幅約 100 μs のパルス、
wide 約 1 ms しきい値より下にとどまるパルス、
afterpulse narrow の 1 割に 0.5～1.5 ms 後のアフターパルス、
paralysable 放電のたびに 1 ms 不感 (その間の放電で延びる)、
ringing narrow の後に減衰する約 2.8 kHz の振動</source>
        <translation>the kind of tube (default narrow): narrow pulses about 100 μs wide,
wide pulses staying under the threshold for about 1 ms,
afterpulse narrow with an afterpulse 0.5 to 1.5 ms later on a tenth,
paralysable 1 ms dead after each discharge (extended by discharges in it),
ringing narrow followed by a dying swing of about 2.8 kHz</translation>
    </message>
    <message>
        <source>文字列 (画面の欄と同じ)</source>
        <translation>text, as the window&apos;s box holds it</translation>
    </message>
    <message>
        <source>1 (オン) か 0 (オフ)</source>
        <translation>1 (on) or 0 (off)</translation>
    </message>
    <message>
        <source>数</source>
        <translation>a number</translation>
    </message>
    <message>
        <source>%1 から %2 までの数 (画面の表示の範囲)</source>
        <translation>a number from %1 to %2 (the range the window shows)</translation>
    </message>
    <message>
        <source>0 以上の数</source>
        <translation>a number of 0 or more</translation>
    </message>
    <message>
        <source>0 より大きい数</source>
        <translation>a number above 0</translation>
    </message>
    <message>
        <source>ファイル名の一部: 空でなく、/ と \ を含まない</source>
        <translation>part of a file name: not empty, without / or \</translation>
    </message>
    <message>
        <source>サーバー: host、host:ポート、ftp://host、ftps://host、sftp://host</source>
        <translation>a server: host, host:port, ftp://host, ftps://host or sftp://host</translation>
    </message>
    <message>
        <source>csv で終わるファイルの絶対パス。日ごとのファイルはそのフォルダ (あるもの) に書かれます</source>
        <translation>the full path of a file ending in csv; the day files are written into its folder, which must exist</translation>
    </message>
    <message>
        <source>(--show-settings は (set) か (unset) と表示)</source>
        <translation>(--show-settings lists it as (set) or (unset))</translation>
    </message>
    <message>
        <source>--set key=value で変更し、--show-settings で一覧します。値は画面と同じ検査を通り、
拒否された値はキーと理由を示し、どのファイルも変えません。動いているサービスは
次の起動から使います (systemctl --user restart dayplot)。upload_folder に空白が
あれば FTP スクリプトでは引用符で囲みます。language (ja、en、空はロケール) は
両方のプログラムの表示の言語で、ロケールより優先し、--lang が更に優先します。</source>
        <translation>--set key=value changes a setting and --show-settings lists them all. Each value goes through
the window&apos;s checks; a refused one is told with its key and the reason, and no file changes.
A running service takes a change at its next start (systemctl --user restart dayplot). An
upload_folder with spaces goes between double quotes in the FTP script. language (ja, en,
or empty for the locale&apos;s) is both programs&apos; interface language: it goes over the locale, and --lang over it.</translation>
    </message>
    <message>
        <source>画面のない測定局では、dayplot --set で予定と FTP のアカウントを設定し、
systemctl --user enable --now dayplot.service で定時処理を始めます。起動時から、
誰もログインしないうちに動かすには sudo loginctl enable-linger $USER を一度
実行します。処理と転送の結果は journalctl --user -u dayplot -f で見られます。</source>
        <translation>A station without a screen sets dayplot&apos;s schedule and FTP account with dayplot --set,
then starts the scheduled runs with systemctl --user enable --now dayplot.service. To
run it from boot, before anyone logs in, run sudo loginctl enable-linger $USER once.
journalctl --user -u dayplot -f shows each run and upload.</translation>
    </message>
    <message>
        <source>--set key=value で変更し、--show-settings で一覧します。値は画面と同じ検査を通り、
拒否された値はキーと理由を示し、どのファイルも変えません。動いているサービスは
次の起動から使います (systemctl --user restart ratemon)。tube_sensitivity は GM 管の
γ線感度で、単位は cps/mR/h (例えば 18) です。language (ja、en、空はロケール) は
両方のプログラムの表示の言語で、ロケールより優先し、--lang が更に優先します。</source>
        <translation>--set key=value changes a setting and --show-settings lists them all. Each value goes through
the window&apos;s checks; a refused one is told with its key and the reason, and no file changes.
A running service takes a change at its next start (systemctl --user restart ratemon).
tube_sensitivity is the GM tube&apos;s gamma sensitivity in cps/mR/h (for example 18). language
(ja, en, or empty for the locale&apos;s) is both programs&apos; interface language: it goes over the locale, and --lang over it.</translation>
    </message>
    <message>
        <source>画面のない測定局では、ユーザーのサービスとして動かします。まず感度を設定し
(ratemon --set tube_sensitivity=N)、systemctl --user enable --now ratemon.service
で始めます。起動時から、誰もログインしないうちに動かすには sudo loginctl
enable-linger $USER を一度実行します。記録の行とメッセージは journalctl --user -u
ratemon -f で見られます。サービスは失敗すると 15 秒後にもう一度始めます。</source>
        <translation>A station without a screen runs ratemon as a service of its user. Set the sensitivity
first (ratemon --set tube_sensitivity=N), then start it with systemctl --user enable
--now ratemon.service. To run it from boot, before anyone logs in, run sudo loginctl
enable-linger $USER once. journalctl --user -u ratemon -f shows its record lines and
messages. The service starts again 15 s after a failure.</translation>
    </message>
    <message>
        <source>ja、en、または空 (ロケールのまま)</source>
        <translation>ja, en, or empty (the locale&apos;s)</translation>
    </message>
    <message>
        <source>10、20、30、60 のどれか (分)</source>
        <translation>one of 10, 20, 30 and 60 (minutes)</translation>
    </message>
    <message>
        <source>目盛りの上限 (μSv/h) として 0 より大きい数</source>
        <translation>a number above 0, the top of the scale (μSv/h)</translation>
    </message>
    <message>
        <source>00 から 59 までの 2 桁の分 (例: 05)</source>
        <translation>a two-digit minute from 00 to 59 (for example 05)</translation>
    </message>
    <message>
        <source>00 から 23 までの 2 桁の時 (例: 03)</source>
        <translation>a two-digit hour from 00 to 23 (for example 03)</translation>
    </message>
    <message>
        <source>http:// か https:// で始まるアドレス</source>
        <translation>an address starting with http:// or https://</translation>
    </message>
    <message>
        <source>-90 から 90 までの度 (10 進)、または空</source>
        <translation>degrees from -90 to 90 (decimal), or empty</translation>
    </message>
    <message>
        <source>-180 から 180 までの度 (10 進)、または空</source>
        <translation>degrees from -180 to 180 (decimal), or empty</translation>
    </message>
    <message>
        <source>1 から 720 までの整数 (分)</source>
        <translation>a whole number from 1 to 720 (minutes)</translation>
    </message>
    <message>
        <source>警報の鳴らし方の比較 (段階1の警報値に対する線量率ごとに、10分の開始1000回で鳴った割合と、
鳴るまでの秒数の中央値 / 最長):
   70 %: 値で 88.8 % (2 / 600 秒)、95%区間の下限で 0.0 %
  100 %: 値で 100 % (2 / 329 秒)、下限で 30.4 % (250 / 596 秒)
  150 %: 値で 100 % (1 / 58 秒)、下限で 100 % (53 / 343 秒)
  300 %: 値で 100 % (1 / 10 秒)、下限で 100 % (14 / 38 秒)</source>
        <translation>Both alarm rules by the dose rate as a share of the stage-1 limit: the share of 1000
ten-minute starts that sounded, and the seconds to the alarm (median / slowest):
   70 %: on the figure 88.8 % (2 / 600 s), on the 95 % interval&apos;s lower end 0.0 %
  100 %: on the figure 100 % (2 / 329 s), on the lower end 30.4 % (250 / 596 s)
  150 %: on the figure 100 % (1 / 58 s), on the lower end 100 % (53 / 343 s)
  300 %: on the figure 100 % (1 / 10 s), on the lower end 100 % (14 / 38 s)</translation>
    </message>
</context>
<context>
    <name>ScreenGraph</name>
    <message>
        <source>%1 の線量率</source>
        <translation>Dose rate on %1</translation>
    </message>
    <message>
        <source>毎分の線量率 (µSv/h) と時刻</source>
        <translation>The dose rate of each minute (µSv/h) by the time of day</translation>
    </message>
    <message>
        <source>最大 %1 · 平均 %2 µSv/h</source>
        <translation>maximum %1 · mean %2 µSv/h</translation>
    </message>
    <message>
        <source>記録なし</source>
        <translation>no records</translation>
    </message>
    <message>
        <source>時刻 (時)</source>
        <translation>Time of day (h)</translation>
    </message>
    <message>
        <source>%1 の日ごとの線量率</source>
        <translation>Daily dose rates, %1</translation>
    </message>
    <message>
        <source>日ごとの最小～最大の線量率 (µSv/h) と日平均</source>
        <translation>Each day&apos;s lowest to highest dose rate (µSv/h) and the day&apos;s mean</translation>
    </message>
    <message>
        <source>日</source>
        <translation>Day of the month</translation>
    </message>
    <message>
        <source>月</source>
        <translation>Month</translation>
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
    <message>
        <source>%1 を「%2」から「%3」に変更しました。</source>
        <translation>%1 changed from &quot;%2&quot; to &quot;%3&quot;.</translation>
    </message>
    <message>
        <source>変更した設定はありません。</source>
        <translation>No setting changed.</translation>
    </message>
    <message>
        <source>%1 という設定はありません (--show-settings で一覧できます)。設定は変更していません。</source>
        <translation>There is no setting %1 (--show-settings lists them). No setting was changed.</translation>
    </message>
    <message>
        <source>%1 の値に改行は使えません。設定は変更していません。</source>
        <translation>The value of %1 cannot hold a line break. No setting was changed.</translation>
    </message>
    <message>
        <source>%1 に「%2」は使えません。設定は変更していません。</source>
        <translation>&quot;%2&quot; is not a valid value for %1. No setting was changed.</translation>
    </message>
    <message>
        <source>--set にはキー=値を指定してください: 「%1」</source>
        <translation>--set takes key=value: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>測定局フォルダ %1 がありません。作成するには --create を付けてください。</source>
        <translation>The station folder %1 does not exist. Add --create to make it.</translation>
    </message>
    <message>
        <source>測定局フォルダ %1 に書き込めません: %2</source>
        <translation>The station folder %1 is not writable: %2</translation>
    </message>
    <message>
        <source>設定ファイルは値を「&quot;」で囲んで保存するため、値に「&quot;」は使えません。</source>
        <translation>The settings file keeps each value between double quotes, so a value cannot hold a double quote (&quot;).</translation>
    </message>
    <message>
        <source>値に改行は使えません。</source>
        <translation>A value cannot hold a line break.</translation>
    </message>
    <message>
        <source>数を指定してください。</source>
        <translation>Give a number.</translation>
    </message>
    <message>
        <source>画面の表示のとおり %1 から %2 までの数を指定してください。</source>
        <translation>Give a number from %1 to %2, as the window shows.</translation>
    </message>
    <message>
        <source>0 以上の数を指定してください。</source>
        <translation>Give a number of 0 or more.</translation>
    </message>
    <message>
        <source>0 より大きい数を指定してください。</source>
        <translation>Give a number above 0.</translation>
    </message>
    <message>
        <source>ファイルの名前になるため、空にはできません。</source>
        <translation>It becomes part of a file name, so it cannot be empty.</translation>
    </message>
    <message>
        <source>ファイルの名前になるため、「/」と「\」は使えません。</source>
        <translation>It becomes part of a file name, so it cannot hold / or \.</translation>
    </message>
    <message>
        <source>サーバーは host、host:ポート、ftp://host、ftps://host、sftp://host のように指定してください。名前に空白は使えません。</source>
        <translation>Give the server as host, host:port, ftp://host, ftps://host or sftp://host; a name cannot hold spaces.</translation>
    </message>
    <message>
        <source>記録先は csv で終わるファイルの絶対パス (例: /home/station/data/μSVHData_nnnntthh.csv) で指定してください。日ごとのファイルはそのフォルダに書かれ、ファイル名の部分は使われません。</source>
        <translation>Give the record path as the full path of a file ending in csv (e.g. /home/station/data/μSVHData_nnnntthh.csv): the day files are written into its folder, and the file name itself is not used.</translation>
    </message>
    <message>
        <source>フォルダ %1 がありません。先に作ってください。</source>
        <translation>The folder %1 does not exist; make it first.</translation>
    </message>
    <message>
        <source>1 (オン) か 0 (オフ) を指定してください。</source>
        <translation>Give 1 (on) or 0 (off).</translation>
    </message>
    <message>
        <source>この値は使えません。</source>
        <translation>This value cannot be used.</translation>
    </message>
    <message>
        <source>%1 の値は使えません: %2 設定は変更していません。</source>
        <translation>The value given for %1 cannot be used: %2 No setting was changed.</translation>
    </message>
    <message>
        <source>%1 に「%2」は使えません: %3 設定は変更していません。</source>
        <translation>&quot;%2&quot; cannot be used for %1: %3 No setting was changed.</translation>
    </message>
    <message>
        <source>%1を指定してください。</source>
        <translation>Give %1.</translation>
    </message>
</context>
<context>
    <name>StationPage</name>
    <message>
        <source>まだ測定値がありません</source>
        <translation>No reading yet</translation>
    </message>
    <message>
        <source>不明</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>95 % 区間</source>
        <translation>95 % interval</translation>
    </message>
    <message>
        <source>計数率</source>
        <translation>Count rate</translation>
    </message>
    <message>
        <source>時刻</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>状態</source>
        <translation>State</translation>
    </message>
    <message>
        <source>測定中</source>
        <translation>Measuring</translation>
    </message>
    <message>
        <source>記録が止まっています</source>
        <translation>Recording has stopped</translation>
    </message>
    <message>
        <source>故障: 音声入力が失われました</source>
        <translation>Fault: the sound input was lost</translation>
    </message>
    <message>
        <source>故障: 信号の異常</source>
        <translation>Fault: the signal is abnormal</translation>
    </message>
    <message>
        <source>測定中 (計数の上限を超え、値は下限です)</source>
        <translation>Measuring (past the counting limit: the values are lower bounds)</translation>
    </message>
    <message>
        <source>警報 第1段階</source>
        <translation>Alarm, first stage</translation>
    </message>
    <message>
        <source>警報 第2段階</source>
        <translation>Alarm, second stage</translation>
    </message>
    <message>
        <source>今日 (%1)</source>
        <translation>Today (%1)</translation>
    </message>
    <message>
        <source>昨日 (%1)</source>
        <translation>Yesterday (%1)</translation>
    </message>
    <message>
        <source>月 (%1)</source>
        <translation>Month (%1)</translation>
    </message>
    <message>
        <source>年 (%1)</source>
        <translation>Year (%1)</translation>
    </message>
    <message>
        <source>放射線量</source>
        <translation>Radiation</translation>
    </message>
    <message>
        <source>ja</source>
        <comment>the page&apos;s language code (lang attribute)</comment>
        <translation>en</translation>
    </message>
    <message>
        <source>最新の測定値</source>
        <translation>Latest reading</translation>
    </message>
    <message>
        <source>グラフ</source>
        <translation>Graphs</translation>
    </message>
    <message>
        <source>更新: %1</source>
        <translation>Updated %1</translation>
    </message>
    <message>
        <source>今日の毎分の記録 (JSON)</source>
        <translation>Today&apos;s minutes (JSON)</translation>
    </message>
    <message>
        <source>今日のイベント</source>
        <translation>Today&apos;s events</translation>
    </message>
    <message>
        <source>パルス間隔の分布</source>
        <translation>Pulse intervals</translation>
    </message>
    <message>
        <source>上限なし</source>
        <translation>no upper end</translation>
    </message>
    <message>
        <source>下限値: 真の線量率はこれ以上です</source>
        <translation>Lower bound: the true dose rate is at least this</translation>
    </message>
    <message>
        <source>測定中 (%1)</source>
        <translation>Measuring (%1)</translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <comment>a state and the lower bound beside it</comment>
        <translation>%1 · %2</translation>
    </message>
    <message>
        <source>値は下限</source>
        <translation>lower bound</translation>
    </message>
    <message>
        <source>GM管の飽和: 線量率はこの GM管が数えられる範囲を超えています</source>
        <translation>tube saturated: the dose rate is above what this tube can count</translation>
    </message>
    <message>
        <source>疑わしい値: 音声経路の異常の間に測った値で、グラフでは灰色です</source>
        <translation>Suspect value: measured while the sound path was at fault, drawn grey on the graphs</translation>
    </message>
    <message>
        <source>%1 (%2 から)</source>
        <comment>what a state means (since when)</comment>
        <translation>%1 (since %2)</translation>
    </message>
    <message>
        <source>線量率が第2段階の警報値を超えました。</source>
        <translation>The dose rate passed the second stage&apos;s alarm level.</translation>
    </message>
    <message>
        <source>線量率が第1段階の警報値を超えました。</source>
        <translation>The dose rate passed the first stage&apos;s alarm level.</translation>
    </message>
    <message>
        <source>新しい測定値がありません。表示の値は最後の記録のものです。</source>
        <translation>No new readings: the figures shown are the last record&apos;s.</translation>
    </message>
    <message>
        <source>音声が届かず、測定できていません。</source>
        <translation>No sound arrives: nothing is being measured.</translation>
    </message>
    <message>
        <source>この間の値は疑わしく、グラフでは灰色で示し、最大と平均から除きます。</source>
        <translation>Readings in this time are suspect: the graphs draw them grey and leave them out of the maximum and mean.</translation>
    </message>
    <message>
        <source>GM管の飽和</source>
        <translation>Tube saturated</translation>
    </message>
    <message>
        <source>線量率はこの GM管が数えられる範囲を超えています。表示の値は下限で、真の線量率はこれ以上です。</source>
        <translation>The dose rate is above what this tube can count: the figures are lower bounds, the true dose rate is at least this.</translation>
    </message>
    <message>
        <source>値は下限です</source>
        <translation>Lower bound</translation>
    </message>
    <message>
        <source>計数が補正の上限を超えました。真の線量率は表示の値以上です。</source>
        <translation>The count passed the correction&apos;s limit: the true dose rate is at least the figure shown.</translation>
    </message>
    <message>
        <source>今日の線量率 (毎分)</source>
        <translation>Today&apos;s dose rate (each minute)</translation>
    </message>
    <message>
        <source>時刻 (時)</source>
        <translation>Time of day (h)</translation>
    </message>
    <message>
        <source>このグラフはまだありません</source>
        <translation>This graph is not here yet</translation>
    </message>
    <message>
        <source>今日のイベントはありません</source>
        <translation>No events today</translation>
    </message>
    <message>
        <source>パルスの間隔 (ms)</source>
        <translation>Pulse interval (ms)</translation>
    </message>
    <message>
        <source>回数</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>棒: 数えた間隔の数 · 線: ランダムに数える GM管で期待される数</source>
        <translation>Bars: intervals counted · line: what a tube counting at random gives</translation>
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
        <translation>dayplot is not found: %1</translation>
    </message>
    <message>
        <source>データロガー (dayplot) を起動できません: %1</source>
        <translation>Cannot start dayplot: %1</translation>
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
    <message>
        <source>mqtt:// か mqtts:// で始めてください</source>
        <translation>start it with mqtt:// or mqtts://</translation>
    </message>
    <message>
        <source>ホスト名がありません</source>
        <translation>no host name</translation>
    </message>
    <message>
        <source>ポート番号は 1 から 65535 です</source>
        <translation>the port is a number from 1 to 65535</translation>
    </message>
    <message>
        <source>トピックの接頭辞 (/radmon/home など) がありません。+ と # は使えません</source>
        <translation>no topic prefix (such as /radmon/home); + and # are not allowed</translation>
    </message>
    <message>
        <source>MQTT の送信先 URL が正しくありません: %1 (%2)</source>
        <translation>The MQTT URL is not valid: %1 (%2)</translation>
    </message>
    <message>
        <source>MQTT 送信を開始できません: %1。計測には影響しません</source>
        <translation>Cannot start MQTT publishing: %1. Measuring is not affected</translation>
    </message>
    <message>
        <source>MQTT の送信済み記録を保存できません: %1</source>
        <translation>Cannot save which records MQTT has sent: %1</translation>
    </message>
    <message>
        <source>MQTT: 前回までに送れなかった記録 %1 件を送ります</source>
        <translation>MQTT: sending %1 records not sent before</translation>
    </message>
    <message>
        <source>MQTT: --mqtt の URL にパスワードがあります。ps で他のユーザーにも見えるため、環境変数 RADMON_MQTT_PASSWORD か設定ファイルの password= で渡してください</source>
        <translation>MQTT: the --mqtt URL carries a password, which other users see in ps; give it in the environment variable RADMON_MQTT_PASSWORD or as password= in the settings file</translation>
    </message>
    <message>
        <source>局 ID のファイル %1 に使える ID がありません (英小文字・数字・_・- で 32 文字まで)。MQTT 送信はしません。計測には影響しません</source>
        <translation>The station id file %1 holds no usable id (up to 32 of a-z, 0-9, _ and -). Nothing is published over MQTT; measuring is not affected</translation>
    </message>
    <message>
        <source>局 ID をファイル %1 に保存できません。次回の起動では別の ID になります</source>
        <translation>Cannot save the station id in %1; the next start will use another id</translation>
    </message>
    <message>
        <source>MQTT ブローカーに接続しています: %1</source>
        <translation>Connecting to the MQTT broker: %1</translation>
    </message>
    <message>
        <source>MQTT ブローカーに接続しました</source>
        <translation>Connected to the MQTT broker</translation>
    </message>
    <message>
        <source>MQTT ブローカーに接続できません: %1。接続を試み続けます。計測には影響しません</source>
        <translation>Cannot connect to the MQTT broker: %1. Connecting is tried again; measuring is not affected</translation>
    </message>
    <message>
        <source>MQTT ブローカーがユーザー名またはパスワードを受け付けません (%1)。設定を確認してください。計測には影響しません</source>
        <translation>The MQTT broker does not accept the user name or password (%1). Check the settings; measuring is not affected</translation>
    </message>
    <message>
        <source>MQTT ブローカーが接続を拒否しました (%1)。計測には影響しません</source>
        <translation>The MQTT broker refused the connection (%1). Measuring is not affected</translation>
    </message>
    <message>
        <source>MQTT ブローカーの証明書を信頼できません (%1)。CA 証明書ファイルを確認してください。計測には影響しません</source>
        <translation>The MQTT broker&apos;s certificate is not trusted (%1). Check the CA certificate file; measuring is not affected</translation>
    </message>
    <message>
        <source>MQTT ブローカーとの接続が切れました。再接続すると未送信の記録を送ります。計測には影響しません</source>
        <translation>The connection to the MQTT broker was lost. On reconnecting, the unsent records are sent; measuring is not affected</translation>
    </message>
    <message>
        <source>MQTT: ブローカーが受け取りを確認していない記録 %1 件は次回の起動時に送ります</source>
        <translation>MQTT: %1 records the broker has not confirmed will be sent at the next start</translation>
    </message>
    <message>
        <source>接続中</source>
        <translation>Connecting</translation>
    </message>
    <message>
        <source>接続済み</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>接続できません</source>
        <translation>Unreachable</translation>
    </message>
    <message>
        <source>パスワード不可</source>
        <translation>Login refused</translation>
    </message>
    <message>
        <source>接続拒否</source>
        <translation>Refused</translation>
    </message>
    <message>
        <source>証明書不可</source>
        <translation>Untrusted certificate</translation>
    </message>
    <message>
        <source>再接続中</source>
        <translation>Reconnecting</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>none</translation>
    </message>
    <message>
        <source>MQTT: %1&#x3000;最終送信: %2&#x3000;未送信: %3 件</source>
        <translation>MQTT: %1  Last sent: %2  Unsent: %3</translation>
    </message>
    <message>
        <source>送信しない</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>不感時間が正しくありません (0～100000 μs): %1</source>
        <translation>The dead time is not valid (0 to 100000 μs): %1</translation>
    </message>
    <message>
        <source>95%区間 CPM %1～%2
%3～%4 μSv/h</source>
        <translation>95 % interval CPM %1–%2
%3–%4 μSv/h</translation>
    </message>
    <message>
        <source> (τ %1 μs)</source>
        <translation> (τ %1 μs)</translation>
    </message>
    <message>
        <source>≥ %1 CPM ≥ %2 μSv/h
95%区間 ≥ %3 CPM (τ 上限超え)</source>
        <translation>≥ %1 CPM ≥ %2 μSv/h
95 % ≥ %3 CPM (past τ limit)</translation>
    </message>
    <message>
        <source>計数率が不感時間補正の上限を超えました: CPM と線量率は下限値です。</source>
        <translation>The count rate passed the dead-time correction&apos;s limit: CPM and dose rate are lower bounds.</translation>
    </message>
    <message>
        <source>計数率が不感時間補正の上限を下回りました。</source>
        <translation>The count rate is back within the dead-time correction&apos;s limit.</translation>
    </message>
    <message>
        <source>不感時間補正の上限超え: 値は下限</source>
        <translation>Past the dead-time limit: lower bounds</translation>
    </message>
    <message>
        <source>不感時間補正の上限内に戻りました</source>
        <translation>Back within the dead-time limit</translation>
    </message>
    <message>
        <source>間隔からの推定: %1 μs</source>
        <translation>Estimate from intervals: %1 μs</translation>
    </message>
    <message>
        <source>推定にはパルス不足 (最小 %1 μs)</source>
        <translation>Too few pulses yet (τ ≥ %1 μs)</translation>
    </message>
    <message>
        <source>パルス間隔</source>
        <translation>Pulse intervals</translation>
    </message>
    <message>
        <source>不感時間補正</source>
        <translation>Dead time</translation>
    </message>
    <message>
        <source>μs</source>
        <translation>μs</translation>
    </message>
    <message>
        <source>リアルタイムグラフに95%区間</source>
        <translation>95 % interval on the real-time graph</translation>
    </message>
    <message>
        <source>パルス間隔の分布 (横軸は対数)</source>
        <translation>Pulse intervals (logarithmic time axis)</translation>
    </message>
    <message>
        <source>測定</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>ランダムな線源</source>
        <translation>Random source</translation>
    </message>
    <message>
        <source>最短間隔: %1 (不感時間はこれ以下)   計数率: %2 CPM   間隔: %3 個</source>
        <translation>Shortest interval: %1 (dead time is at most this)   Count rate: %2 CPM   Intervals: %3</translation>
    </message>
    <message>
        <source>判定にはパルスが足りません (間隔 %1 個以上が必要です)</source>
        <translation>Too few pulses to judge (at least %1 intervals are needed)</translation>
    </message>
    <message>
        <source>間隔はランダムな放射線の形 (指数分布) に合っています</source>
        <translation>The intervals fit random radiation (an exponential distribution)</translation>
    </message>
    <message>
        <source>2 ms 未満の間隔が多すぎます (%1 個, ランダムなら %2 個): 管の信号がリンギングしています。分解能か不感帯を大きくしてください</source>
        <translation>Too many intervals under 2 ms (%1, random would give %2): the tube&apos;s signal is ringing. Raise the resolution or the dead band</translation>
    </message>
    <message>
        <source>%1 より短い間隔がありません: 分解能がパルスを約 %2 % 取りこぼしています。分解能を小さくするか、不感時間補正を使ってください</source>
        <translation>No interval shorter than %1: the resolution misses about %2 % of the pulses. Lower the resolution or use the dead-time correction</translation>
    </message>
    <message>
        <source>電源 (%1 Hz) の半周期の倍数に間隔の山があります: 電源からの雑音を数えています。配線とシールド、しきい値を見直してください</source>
        <translation>Intervals peak at multiples of the mains half-period (%1 Hz): mains noise is being counted. Check the wiring, the shielding and the threshold</translation>
    </message>
    <message>
        <source>イベント記録に書き込めません: %1 (%2)。%3 件を保持し、次の機会に書き込みます</source>
        <translation>Cannot write the event log: %1 (%2). %3 events are kept and will be written at the next chance</translation>
    </message>
    <message>
        <source>警報音ファイルを書けません: %1</source>
        <translation>Cannot write the alarm sound file: %1</translation>
    </message>
    <message>
        <source>ファイルに書き込めません: %1 (%2)</source>
        <translation>Cannot write the file: %1 (%2)</translation>
    </message>
    <message>
        <source>ロックファイル %1 を開けません (%2)</source>
        <translation>Cannot open the lock file %1 (%2)</translation>
    </message>
    <message>
        <source>開始日時が正しくありません: %1</source>
        <translation>The start date and time is not valid: %1</translation>
    </message>
    <message>
        <source>秒数が正しくありません: %1</source>
        <translation>The number of seconds is not valid: %1</translation>
    </message>
    <message>
        <source>収集データ保存フォルダ</source>
        <translation>Folder for the recorded data</translation>
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
        <source>第二段警報上限値が 0.35 μSV/h 以下か数値でないため、グラフを描けません</source>
        <translation>The graph cannot be drawn: the stage-2 alarm limit is 0.35 μSv/h or less, or not a number</translation>
    </message>
    <message>
        <source>既定の録音デバイス</source>
        <translation>The default recording device</translation>
    </message>
    <message>
        <source>録音デバイス「%1」</source>
        <translation>The recording device &quot;%1&quot;</translation>
    </message>
    <message>
        <source>信号なし</source>
        <translation>No signal</translation>
    </message>
    <message>
        <source>ハム・雑音</source>
        <translation>Hum or interference</translation>
    </message>
    <message>
        <source>音の飽和</source>
        <translation>Clipping</translation>
    </message>
    <message>
        <source>%1が見つかりません。数秒ごとに探します。ある入力: %2</source>
        <translation>%1 is not found. Looking for it every few seconds. Inputs present: %2</translation>
    </message>
    <message>
        <source>%1が失われました。計数を止め、数秒ごとに開き直します。</source>
        <translation>%1 was lost. Counting stopped; reopening every few seconds.</translation>
    </message>
    <message>
        <source>サウンドサーバーに接続できません (%1)。計数を止め、数秒ごとに接続し直します。</source>
        <translation>Cannot connect to the sound server (%1). Counting stopped; reconnecting every few seconds.</translation>
    </message>
    <message>
        <source>%1を待っています (%2 分間音なし)。</source>
        <translation>Still waiting for %1 (no sound for %2 minutes).</translation>
    </message>
    <message>
        <source>このプロセスからはサウンドサーバーに接続できなくなりました。終了します (再起動で直ります)。</source>
        <translation>This process can no longer connect to the sound server. Ending (a restart mends it).</translation>
    </message>
    <message>
        <source>警報音の出力 %1 を開けません。警報は音なしで知らせ、計測を続けます。</source>
        <translation>Cannot open the alarm output %1. Alarms are shown without sound; measuring is not affected.</translation>
    </message>
    <message>
        <source>(既定の出力なし)</source>
        <translation>(no default output)</translation>
    </message>
    <message>
        <source>%1を開けません (エラー %2)。数秒ごとに開き直します。</source>
        <translation>Cannot open %1 (error %2). Reopening every few seconds.</translation>
    </message>
    <message>
        <source>録音ファイルが途中で切れています。</source>
        <translation>The recording file is cut short.</translation>
    </message>
    <message>
        <source>%1が戻りました (%2 秒間音なし)。計数を再開します。</source>
        <translation>%1 is back (%2 seconds without sound). Counting resumes.</translation>
    </message>
    <message>
        <source>音を取りこぼしました: %1 秒分の音がありません。</source>
        <translation>Sound was dropped: %1 seconds of sound are missing.</translation>
    </message>
    <message>
        <source>信号なし: 音が %1 秒間平坦です。ケーブルと入力を確認してください。</source>
        <translation>No signal: the sound has been flat for %1 seconds. Check the cable and the input.</translation>
    </message>
    <message>
        <source>ハム・雑音: 毎秒 %1 個の規則的なパルスは GM管の信号ではありません。</source>
        <translation>Hum or interference: %1 regular pulses a second are not a GM tube&apos;s signal.</translation>
    </message>
    <message>
        <source>音の飽和: %1 秒間、音が入力の限界に達しています。入力レベルを下げてください。</source>
        <translation>Clipping: the sound has been at the input&apos;s limit for %1 seconds. Lower the input level.</translation>
    </message>
    <message>
        <source>%1が解消しました</source>
        <translation>%1 has ended</translation>
    </message>
    <message>
        <source>録音ファイルが途中で切れています</source>
        <translation>The recording file is cut short</translation>
    </message>
    <message>
        <source>録音デバイスなし: 再接続を待っています</source>
        <translation>No recording device: waiting to reconnect</translation>
    </message>
    <message>
        <source>録音デバイスが戻りました</source>
        <translation>The recording device is back</translation>
    </message>
    <message>
        <source>音の取りこぼし %1 秒</source>
        <translation>%1 seconds of sound dropped</translation>
    </message>
    <message>
        <source>信号なし (音が平坦)</source>
        <translation>No signal (flat sound)</translation>
    </message>
    <message>
        <source>信号なし (パルスなし)</source>
        <translation>No signal (no pulses)</translation>
    </message>
    <message>
        <source>ハム・雑音: GM管の信号ではありません</source>
        <translation>Hum or interference: not a GM tube&apos;s signal</translation>
    </message>
    <message>
        <source>電源からの雑音</source>
        <translation>Mains interference</translation>
    </message>
    <message>
        <source>アフターパルス</source>
        <translation>After-pulses</translation>
    </message>
    <message>
        <source>音の飽和: %1 秒間、GM管では出ない広帯域の雑音が入っています。その計数は放射線ではありません。配線と入力レベルを確認してください。</source>
        <translation>Clipping: for %1 seconds the input has carried broadband noise that no GM tube makes; its counts are no radiation. Check the wiring and the input level.</translation>
    </message>
    <message>
        <source>電源からの雑音: 毎秒約 %1 個のパルスが電源 (%2 Hz) の周期に揃っています。配線とシールド、しきい値を見直してください。</source>
        <translation>Mains interference: about %1 pulses a second keep step with the mains (%2 Hz). Check the wiring, the shielding and the threshold.</translation>
    </message>
    <message>
        <source>アフターパルス: 2 ms 未満の間隔がパルスの %1 % あり、偶然では説明できません。GM管と分解能を確認してください。</source>
        <translation>After-pulses: %1 % of the intervals are under 2 ms, more than chance explains. Check the tube and the resolution.</translation>
    </message>
    <message>
        <source>音の飽和: 広帯域の雑音</source>
        <translation>Clipping: broadband noise</translation>
    </message>
    <message>
        <source>電源からの雑音: 電源に揃ったパルス</source>
        <translation>Mains interference: pulses in step with the mains</translation>
    </message>
    <message>
        <source>アフターパルス: 短い間隔が多すぎます</source>
        <translation>After-pulses: too many short intervals</translation>
    </message>
    <message>
        <source>音の飽和: 入力レベルを下げてください</source>
        <translation>Clipping: lower the input level</translation>
    </message>
    <message>
        <source>記録 %1 行を書き込めず、%2 にも保存できませんでした (%3)。</source>
        <translation>%1 record lines could not be written, nor saved to %2 (%3).</translation>
    </message>
    <message>
        <source>書き込めなかった記録 %1 行を %2 に保存しました。次の起動時に日ファイルへ書き込みます。</source>
        <translation>%1 record lines that could not be written were saved to %2. They go into their day files at the next start.</translation>
    </message>
    <message>
        <source>前回書き込めなかった記録 %1 行を日ファイルに書き込みました。</source>
        <translation>%1 record lines left over from the last run were written into their day files.</translation>
    </message>
    <message>
        <source>イベント %1 件を書き込めず、%2 にも保存できませんでした (%3)。</source>
        <translation>%1 events could not be written, nor kept in %2 (%3).</translation>
    </message>
    <message>
        <source>書き込めなかったイベント %1 件を %2 に保存しました。次の起動時にイベント記録へ書き込みます。</source>
        <translation>%1 events that could not be written were kept in %2. The next start writes them into their event logs.</translation>
    </message>
    <message>
        <source>前回書き込めなかったイベント %1 件をイベント記録に書き込みました。</source>
        <translation>%1 events left over from the last run were written into their event logs.</translation>
    </message>
    <message>
        <source>記録ファイルに再び書き込めます: %1。保持していた記録を書き込みました</source>
        <translation>The record file can be written again: %1. The kept lines were written</translation>
    </message>
    <message>
        <source>イベント記録に再び書き込めます: %1。保持していたイベントを書き込みました</source>
        <translation>The event log can be written again: %1. The kept events were written</translation>
    </message>
    <message>
        <source>%1 行はまだ書き込めません (%2)。%3 に残しています。</source>
        <translation>%1 lines still cannot be written (%2). They stay in %3.</translation>
    </message>
    <message>
        <source>入力が指定されていません</source>
        <translation>No input given</translation>
    </message>
    <message>
        <source>シミュレーション入力の指定が正しくありません: %1 (例: sim:20, sim:20:120@13:00-16:00, sim:20,seed=7)</source>
        <translation>The simulated input is not valid: %1 (e.g. sim:20, sim:20:120@13:00-16:00, sim:20,seed=7)</translation>
    </message>
    <message>
        <source>WAVファイルを開けません: %1 (%2)</source>
        <translation>Cannot open the WAV file: %1 (%2)</translation>
    </message>
    <message>
        <source>WAVファイルに音がありません: %1</source>
        <translation>The WAV file holds no sound: %1</translation>
    </message>
    <message>
        <source>WAVファイルはモノラル 22050 Hz でなければなりません: %1 (%2 チャンネル, %3 Hz)</source>
        <translation>The WAV file must be mono at 22050 Hz: %1 (%2 channels, %3 Hz)</translation>
    </message>
    <message>
        <source>放射線モニタ</source>
        <translation>Radiation monitor</translation>
    </message>
    <message>
        <source>線量率</source>
        <translation>Dose rate</translation>
    </message>
    <message>
        <source>計数率</source>
        <translation>Count rate</translation>
    </message>
    <message>
        <source>積算カウント</source>
        <translation>Total count</translation>
    </message>
    <message>
        <source>第一段警報</source>
        <translation>First-stage alarm</translation>
    </message>
    <message>
        <source>第二段警報</source>
        <translation>Second-stage alarm</translation>
    </message>
    <message>
        <source>信号の状態</source>
        <translation>Signal health</translation>
    </message>
    <message>
        <source>設定ファイル %1 の %2 行目を読めないため無視します: %3</source>
        <translation>Line %2 of the settings file %1 cannot be read and is ignored: %3</translation>
    </message>
    <message>
        <source>設定ファイル %1 の %2 行目: %3 の値が正しくないため使いません</source>
        <translation>Line %2 of the settings file %1: the value of %3 is not valid and is not used</translation>
    </message>
    <message>
        <source>設定ファイルのパスワードが他のユーザーにも読めます。所有者だけが読めるようにしてください (chmod 600): %1</source>
        <translation>Other users can read the password in the settings file. Make it readable by its owner only (chmod 600): %1</translation>
    </message>
    <message>
        <source>途中で切れた %1 行は記録として読めないため捨てました。</source>
        <translation>%1 cut-off lines are no records and were dropped.</translation>
    </message>
    <message>
        <source>シーベルト計算はこのフォルダで既に起動しています（%1 を使用中）。サービスとして動いている場合は systemctl --user stop ratemon で止められます。</source>
        <translation>The dose monitor is already running in this folder (%1 is in use). If it runs as the service, systemctl --user stop ratemon stops it.</translation>
    </message>
    <message>
        <source>画面がないためウィンドウを開けません。画面なしで測定するには ratemon --headless --input SOURCE を使ってください。</source>
        <translation>There is no screen to open the window on. To measure without a window, use ratemon --headless --input SOURCE.</translation>
    </message>
    <message>
        <source>線量率 95%区間の下限</source>
        <translation>Dose rate, 95 % interval low</translation>
    </message>
    <message>
        <source>線量率 95%区間の上限</source>
        <translation>Dose rate, 95 % interval high</translation>
    </message>
    <message>
        <source>HTTP の待ち受けアドレスが正しくありません (PORT, 127.0.0.1:PORT, [::]:PORT など): %1</source>
        <translation>Not an address to listen on for HTTP (PORT, 127.0.0.1:PORT, [::]:PORT and the like): %1</translation>
    </message>
    <message>
        <source>ライブページ: http://%1/</source>
        <translation>Live page: http://%1/</translation>
    </message>
    <message>
        <source>HTTP %1 で断られました</source>
        <translation>refused with HTTP %1</translation>
    </message>
    <message>
        <source>接続できません (libcurl %1)</source>
        <translation>not reachable (libcurl %1)</translation>
    </message>
    <message>
        <source>%1: 送信できません: %2。送れなかった分は %3 分待っていて、後で送ります</source>
        <translation>%1: could not send: %2. %3 minutes are waiting and go later</translation>
    </message>
    <message>
        <source>%1: 送信が戻りました</source>
        <translation>%1: sending again</translation>
    </message>
    <message>
        <source>%1: 現在値しか受け付けないため、溜まった %2 分を飛ばし最新の値を送ります</source>
        <translation>%1: takes only the current reading: skipped %2 waiting minutes and sent the newest</translation>
    </message>
    <message>
        <source>%1: 送れなかった %2 分は次回の起動時に送ります</source>
        <translation>%1: %2 minutes not sent; they go at the next start</translation>
    </message>
    <message>
        <source>%1: 未送信</source>
        <translation>%1: nothing sent yet</translation>
    </message>
    <message>
        <source>%1: 送信済み</source>
        <translation>%1: sent</translation>
    </message>
    <message>
        <source>%1: %2 (待ち %3 分)</source>
        <translation>%1: %2 (%3 minutes waiting)</translation>
    </message>
    <message>
        <source>第一段警報を解除しました</source>
        <translation>Stage 1 alarm reset</translation>
    </message>
    <message>
        <source>第二段警報を解除しました</source>
        <translation>Stage 2 alarm reset</translation>
    </message>
    <message>
        <source>GM管の飽和: 線量率はこの GM管が数えられる範囲を超えています。</source>
        <translation>tube saturated: the dose rate is above what this tube can count</translation>
    </message>
    <message>
        <source>GM管の飽和が解けました: 計数は再び GM管の範囲内です。</source>
        <translation>tube no longer saturated: the count is within what this tube can count again</translation>
    </message>
    <message>
        <source>GM管の飽和: 値は下限</source>
        <translation>Tube saturated: the figures are lower bounds</translation>
    </message>
    <message>
        <source>線量率は下限値</source>
        <translation>Dose rate is a lower bound</translation>
    </message>
    <message>
        <source>GM管の飽和が解けました</source>
        <translation>Tube no longer saturated</translation>
    </message>
    <message>
        <source>信号なし: %1 秒間パルスがありません (%2 CPM のバックグラウンドでは百万分の一以下)。入力が途絶えたか、GM管が飽和してパルスを出さなくなっています。</source>
        <translation>No signal: no pulse for %1 seconds (less than one in a million at a background of %2 CPM). The input is dead, or the tube is saturated so far that it gives no pulses.</translation>
    </message>
    <message>
        <source>≥ %1 CPM ≥ %2 μSv/h
95%区間 ≥ %3 CPM (GM管の飽和)</source>
        <translation>≥ %1 CPM ≥ %2 μSv/h
95 % ≥ %3 CPM (tube saturated)</translation>
    </message>
    <message>
        <source>警報は95%区間の下限が警報値を10秒続けて超えたときに鳴らす (1パルスや偶然の1分では鳴らない)</source>
        <translation>Alarm only when the 95 % interval&apos;s lower end stays over the limit for 10 s (not on one pulse or a chance minute)</translation>
    </message>
    <message>
        <source>第一段警報: パルスがありません (入力が切れているか、GM管がパルスを出せないほど飽和しています)</source>
        <translation>Stage 1 alarm: no pulses (the input is dead, or the tube is saturated so far that it gives no pulses)</translation>
    </message>
    <message>
        <source>第二段警報: パルスがありません (入力が切れているか、GM管がパルスを出せないほど飽和しています)</source>
        <translation>Stage 2 alarm: no pulses (the input is dead, or the tube is saturated so far that it gives no pulses)</translation>
    </message>
    <message>
        <source>画面なしでは ratemon --set tube_sensitivity=N で設定してください (N は GM 管のγ線感度、cps/mR/h、例えば 18)。</source>
        <translation>Without a screen, set it with ratemon --set tube_sensitivity=N (N is the GM tube&apos;s gamma sensitivity in cps/mR/h, for example 18).</translation>
    </message>
    <message>
        <source>--headless には --input SOURCE が必要です (録音デバイスは --input default)。</source>
        <translation>--headless needs --input SOURCE (the sound card: --input default).</translation>
    </message>
    <message>
        <source>%1 の後に値を指定してください。</source>
        <translation>Give a value after %1.</translation>
    </message>
    <message>
        <source>%1: 入力を取り消しました。%2</source>
        <translation>%1: the typing was undone. %2</translation>
    </message>
    <message>
        <source>%1: 普通の範囲の外です。%2 入力された値のまま使います。</source>
        <translation>%1: outside the usual range. %2 The value is used as typed.</translation>
    </message>
    <message>
        <source>記録が止まったため、入力が失われていた期間をここで閉じます。</source>
        <translation>Recording stopped: the period of the lost input is closed here.</translation>
    </message>
    <message>
        <source>記録が止まったため、信号の異常の期間をここで閉じます。</source>
        <translation>Recording stopped: the period of the signal fault is closed here.</translation>
    </message>
    <message>
        <source>ライブページを %1 で開けません (%2)。計測は続け、開けるまで %3 秒ごとに試します</source>
        <translation>The live page cannot be opened at %1 (%2). Measuring goes on, and it is tried again every %3 s until it opens</translation>
    </message>
    <message>
        <source>radmon.org がユーザ「%1」のパスワードを拒否しました</source>
        <translation>radmon.org refused the password for user &quot;%1&quot;</translation>
    </message>
    <message>
        <source>radmon.org にユーザ「%1」は登録されていません</source>
        <translation>radmon.org does not know the user &quot;%1&quot; (it asks to register)</translation>
    </message>
    <message>
        <source>GMCmap にアカウント ID「%1」はありません (ERR1)</source>
        <translation>GMCmap does not know the account ID &quot;%1&quot; (ERR1)</translation>
    </message>
    <message>
        <source>GMCmap にガイガーカウンタ ID「%1」はありません (ERR2)</source>
        <translation>GMCmap does not know the Geiger counter ID &quot;%1&quot; (ERR2)</translation>
    </message>
    <message>
        <source>%1 が受け付けたとも断ったとも読めない応答をしました:「%2」</source>
        <translation>%1 answered with neither a success nor a known refusal: &quot;%2&quot;</translation>
    </message>
    <message>
        <source>%1。送れなかった %2 分は待っていて、受け付けられたら送ります</source>
        <translation>%1. The %2 minutes not sent wait and go once it takes them</translation>
    </message>
    <message>
        <source>%1 (出力のモニター)</source>
        <translation>%1 (an output&apos;s monitor)</translation>
    </message>
    <message>
        <source>警報音の出力 %1 に戻りました。警報は再び音でも知らせます。</source>
        <translation>The alarm output %1 is back: alarms sound again.</translation>
    </message>
    <message>
        <source>%1: この値は記録先として使えません。%2</source>
        <translation>%1: this value cannot be used as the record path. %2</translation>
    </message>
</context>
<context>
    <name>collect</name>
    <message>
        <source>アドレスは mqtt:// か mqtts:// で始めてください</source>
        <translation>The address must start with mqtt:// or mqtts://</translation>
    </message>
    <message>
        <source>アドレスにホスト名がありません</source>
        <translation>The address has no host name</translation>
    </message>
    <message>
        <source>アドレスのポート番号が正しくありません</source>
        <translation>The address&apos;s port number is not valid</translation>
    </message>
    <message>
        <source>アドレスにトピックの接頭辞がありません (+ と # は使えません)</source>
        <translation>The address has no topic prefix (+ and # cannot be used)</translation>
    </message>
    <message>
        <source>不明な引数: %1</source>
        <translation>Unknown argument: %1</translation>
    </message>
    <message>
        <source>局名をフォルダ名にできません: %1</source>
        <translation>The station name cannot be a folder name: %1</translation>
    </message>
    <message>
        <source>記録として読めないメッセージです: %1</source>
        <translation>A message that cannot be read as a record: %1</translation>
    </message>
    <message>
        <source>記録を書き込めません (%1): %2</source>
        <translation>Cannot write the record (%1): %2</translation>
    </message>
    <message>
        <source>ブローカーに接続しました: %1</source>
        <translation>Connected to the broker: %1</translation>
    </message>
    <message>
        <source>ブローカーとの接続が切れました。再接続します</source>
        <translation>The connection to the broker was lost; connecting again</translation>
    </message>
    <message>
        <source>ブローカーとの通信に失敗しました (証明書を確認してください): %1</source>
        <translation>Talking to the broker failed (check the certificate): %1</translation>
    </message>
    <message>
        <source>ブローカーが接続を拒否しました (ユーザー名とパスワードを確認してください): %1</source>
        <translation>The broker refused the connection (check the user name and password): %1</translation>
    </message>
    <message>
        <source>開始できません: %1</source>
        <translation>Cannot start: %1</translation>
    </message>
    <message>
        <source>書き込んだ記録: %1</source>
        <translation>Records written: %1</translation>
    </message>
    <message>
        <source>、再送を待っていた欠け: %1 か所</source>
        <translation>, gaps still waiting to be sent again: %1</translation>
    </message>
    <message>
        <source>局 %1 の記録 %2 ～ %3 が欠けています。局に再送を頼みます</source>
        <translation>Station %1&apos;s records %2 to %3 are missing; asking the station to send them again</translation>
    </message>
    <message>
        <source>局 %1 の記録 %2 ～ %3 は再送を頼んでも届きません。欠けたままです</source>
        <translation>Station %1&apos;s records %2 to %3 did not arrive when asked again; they stay missing</translation>
    </message>
    <message>
        <source>ブローカーでの名前 (クライアント ID): %1</source>
        <translation>Name at the broker (client ID): %1</translation>
    </message>
    <message>
        <source>ログファイルに書き込めません: %1</source>
        <translation>Cannot write to the log file: %1</translation>
    </message>
</context>
<context>
    <name>dayplot</name>
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
        <translation>Radiation Day Graph</translation>
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
        <source>FTP転送成功: %1 (%2)</source>
        <translation>FTP transfer done: %1 (%2)</translation>
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
        <source>FTPクライアントの出力:
%1</source>
        <translation>The FTP client&apos;s output:
%1</translation>
    </message>
    <message>
        <source>この期間の記録ファイルがありません</source>
        <translation>No record files for this period</translation>
    </message>
    <message>
        <source>月はyyyymmの6桁で指定してください: %1</source>
        <translation>Give the month as six digits, yyyymm: %1</translation>
    </message>
    <message>
        <source>年はyyyyの4桁で指定してください: %1</source>
        <translation>Give the year as four digits, yyyy: %1</translation>
    </message>
    <message>
        <source>%1 のグラフを作成します</source>
        <translation>Drawing the graph of %1</translation>
    </message>
    <message>
        <source>日の最小～最大</source>
        <translation>Daily min to max</translation>
    </message>
    <message>
        <source>日平均</source>
        <translation>Daily mean</translation>
    </message>
    <message>
        <source>異常のあった日</source>
        <translation>Days with faults</translation>
    </message>
    <message>
        <source>記録のある日: %1 / %2</source>
        <translation>Days with records: %1 / %2</translation>
    </message>
    <message>
        <source>(95%: %1～%2)</source>
        <translation>(95 %: %1 to %2)</translation>
    </message>
    <message>
        <source>設定ファイルを読めません: %1</source>
        <translation>Cannot read the settings file: %1</translation>
    </message>
    <message>
        <source>設定ファイル %1 の読めない行を無視しました: %2</source>
        <translation>Ignored lines of the settings file %1 that cannot be read: %2</translation>
    </message>
    <message>
        <source> %1 に再送します</source>
        <translation>, retrying at %1</translation>
    </message>
    <message>
        <source>送信待ちに残しました。%1 以降の dayplot の実行で送ります</source>
        <translation>Kept in the queue: a run of dayplot from %1 on sends it</translation>
    </message>
    <message>
        <source>: %1</source>
        <translation>: %1</translation>
    </message>
    <message>
        <source>FTPクライアントが時間内に終わらなかったため中止しました</source>
        <translation>Stopped: the FTP client did not end in time</translation>
    </message>
    <message>
        <source>終了の指示により中止しました</source>
        <translation>Stopped on the request to quit</translation>
    </message>
    <message>
        <source>サーバ名が入っていません</source>
        <translation>no server name</translation>
    </message>
    <message>
        <source>ポート番号は 1〜65535 の数で書いてください</source>
        <translation>the port must be a number from 1 to 65535</translation>
    </message>
    <message>
        <source>使えるのは ftp://, ftps://, sftp:// だけです</source>
        <translation>only ftp://, ftps:// and sftp:// can be used</translation>
    </message>
    <message>
        <source>サーバ名の書き方が正しくありません</source>
        <translation>the server name is not written correctly</translation>
    </message>
    <message>
        <source>サーバ名とポート番号のほかに余分な語があります</source>
        <translation>there are extra words besides the server name and port</translation>
    </message>
    <message>
        <source>FTP転送を行えません。サーバ名の欄「%1」: %2。
書き方: host, host 2121, host:2121, [::1]:2121, ftp://host, ftps://host, sftp://host</source>
        <translation>Cannot upload by FTP. Server box &quot;%1&quot;: %2.
Write it as: host, host 2121, host:2121, [::1]:2121, ftp://host, ftps://host, sftp://host</translation>
    </message>
    <message>
        <source>昨日分自動処理の時刻「%1時%2分」は時・分とも2桁 (例: 03) で入れてください。このままでは昨日分は処理されません</source>
        <translation>Enter the time for yesterday&apos;s automatic processing (&quot;%1:%2&quot;) with two digits for both hour and minute (e.g. 03). As it is, yesterday will not be processed</translation>
    </message>
    <message>
        <source>昨日分 %1 のグラフはまだ転送されていません</source>
        <translation>Yesterday&apos;s graph %1 has not been uploaded yet</translation>
    </message>
    <message>
        <source>再送の控えを書き込めません: %1</source>
        <translation>Cannot write the list of uploads to retry: %1</translation>
    </message>
    <message>
        <source>再送の控えをまた書き込めるようになりました</source>
        <translation>The list of uploads to retry can be written again</translation>
    </message>
    <message>
        <source>設定ファイルを読めないため、初期設定で動きます: %1</source>
        <translation>Cannot read the settings file, so the initial settings are used: %1</translation>
    </message>
    <message>
        <source>%1

この証明書を信頼しますか?
指紋 (SHA-256):
%2</source>
        <translation>%1

Trust this certificate?
Fingerprint (SHA-256):
%2</translation>
    </message>
    <message>
        <source>証明書を信頼する設定を保存できません。
%1</source>
        <translation>Cannot save the certificate trust.
%1</translation>
    </message>
    <message>
        <source>%1

この SSH ホスト鍵を信頼しますか?
指紋:
%2</source>
        <translation>%1

Trust this SSH host key?
Fingerprint:
%2</translation>
    </message>
    <message>
        <source>SSH ホスト鍵を信頼する設定を保存できません。
%1</source>
        <translation>Cannot save the SSH host key trust.
%1</translation>
    </message>
    <message>
        <source>指紋は SHA-256 の16進64桁 (コロン区切り可) で書いてください: %1</source>
        <translation>Write a fingerprint as the 64 hex digits of SHA-256 (colons allowed): %1</translation>
    </message>
    <message>
        <source>SSH ホスト鍵の指紋は ssh-keygen -l が示す SHA256:… の形で書いてください: %1</source>
        <translation>Write an SSH host key fingerprint as ssh-keygen -l shows it, SHA256:…: %1</translation>
    </message>
    <message>
        <source>転送の詳細設定を保存できません。
%1</source>
        <translation>Cannot save the upload settings.
%1</translation>
    </message>
    <message>
        <source>今回だけ信頼</source>
        <translation>Trust this time</translation>
    </message>
    <message>
        <source>常に信頼</source>
        <translation>Always trust</translation>
    </message>
    <message>
        <source>拒否</source>
        <translation>Refuse</translation>
    </message>
    <message>
        <source>転送の詳細設定</source>
        <translation>Upload settings</translation>
    </message>
    <message>
        <source>TLS必須 (暗号化できないサーバには接続しない)</source>
        <translation>TLS required (never connect to a server that cannot encrypt)</translation>
    </message>
    <message>
        <source> 分</source>
        <translation> min</translation>
    </message>
    <message>
        <source>参照</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>信頼する証明書ファイル (PEM)</source>
        <translation>Trusted certificate file (PEM)</translation>
    </message>
    <message>
        <source>信頼する証明書ファイル</source>
        <translation>Trusted certificate file</translation>
    </message>
    <message>
        <source>信頼する証明書の指紋 (SHA-256、1行に1つ)</source>
        <translation>Trusted certificate fingerprints (SHA-256, one per line)</translation>
    </message>
    <message>
        <source>信頼する SSH ホスト鍵の指紋 (SHA256:…、1行に1つ)</source>
        <translation>Trusted SSH host key fingerprints (SHA256:…, one per line)</translation>
    </message>
    <message>
        <source>SFTPの鍵ファイル</source>
        <translation>SFTP key file</translation>
    </message>
    <message>
        <source>転送に失敗したときの再送間隔 (失敗のたびに2倍)</source>
        <translation>Retry after a failed upload (doubles on each failure)</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>鍵ファイルを使うとき、ﾊﾟｽﾜｰﾄﾞ欄は鍵のパスフレーズです。</source>
        <translation>With a key file, the password box holds the key&apos;s passphrase.</translation>
    </message>
    <message>
        <source>月グラフ</source>
        <translation>Month graph</translation>
    </message>
    <message>
        <source>年グラフ</source>
        <translation>Year graph</translation>
    </message>
    <message>
        <source>(年 月の欄の月または年)</source>
        <translation>(the month or year in the year and month boxes)</translation>
    </message>
    <message>
        <source>障害</source>
        <translation>Fault</translation>
    </message>
    <message>
        <source>録音デバイスなし</source>
        <translation>No recording device</translation>
    </message>
    <message>
        <source>信号なし</source>
        <translation>No signal</translation>
    </message>
    <message>
        <source>ハム・雑音</source>
        <translation>Hum or interference</translation>
    </message>
    <message>
        <source>音の飽和</source>
        <translation>Clipping</translation>
    </message>
    <message>
        <source>電源からの雑音</source>
        <translation>Mains interference</translation>
    </message>
    <message>
        <source>アフターパルス</source>
        <translation>After-pulses</translation>
    </message>
    <message>
        <source>%1 の音の障害 (グラフに薄い帯で表示): %2</source>
        <translation>Sound faults of %1 (light bands on the graph): %2</translation>
    </message>
    <message>
        <source>ファイルに書き込めません: %1 (%2)</source>
        <translation>Cannot write the file: %1 (%2)</translation>
    </message>
    <message>
        <source>設定ファイル %1 の %2 の値が正しくないため使いません</source>
        <translation>The settings file %1: the value of %2 is not valid and is not used</translation>
    </message>
    <message>
        <source>FTPスクリプトに誤りがあります</source>
        <translation>The FTP script has errors</translation>
    </message>
    <message>
        <source>サーバに接続できません</source>
        <translation>The server cannot be reached</translation>
    </message>
    <message>
        <source>サーバ名を引けません (名前解決の失敗)</source>
        <translation>The server name cannot be looked up (name resolution failed)</translation>
    </message>
    <message>
        <source>サーバの証明書を信頼できません</source>
        <translation>The server&apos;s certificate cannot be trusted</translation>
    </message>
    <message>
        <source>SSH サーバの鍵を確かめられません</source>
        <translation>The SSH server&apos;s key cannot be confirmed</translation>
    </message>
    <message>
        <source>ログインを拒否されました (ユーザ名かパスワード)</source>
        <translation>The login was refused (user name or password)</translation>
    </message>
    <message>
        <source>サーバのフォルダがないか、入る権限がありません</source>
        <translation>The server folder does not exist, or may not be entered</translation>
    </message>
    <message>
        <source>サーバの空き容量が足りないか、容量の上限に達しています</source>
        <translation>The server is out of space or has reached its quota</translation>
    </message>
    <message>
        <source>サーバが書き込みかコマンドを拒否しました</source>
        <translation>The server refused the write or a command</translation>
    </message>
    <message>
        <source>サーバが応答しないか、転送が止まりました</source>
        <translation>The server does not answer, or the transfer stopped</translation>
    </message>
    <message>
        <source>転送中に接続が切れました (送り直しても同じでした)</source>
        <translation>The connection broke during the transfer (also when sent again)</translation>
    </message>
    <message>
        <source>サーバが TLS (暗号化) を断りました</source>
        <translation>The server refused TLS (encryption)</translation>
    </message>
    <message>
        <source>サーバがファイル名の変更を受け付けないため、直接上書きしました。上書きの間は書きかけのファイルが見えることがあります</source>
        <translation>The server does not accept renaming, so the file was overwritten directly. While it is being overwritten, a partial file may be visible</translation>
    </message>
    <message>
        <source>送るファイルがないか、読めません</source>
        <translation>The file to send is missing or cannot be read</translation>
    </message>
    <message>
        <source>SSH サーバの鍵を初めて受け取りました。指紋がサーバのものか確かめてください</source>
        <translation>The SSH server&apos;s key was received for the first time. Check that the fingerprint is the server&apos;s</translation>
    </message>
    <message>
        <source> (指紋 %1。鍵を替えたのが確かなら dayplot_publish.ini の TrustedHostKeys に加えてください)</source>
        <translation> (fingerprint %1. If you are sure the key was changed, add it to TrustedHostKeys in dayplot_publish.ini)</translation>
    </message>
    <message>
        <source>dayplot はこの測定局で既に動いています (%1 を使用中)。サービスとして動いている場合は systemctl --user stop dayplot で止められます。</source>
        <translation>dayplot is already running for this station (%1 is in use). If it runs as the service, systemctl --user stop dayplot stops it.</translation>
    </message>
    <message>
        <source>ロックファイル %1 を開けません (%2)</source>
        <translation>Cannot open the lock file %1 (%2)</translation>
    </message>
    <message>
        <source>SSH サーバ %1 の鍵を初めて受け取り、記録しました (指紋 %2)。サーバの鍵の指紋と同じか確かめてください</source>
        <translation>The key of SSH server %1 was received for the first time and kept (fingerprint %2). Check that it matches the fingerprint of the server&apos;s key</translation>
    </message>
    <message>
        <source>観測局のページを書き込めず、送りません: %1 (%2)</source>
        <translation>The station&apos;s page could not be written and is not sent: %1 (%2)</translation>
    </message>
    <message>
        <source>観測局のページも転送する (index.html、readings.json、グラフ)</source>
        <translation>Also send the station&apos;s page (index.html, readings.json, graphs)</translation>
    </message>
    <message>
        <source>SSH サーバの鍵は失効済みとされています (known_hosts の @revoked)</source>
        <translation>The SSH server&apos;s key is marked revoked (@revoked in known_hosts)</translation>
    </message>
    <message>
        <source>自作GM管</source>
        <translation>GM tube</translation>
    </message>
    <message>
        <source>Form1</source>
        <translation>Day graph</translation>
    </message>
    <message>
        <source>(バックグラウンド以下)</source>
        <translation>(at or below background)</translation>
    </message>
    <message>
        <source>記録が23時間未満の日</source>
        <translation>Days under 23 h of records</translation>
    </message>
    <message>
        <source>入力を取り消しました: %1</source>
        <translation>Typing undone: %1</translation>
    </message>
</context>
<context>
    <name>ftpscript</name>
    <message>
        <source>TLS の接続を確立できません</source>
        <translation>The TLS connection cannot be established</translation>
    </message>
    <message>
        <source>自己署名の証明書です</source>
        <translation>The certificate is self-signed</translation>
    </message>
    <message>
        <source>発行元が信頼されていない証明書です</source>
        <translation>The certificate&apos;s issuer is not trusted</translation>
    </message>
    <message>
        <source>証明書の有効期限が切れています</source>
        <translation>The certificate has expired</translation>
    </message>
    <message>
        <source>証明書の有効期間がまだ始まっていません</source>
        <translation>The certificate is not valid yet</translation>
    </message>
    <message>
        <source>証明書が別のサーバ名に発行されています (接続先 %1)</source>
        <translation>The certificate was issued for another server name (connected to %1)</translation>
    </message>
    <message>
        <source>証明書を検証できません: %1</source>
        <translation>The certificate cannot be verified: %1</translation>
    </message>
    <message>
        <source>サーバ名がありません</source>
        <translation>No server name</translation>
    </message>
    <message>
        <source>ポート番号が正しくありません (1〜65535)</source>
        <translation>The port number is wrong (1 to 65535)</translation>
    </message>
    <message>
        <source>使えるのは ftp://, ftps://, sftp:// だけです</source>
        <translation>Only ftp://, ftps:// and sftp:// can be used</translation>
    </message>
    <message>
        <source>サーバ名の書き方が正しくありません</source>
        <translation>The server name is not written correctly</translation>
    </message>
    <message>
        <source>サーバ名とポート番号のほかに余分な語があります</source>
        <translation>There are extra words besides the server name and the port number</translation>
    </message>
    <message>
        <source>サーバ名 %1 を引けません (名前解決の失敗)。サーバ名とネットワークを確かめてください</source>
        <translation>The server name %1 cannot be looked up (name resolution failed). Check the server name and the network</translation>
    </message>
    <message>
        <source>接続を拒否されました (%1)。サーバ名とポート番号を確かめてください</source>
        <translation>The connection was refused (%1). Check the server name and the port number</translation>
    </message>
    <message>
        <source>サーバに接続できません (%1)</source>
        <translation>The server cannot be reached (%1)</translation>
    </message>
    <message>
        <source>サーバが応答しません (%1)</source>
        <translation>The server does not answer (%1)</translation>
    </message>
    <message>
        <source>転送が止まったまま進みません (%1)</source>
        <translation>The transfer has stopped moving (%1)</translation>
    </message>
    <message>
        <source>TLS が必須ですが、サーバが TLS を断りました。パスワードは送っていません</source>
        <translation>TLS is required, but the server refused TLS. The password was not sent</translation>
    </message>
    <message>
        <source>以前は TLS で接続できたサーバが、暗号化を断りました。通信が改ざんされているおそれがあるため接続しません。パスワードは送っていません</source>
        <translation>A server that accepted TLS before has refused encryption. The connection may have been tampered with, so it is not used. The password was not sent</translation>
    </message>
    <message>
        <source>サーバの証明書を信頼できません: %1。パスワードは送っていません。信頼するには、転送の詳細設定に証明書ファイルか下の指紋を登録してください</source>
        <translation>The server&apos;s certificate cannot be trusted: %1. The password was not sent. To trust it, add a certificate file or the fingerprint below in the transfer settings</translation>
    </message>
    <message>
        <source>証明書の指紋 (SHA-256): %1</source>
        <translation>Certificate fingerprint (SHA-256): %1</translation>
    </message>
    <message>
        <source>ユーザ名かパスワードが違います</source>
        <translation>The user name or the password is wrong</translation>
    </message>
    <message>
        <source>フォルダがないか、入る権限がありません</source>
        <translation>The folder does not exist, or may not be entered</translation>
    </message>
    <message>
        <source>サーバの空き容量が足りないか、容量の上限に達しています</source>
        <translation>The server is out of space or has reached its quota</translation>
    </message>
    <message>
        <source>サーバが書き込みを拒否しました</source>
        <translation>The server refused the write</translation>
    </message>
    <message>
        <source>サーバがファイル名の変更 (一時ファイルから本来の名前へ) を拒否しました</source>
        <translation>The server refused the rename (from the temporary file to the real name)</translation>
    </message>
    <message>
        <source>転送中に接続が切れました</source>
        <translation>The connection broke during the transfer</translation>
    </message>
    <message>
        <source>ローカルファイルを読み書きできません: %1</source>
        <translation>The local file cannot be read or written: %1</translation>
    </message>
    <message>
        <source>失敗しました</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>サーバの応答: %1</source>
        <translation>Server reply: %1</translation>
    </message>
    <message>
        <source>信頼する証明書のファイルを開けません: %1</source>
        <translation>The trusted certificate file cannot be opened: %1</translation>
    </message>
    <message>
        <source>信頼する証明書のファイルに証明書 (PEM) がありません: %1</source>
        <translation>The trusted certificate file holds no certificate (PEM): %1</translation>
    </message>
    <message>
        <source>引用符が閉じていません</source>
        <translation>A quotation mark is not closed</translation>
    </message>
    <message>
        <source>不明なコマンド: %1</source>
        <translation>Unknown command: %1</translation>
    </message>
    <message>
        <source>%1: 引数が足りません</source>
        <translation>%1: too few arguments</translation>
    </message>
    <message>
        <source>%1: 引数が多すぎます</source>
        <translation>%1: too many arguments</translation>
    </message>
    <message>
        <source>type: 不明な転送モード: %1</source>
        <translation>type: unknown transfer mode: %1</translation>
    </message>
    <message>
        <source>%1: 次の行にユーザ名がありません</source>
        <translation>%1: no user name on the next line</translation>
    </message>
    <message>
        <source>%1: パスワードの行がありません</source>
        <translation>%1: no password line</translation>
    </message>
    <message>
        <source>%1 の %2 行目を読めないため無視します: %3</source>
        <translation>Line %2 of %1 cannot be read and is ignored: %3</translation>
    </message>
    <message>
        <source>%1 の %2 行目: %3 の値が正しくないため使いません</source>
        <translation>Line %2 of %1: the value of %3 is wrong and is not used</translation>
    </message>
    <message>
        <source>転送の詳細設定を読めません: %1</source>
        <translation>The transfer settings cannot be read: %1</translation>
    </message>
    <message>
        <source>スクリプトが指定されていません (-s:)</source>
        <translation>No script given (-s:)</translation>
    </message>
    <message>
        <source>不明な引数: %1</source>
        <translation>Unknown argument: %1</translation>
    </message>
    <message>
        <source>-t: の秒数が正しくありません: %1</source>
        <translation>Wrong number of seconds for -t: %1</translation>
    </message>
    <message>
        <source>--lang には ja か en を指定してください: %1</source>
        <translation>--lang takes ja or en: %1</translation>
    </message>
    <message>
        <source>暗号化あり</source>
        <translation>encrypted</translation>
    </message>
    <message>
        <source>暗号化なし</source>
        <translation>not encrypted</translation>
    </message>
    <message>
        <source>アスキー</source>
        <translation>ASCII</translation>
    </message>
    <message>
        <source>バイナリ</source>
        <translation>binary</translation>
    </message>
    <message>
        <source>接続: %1 %2</source>
        <translation>Connecting: %1 %2</translation>
    </message>
    <message>
        <source>ログイン ... 成功 (%1)</source>
        <translation>Login ... done (%1)</translation>
    </message>
    <message>
        <source>転送モード: %1</source>
        <translation>Transfer mode: %1</translation>
    </message>
    <message>
        <source>フォルダ: %1</source>
        <translation>Folder: %1</translation>
    </message>
    <message>
        <source>ローカルフォルダ: %1</source>
        <translation>Local folder: %1</translation>
    </message>
    <message>
        <source>転送: %1 -&gt; %2</source>
        <translation>Sending: %1 -&gt; %2</translation>
    </message>
    <message>
        <source>転送: %1 ... 成功 (%2 バイト)</source>
        <translation>Sending: %1 ... done (%2 bytes)</translation>
    </message>
    <message>
        <source>転送: %1 ... 接続が切れたため送り直しました (%2 回)</source>
        <translation>Sending: %1 ... sent again after the connection broke (%2 times)</translation>
    </message>
    <message>
        <source>注意: サーバ %1 はファイル名の変更を受け付けないため、一時ファイルを使わずに直接上書きします。上書きの間は書きかけのファイルが見えることがあります</source>
        <translation>Note: server %1 does not accept renaming, so files are overwritten directly without a temporary file. While one is being overwritten, a partial file may be visible</translation>
    </message>
    <message>
        <source>受信: %1 -&gt; %2</source>
        <translation>Receiving: %1 -&gt; %2</translation>
    </message>
    <message>
        <source>受信: %1 ... 成功 (%2 バイト)</source>
        <translation>Receiving: %1 ... done (%2 bytes)</translation>
    </message>
    <message>
        <source>%1 ... 成功</source>
        <translation>%1 ... done</translation>
    </message>
    <message>
        <source>%1 ... 成功: %2</source>
        <translation>%1 ... done: %2</translation>
    </message>
    <message>
        <source>切断</source>
        <translation>Disconnected</translation>
    </message>
    <message>
        <source>状態: 接続していません</source>
        <translation>Status: not connected</translation>
    </message>
    <message>
        <source>状態: %1 に接続, %2, フォルダ %3, 転送モード %4</source>
        <translation>Status: connected to %1, %2, folder %3, transfer mode %4</translation>
    </message>
    <message>
        <source>状態: %1 (未ログイン), %2, フォルダ %3, 転送モード %4</source>
        <translation>Status: %1 (not logged in), %2, folder %3, transfer mode %4</translation>
    </message>
    <message>
        <source>中止: 行 %1 以降は実行しません</source>
        <translation>Stopped: lines from %1 on are not run</translation>
    </message>
    <message>
        <source>終了: 転送成功 %1 件, 失敗 %2 件</source>
        <translation>Finished: %1 transfers done, %2 failed</translation>
    </message>
    <message>
        <source>失敗: 行 %1 %2: %3</source>
        <translation>Failed: line %1 %2: %3</translation>
    </message>
    <message>
        <source>接続していません</source>
        <translation>Not connected</translation>
    </message>
    <message>
        <source>SFTP の接続では FTP のコマンドを送れません</source>
        <translation>FTP commands cannot be sent over an SFTP connection</translation>
    </message>
    <message>
        <source>サーバ側のファイル名がありません</source>
        <translation>No file name on the server side</translation>
    </message>
    <message>
        <source>ローカルフォルダがありません: %1</source>
        <translation>No such local folder: %1</translation>
    </message>
    <message>
        <source>該当するローカルファイルがありません: %1</source>
        <translation>No local file matches: %1</translation>
    </message>
    <message>
        <source>ローカルファイルがありません: %1</source>
        <translation>No such local file: %1</translation>
    </message>
    <message>
        <source>接続とログイン: %1</source>
        <translation>Connecting and logging in: %1</translation>
    </message>
    <message>
        <source>フォルダ %1 への移動: %2</source>
        <translation>Changing to folder %1: %2</translation>
    </message>
    <message>
        <source>%1 の転送: %2</source>
        <translation>Sending %1: %2</translation>
    </message>
    <message>
        <source>%1 の受信: %2</source>
        <translation>Receiving %1: %2</translation>
    </message>
    <message>
        <source>一覧: %1</source>
        <translation>Listing: %1</translation>
    </message>
    <message>
        <source>サーバのコマンド: %1</source>
        <translation>Server command: %1</translation>
    </message>
    <message>
        <source>サーバのコマンド (続行します): %1</source>
        <translation>Server command (going on): %1</translation>
    </message>
    <message>
        <source>スクリプトを読めません: %1</source>
        <translation>The script cannot be read: %1</translation>
    </message>
    <message>
        <source>%1: 行 %2: %3</source>
        <translation>%1: line %2: %3</translation>
    </message>
    <message>
        <source>スクリプトに誤りがあるため、何も転送しません</source>
        <translation>The script has errors, so nothing is sent</translation>
    </message>
    <message>
        <source>libcurl を初期化できません</source>
        <translation>libcurl cannot be initialised</translation>
    </message>
    <message>
        <source>SSH サーバの鍵が以前と違います (%1)。通信が改ざんされているおそれがあるため接続しません。パスワードは送っていません。鍵を替えたのが確かなら、下の指紋を転送の詳細設定 (dayplot_publish.ini) の TrustedHostKeys に加えてください</source>
        <translation>The SSH server&apos;s key differs from before (%1). The connection may have been tampered with, so it is not used. The password was not sent. If you are sure the key was changed, add the fingerprint below to TrustedHostKeys in the publishing settings (dayplot_publish.ini)</translation>
    </message>
    <message>
        <source>SSH サーバの鍵を初めて受け取りました (%1)。指紋がサーバのものか確かめてから信頼してください。パスワードは送っていません</source>
        <translation>The SSH server&apos;s key was received for the first time (%1). Check that the fingerprint is the server&apos;s before trusting it. The password was not sent</translation>
    </message>
    <message>
        <source>SSH ホスト鍵の指紋: %1</source>
        <translation>SSH host key fingerprint: %1</translation>
    </message>
    <message>
        <source>注意: SSH サーバ %1 の鍵を初めて受け取り、記録しました (指紋 %2)</source>
        <translation>Note: the key of SSH server %1 was received for the first time and kept (fingerprint %2)</translation>
    </message>
    <message>
        <source>注意: SSH サーバ %1 の鍵が替わりました。転送の詳細設定で信頼された鍵 (指紋 %2) として記録しました</source>
        <translation>Note: the key of SSH server %1 has changed. It was kept as the key trusted in the publishing settings (fingerprint %2)</translation>
    </message>
    <message>
        <source>注意: SSH サーバ %1 の鍵 (指紋 %2) を受け入れましたが、記録できません</source>
        <translation>Note: the key of SSH server %1 (fingerprint %2) was accepted, but cannot be kept</translation>
    </message>
    <message>
        <source>SSH サーバの鍵は dayplot_known_hosts で失効 (@revoked) とされています (%1)。接続しません。パスワードは送っていません。サーバの管理者に新しい鍵を確かめてください</source>
        <translation>The SSH server&apos;s key is marked revoked (@revoked) in dayplot_known_hosts (%1). No connection is made. The password was not sent. Ask the server&apos;s administrator for its new key</translation>
    </message>
    <message>
        <source>注意: SFTP サーバ %1 はファイルを一度で置き換える拡張 (posix-rename) を持たないため、古いファイルを名前の変更の直前に削除します。その間はファイルが見えません</source>
        <translation>Note: SFTP server %1 lacks the extension that replaces a file in one step (posix-rename), so the old file is deleted just before the rename. The file is missing for that moment</translation>
    </message>
    <message>
        <source>注意: SFTP サーバ %1 でファイルを一度で置き換えられなかったため、古いファイルを名前の変更の直前に削除しました (%2)</source>
        <translation>Note: the file could not be replaced in one step on SFTP server %1, so the old file was deleted just before the rename (%2)</translation>
    </message>
</context>
<context>
    <name>gmsim</name>
    <message>
        <source>CPM が正しくありません: %1</source>
        <translation>The CPM is not valid: %1</translation>
    </message>
    <message>
        <source>プロファイルが正しくありません: %1</source>
        <translation>The profile is not valid: %1</translation>
    </message>
    <message>
        <source>管の種類が正しくありません: %1</source>
        <translation>The kind of tube is not valid: %1</translation>
    </message>
    <message>
        <source>秒数が正しくありません: %1</source>
        <translation>The number of seconds is not valid: %1</translation>
    </message>
    <message>
        <source>乱数の種が正しくありません: %1</source>
        <translation>The random seed is not valid: %1</translation>
    </message>
    <message>
        <source>開始時刻が正しくありません: %1</source>
        <translation>The start time is not valid: %1</translation>
    </message>
    <message>
        <source>--cpm か --profile を指定してください</source>
        <translation>Give --cpm or --profile</translation>
    </message>
    <message>
        <source>--seconds を指定してください</source>
        <translation>Give --seconds</translation>
    </message>
    <message>
        <source>--out を指定してください</source>
        <translation>Give --out</translation>
    </message>
    <message>
        <source>WAVファイルを作れません: %1</source>
        <translation>Cannot create the WAV file: %1</translation>
    </message>
    <message>
        <source>WAVファイルに書けません: %1</source>
        <translation>Cannot write the WAV file: %1</translation>
    </message>
    <message>
        <source>WAVファイルを閉じられません: %1</source>
        <translation>Cannot close the WAV file: %1</translation>
    </message>
</context>
<context>
    <name>radmon::MqttDialog</name>
    <message>
        <source>MQTT 送信</source>
        <translation>MQTT publishing</translation>
    </message>
    <message>
        <source>mqtt://ユーザー@ホスト:1883/radmon/home</source>
        <translation>mqtt://user@host:1883/radmon/home</translation>
    </message>
    <message>
        <source>空欄: システムの証明書</source>
        <translation>empty: the system&apos;s certificates</translation>
    </message>
    <message>
        <source>空欄: 接頭辞の最後の階層</source>
        <translation>empty: the last level of the prefix</translation>
    </message>
    <message>
        <source>毎秒の値も送る (live)</source>
        <translation>Also send every second&apos;s values (live)</translation>
    </message>
    <message>
        <source>送信先 URL</source>
        <translation>Broker URL</translation>
    </message>
    <message>
        <source>パスワード</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>ディスカバリー接頭辞</source>
        <translation>Discovery prefix</translation>
    </message>
    <message>
        <source>CA 証明書ファイル</source>
        <translation>CA certificate file</translation>
    </message>
    <message>
        <source>局名</source>
        <translation>Station name</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>ratemon</name>
    <message>
        <source>放射線量&#x3000;リアルタイムグラフ</source>
        <translation>Dose rate, real-time graph</translation>
    </message>
    <message>
        <source>パルステストモード</source>
        <translation>Pulse test mode</translation>
    </message>
    <message>
        <source>→時間</source>
        <translation>→time</translation>
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
        <translation>Day graph</translation>
    </message>
    <message>
        <source>保存先</source>
        <translation>Save to</translation>
    </message>
    <message>
        <source>シーベルト計算 V1.7</source>
        <translation>Radiation Monitor V1.7</translation>
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
    <message>
        <source>パルス間隔</source>
        <translation>Pulse intervals</translation>
    </message>
    <message>
        <source>消音</source>
        <translation>Mute</translation>
    </message>
    <message>
        <source>μSV/h</source>
        <translation>μSv/h</translation>
    </message>
    <message>
        <source>600sec</source>
        <translation>600 s</translation>
    </message>
</context>
</TS>
