// The real settings and graph windows on Qt's offscreen platform, with a manual clock,
// a launcher that starts nothing and dialogs that answer at once.
#include "settings_form.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "certificate_question.h"
#include "form_station.h"
#include "graph_form.h"
#include "publish_dialog.h"
#include "publish_settings.h"
#include "text_files.h"

namespace radmon {
namespace {

constexpr const char* kHostKeyPrint = "SHA256:eiT6dbCVt7E0Lz/DU8soKSTFn/d0ilCfxlqigsnRYYE";

class FormTest : public ::testing::Test, protected testing::FormStation {
 protected:
  void SetUp() override { testing::testApp(); }

  SettingsForm& open(LocalDateTime now = {2011, 3, 16, 10, 19, 50}) {
    clock.set(now);
    form_.reset();
    FormParts parts = this->parts();
    parts.dialogs.saveFile = [this](const FolderDialogRequest& request) {
      requests_.push_back(request);
      return chosen_;
    };
    parts.dialogs.showFolder = [this](const QString& folder) { shownFolders_.push_back(folder); };
    parts.dialogs.closeUnsaved = [this](const QString& message) {
      unsavedMessages_.push_back(message);
      return closeAnyway_;
    };
    parts.dialogs.trustCertificate = [this](const QString&, const QString& fingerprint) {
      askedCertificates_.push_back(fingerprint);
      return certificateAnswer_;
    };
    parts.dialogs.publishSettings = [this](const std::string& path) {
      publishOpened_.push_back(path);
    };
    form_ = std::make_unique<SettingsForm>(std::move(parts));
    form_->show();
    return *form_;
  }
  template <typename W>
  W* find(const char* name) {
    W* w = form_->findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  QString text(const char* name) { return find<QLineEdit>(name)->text(); }
  bool ticked(const char* name) { return find<QCheckBox>(name)->isChecked(); }
  void tick(std::initializer_list<const char*> names) {
    for (const char* name : names) find<QCheckBox>(name)->setChecked(true);
  }
  // Types the date boxes Text7, Text8 and Text9; a null leaves its box.
  void typeDate(const char* year, const char* month, const char* day = nullptr) {
    for (const auto& [name, value] : {std::pair{"Text7", year}, {"Text8", month}, {"Text9", day}})
      if (value) find<QLineEdit>(name)->setText(value);
  }
  void expectDate(const char* year, const char* month, const char* day) {
    EXPECT_EQ(text("Text7"), year);
    EXPECT_EQ(text("Text8"), month);
    EXPECT_EQ(text("Text9"), day);
  }
  void click(const char* name) { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }
  void tickAt(LocalDateTime t) {
    clock.set(t);
    form_->onMinuteTick();
  }
  QString messageText() {
    QMessageBox* box = form_->messages().box();
    return box && box->isVisible() ? box->text() : QString();
  }
  int openMessageBoxes() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (qobject_cast<QMessageBox*>(w) && w->isVisible()) ++n;
    }
    return n;
  }
  void writeIni(const std::string& text) { folder.write("dayplot.ini", text); }

  std::optional<QString> chosen_;
  std::vector<FolderDialogRequest> requests_;
  std::vector<QString> shownFolders_;
  std::vector<QString> unsavedMessages_;
  bool closeAnyway_ = false;
  std::vector<QString> askedCertificates_;
  CertificateAnswer certificateAnswer_ = CertificateAnswer::Refuse;
  std::vector<std::string> publishOpened_;
  std::unique_ptr<SettingsForm> form_;
};

TEST_F(FormTest, EveryControlWithItsNameAndTextAndTheOptionsOneGroup) {
  SettingsForm& w = open();
  EXPECT_EQ(w.objectName(), "Form2");
  EXPECT_EQ(w.windowTitle(), "データロガー");
  const std::vector<std::pair<const char*, const char*>> labels = {
      {"Label1", "測定場所"},
      {"Label6", "測定管"},
      {"Label2", "データフォルダ"},
      {"Label5", "入力データファイル名"},
      {"Label3", "出力グラフファイル名"},
      {"Label8", "ファイル形式"},
      {"Label7", "JPG"},
      {"Label9", "BMP"},
      {"Label4", "縦軸最大スケール(μSV/h)"},
      {"Label22", "FTP転送を行う"},
      {"Label19", "サーバ名"},
      {"Label23", "ｻﾌﾞﾌｫﾙﾀﾞ名  ( 例  xxxx\\yyyyy\\zzzz)"},
      {"Label20", "ユーザ名"},
      {"Label21", "ﾊﾟｽﾜｰﾄﾞ"},
      {"Label10", "年"},
      {"Label11", "月"},
      {"Label12", "日"},
      {"Label18", "ﾌｧｲﾙ選択"},
      {"Label13", "当日データリアルタイム処理"},
      {"Label15", "時"},
      {"Label16", "分"},
      {"Label14", "起動"},
      {"Label17", "※月日時間は、全て２桁で入力してください"}};
  for (const auto& [name, caption] : labels) {
    ASSERT_NE(find<QLabel>(name), nullptr);
    EXPECT_EQ(find<QLabel>(name)->text(), QString(caption)) << name;
  }
  const std::vector<std::pair<const char*, const char*>> buttons = {
      {"Command1", "停止中案内転送"}, {"Command2", "保存先"},      {"Command3", "手動処理"},
      {"Option1", "10分毎"},          {"Option2", "20分毎"},       {"Option3", "30分毎"},
      {"Option4", "60分毎"},          {"Check4", "昨日分自動処理"}};
  for (const auto& [name, caption] : buttons)
    EXPECT_EQ(find<QAbstractButton>(name)->text(), QString(caption)) << name;
  EXPECT_EQ(find<QLineEdit>("Text14")->echoMode(), QLineEdit::Normal);
  EXPECT_TRUE(find<QComboBox>("Combo1")->isEditable());
  EXPECT_NE(find<QWidget>("Line1"), nullptr);
  EXPECT_NE(find<QWidget>("Line2"), nullptr);

  // The timer: its first tick just after the next clock minute (10:20:00 + 0.5 s).
  EXPECT_TRUE(w.Timer1()->isActive());
  EXPECT_EQ(w.Timer1()->objectName(), "Timer1");
  EXPECT_EQ(w.Timer1()->interval(), 10500);

  // One exclusive group: a click selects one and clears the others, and sets the period.
  const int16_t periods[] = {10, 20, 30, 60};
  for (int i : {3, 2, 4, 1}) {
    click(("Option" + std::to_string(i)).c_str());
    EXPECT_EQ(w.RealtimeInterval(), periods[i - 1]);
    for (int j = 1; j <= 4; ++j)
      EXPECT_EQ(find<QRadioButton>(("Option" + std::to_string(j)).c_str())->isChecked(), i == j);
  }
}

TEST_F(FormTest, FirstStartWithoutFileKeepsTheDefaultsAndSavesThemAtClose) {
  SettingsForm& w = open();
  EXPECT_EQ(text("Text2").toStdString(), folder.data());
  EXPECT_EQ(w.DataFolder(), folder.data());
  EXPECT_EQ(w.RealtimeInterval(), 10);
  EXPECT_TRUE(find<QRadioButton>("Option1")->isChecked());
  EXPECT_TRUE(ticked("Check1"));
  for (const char* name : {"Check2", "Check3", "Check4", "Check5"}) EXPECT_FALSE(ticked(name));
  expectDate("2011", "03", "16");

  folder.write("oldtemp.sys", "OPEN h\r\n");
  EXPECT_TRUE(w.close());
  EXPECT_FALSE(folder.exists("oldtemp.sys"));
  EXPECT_EQ(folder.read("dayplot.ini"),
            "\"大阪府大阪市\",\"" + folder.data() +
                "\",\"μSVHGraph\",\"2\",\"μSVHData\",\"自作GM管\",\"03\",\"00\"\r\n"
                "1,0,0,0\r\n#TRUE#,#FALSE#,#FALSE#,#FALSE#\r\n"
                "\"ftp.example.com\",\"\",\"\",0,\"\"\r\n");
  EXPECT_EQ(testing::fileMode(folder.path() + "dayplot.ini"), 0600u);
}

TEST_F(FormTest, FileWithOnlyItsFirstLineClearsTheRestAndOnlyACsvPathNamesTheFolder) {
  writeIni(
      "\"here\",\"/srv/log/μSVHData_nnnntthh.csv\",\"g\",\"1\",\"μSVHData\",\"tube\","
      "\"03\",\"00\"\r\n");
  SettingsForm& w = open();
  EXPECT_EQ(text("Text2"), "/srv/log/μSVHData_nnnntthh.csv");
  EXPECT_EQ(w.DataFolder(), "/srv/log/");
  EXPECT_EQ(text("Text10"), "03");  // the leading zero kept
  for (const char* name : {"Check1", "Check2", "Check3", "Check4", "Check5"})
    EXPECT_FALSE(ticked(name)) << name;
  for (const char* name : {"Option1", "Option2", "Option3", "Option4"})
    EXPECT_FALSE(find<QRadioButton>(name)->isChecked()) << name;
  EXPECT_EQ(w.RealtimeInterval(), 10);
  EXPECT_EQ(text("Text12"), "");
  // A click still selects one: the group works from nothing selected.
  click("Option2");
  EXPECT_EQ(w.RealtimeInterval(), 20);
  EXPECT_TRUE(find<QRadioButton>("Option2")->isChecked());
  // The data path is used only when it ends in lower-case .csv.
  const std::pair<std::string, std::string> cases[] = {
      {"/srv/log/", folder.data()},       // a folder typed by hand: shown, not used
      {"/srv/log/x.CSV", folder.data()},  // case counts
      {"x.csv", ""},                      // no separator: the empty folder
  };
  for (const auto& [path, dataFolder] : cases) {
    writeIni("\"p\",\"" + path +
             "\",\"g\",\"2\",\"μSVHData\",\"t\",\"03\",\"00\"\r\n"
             "1,0,0,0\r\n#FALSE#,#FALSE#,#TRUE#,#FALSE#\r\n\"h\",\"\",\"\",0,\"\"\r\n");
    SettingsForm& again = open();
    EXPECT_EQ(text("Text2").toStdString(), path);
    EXPECT_EQ(again.DataFolder(), dataFolder) << path;
    EXPECT_EQ(again.RealtimeInterval(), 30);
  }
}

TEST_F(FormTest, Combo1ListsTheProgramsOwnDataFolderByPrefixAndCsvInAnyCase) {
  for (const char* name : {"μSVHData20110316.csv", "μSVHData20110315.CSV", "μSVHData20110317.txt",
                           "other20110318.csv", "μSVHData.csv"})
    folder.write(std::string("data/") + name, "");
  std::filesystem::create_directories(folder.data() + "μSVHData20110319.csv");  // a folder
  // The data folder setting points elsewhere: the list still comes from data/.
  writeIni("\"p\",\"/nowhere/x.csv\",\"g\",\"2\",\"μSVHData\",\"t\",\"03\",\"00\"\r\n");
  open();
  auto* combo = find<QComboBox>("Combo1");
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  EXPECT_EQ(items, QStringList({"μSVHData.csv", "μSVHData20110315.CSV", "μSVHData20110316.csv"}));

  writeIni("\"p\",\"\",\"g\",\"2\",\"other\",\"t\",\"03\",\"00\"\r\n");
  open();
  combo = find<QComboBox>("Combo1");
  ASSERT_EQ(combo->count(), 1);
  EXPECT_EQ(combo->itemText(0), "other20110318.csv");
}

TEST_F(FormTest, Combo1FillsTheDateBoxesFromCharactersNineToSixteen) {
  folder.writeDay("20110315");
  SettingsForm& w = open();
  auto* combo = find<QComboBox>("Combo1");
  ASSERT_EQ(combo->count(), 1);
  combo->activated(0);  // the operator's click on the entry
  expectDate("2011", "03", "15");
  EXPECT_EQ(w.Form1(), nullptr);  // nothing processed before Command3
  click("Command3");
  EXPECT_EQ(w.TargetDay(), "20110315");
  EXPECT_TRUE(folder.exists("data/μSVHGraph_20110315.jpg"));

  // The positions are fixed, whatever the prefix; a short entry gives what there is.
  const DateBoxes other = dateBoxesFromEntry("gm20110401.csv");
  EXPECT_EQ(std::tie(other.year, other.month, other.day), std::tuple("01.c", "sv", ""));
  const DateBoxes shorter = dateBoxesFromEntry("short");
  EXPECT_TRUE(shorter.year.isEmpty() && shorter.month.isEmpty() && shorter.day.isEmpty());
}

TEST_F(FormTest, ManualRunLeavesTheGraphWindowOpenAndAMessageWaitsWithoutBlocking) {
  folder.writeDay("20110315");
  SettingsForm& w = open();
  typeDate("2011", "03", "15");
  click("Command3");
  GraphForm* form1 = w.Form1();
  ASSERT_NE(form1, nullptr);
  EXPECT_TRUE(form1->isVisible());
  EXPECT_EQ(std::tuple(form1->objectName(), form1->windowTitle(), form1->size()),
            std::tuple("Form1", "Form1", QSize(890, 566)));
  QLabel* picture = form1->Picture1();
  EXPECT_EQ(std::tuple(picture->objectName(), picture->geometry()),
            std::tuple("Picture1", QRect(24, 8, 841, 537)));
  const QImage shown = picture->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(shown, form1->image().convertToFormat(QImage::Format_RGB32));
  // The curve at 0.5 of 2 μSv/h on the morning panel: 239 - 0.5 x 85 = 196.
  EXPECT_NE(shown.pixelColor(70 + 9 * 60, 196), DayGraph::kBackground);
  EXPECT_TRUE(folder.exists("data/μSVHGraph_20110315.jpg"));
  EXPECT_TRUE(launcher.started.empty());  // FTP transfer not ticked
  EXPECT_TRUE(messageText().isEmpty());
  // A single-digit month names no file, and the message waits without blocking.
  typeDate("2011", "3", "15");
  click("Command3");  // returns although the message is still open
  EXPECT_EQ(w.TargetDay(), "2011315");
  EXPECT_EQ(messageText(), "ファイルがありません");
  EXPECT_EQ(w.messages().box()->windowTitle(), "dayplot");
  EXPECT_TRUE(w.Form1()->isVisible());
}

TEST_F(FormTest, ScheduledRunsCloseTheGraphWindowAndUploadWhenTicked) {
  folder.writeDay("20110316");
  SettingsForm& w = open();
  tick({"Check3", "Check5"});
  click("Command3");  // a manual run leaves the window open...
  QPointer<GraphForm> manual = w.Form1();
  ASSERT_TRUE(manual && manual->isVisible());
  ASSERT_EQ(launcher.started.size(), 1u);

  tickAt({2011, 3, 16, 10, 20, 0});  // ...and the next scheduled run closes it
  EXPECT_EQ(w.TargetDay(), "20110316");
  EXPECT_TRUE(folder.exists("data/μSVHGraph.jpg"));  // today's graph: no date in the name
  EXPECT_TRUE(!w.Form1() || !w.Form1()->isVisible());
  // The manual run's client still runs: the next one waits for the script file.
  EXPECT_EQ(launcher.started.size(), 1u);
  auto* status = find<QLabel>("Label24");
  const QString before = status->text();
  w.pollUploads();
  EXPECT_EQ(status->text(), before);  // nothing ended, nothing shown
  launcher.end(0, 0);
  w.pollUploads();
  EXPECT_TRUE(status->text().contains("FTP転送成功"));
  ASSERT_EQ(launcher.started.size(), 2u);
  EXPECT_NE(folder.read("oldtemp.sys").find("mput \"" + folder.data() + "μSVHGraph.jpg\""),
            std::string::npos);

  clock.set({2011, 3, 16, 10, 20, 4});
  launcher.end(1, 7, "connecting\n530 Login incorrect.\n");
  w.pollUploads();
  EXPECT_EQ(
      status->text(),
      "最後のFTP転送: 2011/03/16 10:20:04 FTP転送失敗: " + QString::fromStdString(folder.data()) +
          "μSVHGraph.jpg (FTPクライアントの終了コード 7: ログインを拒否されました "
          "(ユーザ名かパスワード)) 10:25 に再送します");

  tickAt({2011, 3, 16, 10, 24, 0});  // not on the period, the retry still waits
  EXPECT_EQ(launcher.started.size(), 2u);
  tickAt({2011, 3, 16, 10, 25, 0});  // the retry
  ASSERT_EQ(launcher.started.size(), 3u);
  launcher.end(2, 7, "530 Login incorrect.\n");
  w.pollUploads();
  EXPECT_TRUE(status->text().endsWith("10:35 に再送します"));  // twice the wait
  tickAt({2011, 3, 16, 10, 30, 1});  // the due run sends the same file at once
  ASSERT_EQ(launcher.started.size(), 4u);
  launcher.end(3, 0);
  QTest::qWait(400);  // the window's own poll timer picks it up
  EXPECT_TRUE(status->text().startsWith("最後のFTP転送: 2011/03/16 10:30:01 FTP転送成功"));
}

TEST_F(FormTest, MissingFileMessageDoesNotStallLaterTicksAndStaysSingle) {
  SettingsForm& w = open({2011, 3, 15, 23, 59, 30});
  tick({"Check3", "Check4", "Check5"});
  find<QLineEdit>("Text10")->setText("10");  // yesterday at 00:10, on a real-time minute

  tickAt({2011, 3, 16, 0, 0, 1});  // 00:00: nothing for the new day
  EXPECT_TRUE(launcher.started.empty());
  tickAt({2011, 3, 16, 0, 10, 0});  // all runs in one tick, today's first, the month last
  EXPECT_EQ(w.TargetDay(), "20110315");
  EXPECT_EQ(messageText(), "この期間の記録ファイルがありません");
  // No file for either day, yet both uploads go (an earlier JPEG may be there), one
  // after the other.
  ASSERT_EQ(launcher.started.size(), 1u);
  EXPECT_NE(folder.read("oldtemp.sys").find("μSVHGraph.jpg"), std::string::npos);
  launcher.end(0, 0);
  w.pollUploads();
  ASSERT_EQ(launcher.started.size(), 2u);
  EXPECT_NE(folder.read("oldtemp.sys").find("μSVHGraph_20110315.jpg"), std::string::npos);
  launcher.end(1, 0);
  tickAt({2011, 3, 16, 0, 20, 0});  // the message is still unread
  w.pollUploads();
  EXPECT_EQ(launcher.started.size(), 3u);
  EXPECT_EQ(openMessageBoxes(), 1);
}

TEST_F(FormTest, MonthAndYearByHandAndTheMonthAfterYesterdaysRun) {
  folder.writeDay("20110314");
  folder.writeDay("20110315");
  SettingsForm& w = open({2011, 3, 16, 0, 2, 30});
  typeDate("2011", "03");
  click("cmdMonth");
  ASSERT_NE(w.Form1(), nullptr);
  EXPECT_TRUE(w.Form1()->isVisible());
  EXPECT_TRUE(folder.exists("data/μSVHGraph_201103.jpg"));
  click("cmdYear");
  EXPECT_TRUE(folder.exists("data/μSVHGraph_2011.jpg"));
  EXPECT_TRUE(messageText().isEmpty());
  find<QLineEdit>("Text8")->setText("3");  // a month needs its two digits
  click("cmdMonth");
  EXPECT_TRUE(messageText().contains("yyyymm")) << messageText().toStdString();

  // Yesterday at 00:03, then the month, each uploaded.
  std::filesystem::remove(folder.data() + "μSVHGraph_201103.jpg");
  tick({"Check4", "Check5"});
  tickAt({2011, 3, 16, 0, 3, 0});
  EXPECT_TRUE(folder.exists("data/μSVHGraph_201103.jpg"));
  EXPECT_TRUE(!w.Form1() || !w.Form1()->isVisible());
  ASSERT_EQ(launcher.started.size(), 1u);
  EXPECT_NE(folder.read("oldtemp.sys").find("μSVHGraph_20110315.jpg"), std::string::npos);
  launcher.end(0, 0);
  w.pollUploads();
  ASSERT_EQ(launcher.started.size(), 2u);
  EXPECT_NE(folder.read("oldtemp.sys").find("μSVHGraph_201103.jpg"), std::string::npos);
}

TEST_F(FormTest, AnEditTakesEffectAtTheNextTickAndClearedBoxesDoNothing) {
  folder.writeDay("20110315");
  SettingsForm& w = open();
  tickAt({2011, 3, 16, 10, 20, 0});
  EXPECT_TRUE(w.TargetDay().empty());  // both boxes cleared: nothing ran
  find<QCheckBox>("Check4")->setChecked(true);
  find<QLineEdit>("Text11")->setText("10");
  find<QLineEdit>("Text10")->setText("3");  // never matches "03"
  tickAt({2011, 3, 16, 10, 3, 0});
  EXPECT_TRUE(w.TargetDay().empty());
  find<QLineEdit>("Text10")->setText("21");
  tickAt({2011, 3, 16, 10, 21, 0});
  EXPECT_EQ(w.TargetDay(), "20110315");
  EXPECT_TRUE(folder.exists("data/μSVHGraph_20110315.jpg"));
  EXPECT_TRUE(launcher.started.empty());  // Check5 cleared: drawn and saved only
}

TEST_F(FormTest, FolderChoiceAndItsCancelRule) {
  SettingsForm& w = open();
  chosen_ = QString("/srv/log/x.txt");
  click("Command2");
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].title, "収集データ保存フォルダ");
  EXPECT_EQ(requests_[0].initialPath.toStdString(), folder.data() + "μSVHData_nnnntthh.csv");
  EXPECT_EQ(requests_[0].filters, "テキスト ファイル (*.txt *.log)\nすべてのファイル (*)");
  EXPECT_EQ(text("Text2"), "/srv/log/x.txt");
  EXPECT_EQ(w.DataFolder(), "/srv/log/");
  EXPECT_EQ(shownFolders_, std::vector<QString>{"/srv/log/"});

  chosen_.reset();  // cancel: as if the initial name had been chosen
  click("Command2");
  EXPECT_EQ(text("Text2").toStdString(), folder.data() + "μSVHData_nnnntthh.csv");
  EXPECT_EQ(w.DataFolder(), folder.data());
  EXPECT_EQ(shownFolders_.back().toStdString(), folder.data());

  // A .txt path works now but not after a restart; a .csv path does both.
  chosen_ = QString("/srv/log/x.txt");
  click("Command2");
  ASSERT_TRUE(w.close());
  EXPECT_EQ(open().DataFolder(), folder.data());
  chosen_ = QString("/srv/log/x.csv");
  click("Command2");
  ASSERT_TRUE(form_->close());
  EXPECT_EQ(open().DataFolder(), "/srv/log/");
}

TEST_F(FormTest, NoticeUploadSendsTheImageBesideTheProgramWithTransferCleared) {
  SettingsForm& w = open();
  ASSERT_FALSE(ticked("Check5"));
  click("Command1");
  ASSERT_EQ(launcher.started.size(), 1u);
  // No client in the station: the one beside the running program.
  EXPECT_EQ(launcher.started[0].program, programFolder() + "ftpscript");
  EXPECT_NE(folder.read("oldtemp.sys").find("mput \"" + folder.path() + "μSVHGraph.jpg\""),
            std::string::npos);
  EXPECT_EQ(w.Form1(), nullptr);  // nothing drawn
}

TEST_F(FormTest, SavedBoxesRefuseQuotesAndLineBreaks) {
  SettingsForm& w = open();
  auto* place = find<QLineEdit>("Text1");
  place->clear();
  QTest::keyClicks(place, "a\"b");
  EXPECT_EQ(place->text(), "ab");
  DayplotSettings c = w.controls();
  c.password = "pa\"ss\nword";
  w.setControls(c);
  EXPECT_EQ(text("Text14"), "password");
  // The date boxes are not saved and take what is typed.
  QTest::keyClicks(find<QLineEdit>("Text7"), "\"");
  EXPECT_TRUE(text("Text7").endsWith("\""));
  ASSERT_TRUE(w.close());
  EXPECT_EQ(open().controls().password, "password");
}

// What a box's setting cannot take is refused as it is typed or pasted and the reason
// shown; an emptied file name goes back to the last one taken when the box is left. The
// file keeps what the window shows.
TEST_F(FormTest, RefusedTypingIsToldAndNothingIsAlteredUnseen) {
  SettingsForm& w = open();
  auto* note = find<QLabel>("RefusalNote");
  EXPECT_FALSE(note->isVisibleTo(&w));
  auto* password = find<QLineEdit>("Text14");
  password->clear();
  QTest::keyClicks(password, "pa\"");
  EXPECT_TRUE(note->isVisibleTo(&w));
  EXPECT_NE(note->text().indexOf("「\"」は使えません"), -1) << note->text().toStdString();
  note->clear();
  QGuiApplication::clipboard()->setText("pa\"ss,w=rd");
  password->clear();
  password->paste();
  EXPECT_EQ(password->text(), "");
  EXPECT_NE(note->text().indexOf("「\"」は使えません"), -1) << note->text().toStdString();
  QTest::keyClicks(password, "pass,w=rd");

  auto* graph = find<QLineEdit>("Text3");
  QTest::keyClicks(graph, "/x");
  EXPECT_EQ(graph->text(), "μSVHGraphx");
  EXPECT_NE(note->text().indexOf("「/」"), -1) << note->text().toStdString();
  graph->selectAll();
  QTest::keyClick(graph, Qt::Key_Delete);
  EXPECT_EQ(w.controls().graphName, "μSVHGraphx");  // a run meanwhile uses the last taken
  note->clear();
  QTest::keyClick(graph, Qt::Key_Return);
  EXPECT_EQ(graph->text(), "μSVHGraphx");
  EXPECT_NE(note->text().indexOf("空にはできません"), -1) << note->text().toStdString();

  ASSERT_TRUE(w.close());
  const DayplotSettings back = open().controls();
  EXPECT_EQ(back.password, "pass,w=rd");
  EXPECT_EQ(back.graphName, "μSVHGraphx");
}

TEST_F(FormTest, SettingsFileThatCannotBeWrittenAsksBeforeClosing) {
  SettingsForm& w = open();
  std::filesystem::create_directories(folder.path() + "dayplot.ini");  // in the way
  folder.write("oldtemp.sys", "OPEN h\r\n");
  EXPECT_FALSE(w.close());
  ASSERT_EQ(unsavedMessages_.size(), 1u);
  EXPECT_TRUE(unsavedMessages_[0].startsWith("設定ファイルを保存できませんでした。"));
  EXPECT_TRUE(w.isVisible());
  EXPECT_TRUE(w.Timer1()->isActive());  // the schedule goes on
  EXPECT_TRUE(folder.exists("oldtemp.sys"));
  closeAnyway_ = true;
  EXPECT_TRUE(w.close());
  EXPECT_FALSE(folder.exists("oldtemp.sys"));
}

TEST_F(FormTest, UnknownCertificateIsAskedOnceThenTrustedForOnceOrAlways) {
  SettingsForm& w = open();
  find<QCheckBox>("Check5")->setChecked(true);
  click("Command4");
  EXPECT_EQ(publishOpened_, std::vector<std::string>{folder.path() + "dayplot_publish.ini"});

  const std::string print(64, 'A');
  const std::string shown = shownFingerprint(print);
  const std::string refused = "Failed: line 1 OPEN\ncertificate sha256=" + print + "\n";
  struct Case {
    CertificateAnswer answer;
    size_t asked;    // questions so far
    size_t started;  // clients so far
  };
  for (const Case& c : {Case{CertificateAnswer::Refuse, 1, 1},
                        Case{CertificateAnswer::TrustOnce, 1, 2},  // refused before: not asked
                        Case{CertificateAnswer::TrustAlways, 1, 3}}) {
    certificateAnswer_ = c.answer;
    click("Command1");
    launcher.end(launcher.started.size() - 1, 5, refused);
    w.pollUploads();
    EXPECT_EQ(askedCertificates_.size(), c.asked);
    EXPECT_EQ(launcher.started.size(), c.started);
  }
  EXPECT_EQ(askedCertificates_[0], QString::fromStdString(shown));
  EXPECT_FALSE(folder.exists("dayplot_trust_once.txt"));
  EXPECT_TRUE(
      readPublishSettings(folder.path() + "dayplot_publish.ini").value.trustedFingerprints.empty());

  form_.reset();  // a new window asks again: once for this run only, then always
  open();
  for (const CertificateAnswer answer :
       {CertificateAnswer::TrustOnce, CertificateAnswer::TrustAlways}) {
    certificateAnswer_ = answer;
    launcher.started.clear();
    launcher.outcomes.clear();
    click("Command1");
    launcher.end(0, 5, refused);
    form_->pollUploads();  // the window of this round: trusting once opens a new one
    ASSERT_EQ(launcher.started.size(), 2u);  // sent again at once
    if (answer == CertificateAnswer::TrustOnce) {
      EXPECT_EQ(folder.read("dayplot_trust_once.txt"), print);
      launcher.end(1, 0);
      form_->pollUploads();
      open();
    }
  }
  EXPECT_EQ(readPublishSettings(folder.path() + "dayplot_publish.ini").value.trustedFingerprints,
            std::set<std::string>{print});
}

TEST_F(FormTest, ChangedSshHostKeyIsAskedInTheRealBoxThenTrustedForOnceOrAlways) {
  // The box itself, as the form shows it: the fault, the fingerprint, three answers.
  const QString failure = "SSH サーバの鍵が以前と違います ([127.0.0.1]:2222)";
  QString asked;
  QTimer::singleShot(0, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      asked = box->objectName() + "\n" + box->text();
      EXPECT_EQ(box->buttons().size(), 3);
      for (QAbstractButton* button : box->buttons())
        if (button->text() == "常に信頼") button->click();
    }
  });
  EXPECT_EQ(askAboutCertificate(nullptr, failure, kHostKeyPrint), CertificateAnswer::TrustAlways);
  EXPECT_TRUE(asked.startsWith("TrustHostKey\n" + failure)) << asked.toStdString();
  EXPECT_TRUE(asked.contains("SSH ホスト鍵を信頼しますか")) << asked.toStdString();
  EXPECT_TRUE(asked.endsWith(kHostKeyPrint)) << asked.toStdString();

  // ftpscript's refusal as the form gets it: asked with the fingerprint; once goes into
  // the trust-once file, always into TrustedHostKeys; each sends again at once.
  const std::string refused = std::string("host-key fingerprint=") + kHostKeyPrint + "\n";
  open();
  find<QCheckBox>("Check5")->setChecked(true);
  for (const CertificateAnswer answer :
       {CertificateAnswer::TrustOnce, CertificateAnswer::TrustAlways}) {
    certificateAnswer_ = answer;
    launcher.started.clear();
    launcher.outcomes.clear();
    click("Command1");
    launcher.end(0, 6, refused);
    form_->pollUploads();
    ASSERT_EQ(launcher.started.size(), 2u);
    EXPECT_EQ(launcher.started[0].arguments.back(), "-k") << "a key seen first is asked too";
    EXPECT_EQ(askedCertificates_.back(), kHostKeyPrint);
    if (answer == CertificateAnswer::TrustOnce) {
      EXPECT_EQ(folder.read("dayplot_trust_once.txt"), kHostKeyPrint);
      launcher.end(1, 0);
      form_->pollUploads();
      open();  // a new window asks again
      find<QCheckBox>("Check5")->setChecked(true);
    }
  }
  EXPECT_EQ(askedCertificates_.size(), 2u);
  const PublishSettings saved = readPublishSettings(folder.path() + "dayplot_publish.ini").value;
  EXPECT_EQ(saved.trustedHostKeys, std::set<std::string>{kHostKeyPrint});
  EXPECT_TRUE(saved.trustedFingerprints.empty());
}

TEST_F(FormTest, PublishDialogSavesOwnerOnlyAndRefusesWhatIsNoFingerprint) {
  const std::string path = folder.path() + "dayplot_publish.ini";
  PublishDialog dialog(path);
  dialog.findChild<QCheckBox*>("TlsRequired")->setChecked(true);
  dialog.findChild<QCheckBox*>("PublishPage")->setChecked(true);
  dialog.findChild<QLineEdit*>("KeyFile")->setText(" /srv/key ");
  auto* prints = dialog.findChild<QPlainTextEdit*>("TrustedFingerprints");
  prints->setPlainText("not a fingerprint\n");
  EXPECT_FALSE(dialog.problem().isEmpty());
  prints->setPlainText(QString::fromStdString(shownFingerprint(std::string(64, 'b'))) + "\n\n");
  EXPECT_TRUE(dialog.problem().isEmpty());
  auto* hostKeys = dialog.findChild<QPlainTextEdit*>("TrustedHostKeys");
  hostKeys->setPlainText("SHA256:short\n");
  EXPECT_FALSE(dialog.problem().isEmpty());
  hostKeys->setPlainText(QString(" ") + kHostKeyPrint + "\n");
  EXPECT_TRUE(dialog.problem().isEmpty());
  dialog.accept();
  const PublishSettings saved = readPublishSettings(path).value;
  EXPECT_TRUE(saved.tlsRequired);
  EXPECT_TRUE(saved.publishPage);
  EXPECT_EQ(saved.keyFile, "/srv/key");
  EXPECT_EQ(saved.trustedFingerprints, std::set<std::string>{std::string(64, 'B')});
  EXPECT_EQ(saved.trustedHostKeys, std::set<std::string>{kHostKeyPrint});
  EXPECT_EQ(testing::fileMode(path), 0600u);
  EXPECT_EQ(PublishDialog(path).settings(), saved);  // shown as saved
}

}  // namespace
}  // namespace radmon
