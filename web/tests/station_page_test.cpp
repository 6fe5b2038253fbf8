// The station's page as both languages word it, published and live: escaping, no reading
// yet, an interval unknown; with tidy (Debian's) beside the test, every variant is valid HTML5.
#include "station_page.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTranslator>
#include <cmath>

#include "local_ftp_server.h"

namespace web {
namespace {

QCoreApplication& app() {
  static int argc = 1;
  static char name[] = "station_page_test";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* instance = new QCoreApplication(argc, argv);
  return *instance;
}

struct PageCase {
  const char* name;
  bool english;
  PageContent content;
  std::vector<std::string> present, absent;
};

LatestReading reading(double low, double high) {
  return {"2011/04/01 12:30", 0.123, low, high, 24, "<b>&\"fault\"</b>"};
}

std::vector<PageCase> cases() {
  const QList<PageImage> graphs{{"graph.jpg", "今日 (2011/04/01)"}, {"グラフ 1.jpg", "a<b>\"c\""}};
  return {
      {"JapaneseWithIntervalEscapesEveryText",
       false,
       {"<script>alert('x')</script> & \"局\"", reading(0.1, 0.15), graphs},
       {"<html lang=\"ja\">", "&lt;script&gt;alert('x')&lt;/script&gt; &amp; &quot;局&quot;",
        "0.123", "0.100 – 0.150 µSv/h", "24 CPM", "&lt;b&gt;&amp;&quot;fault&quot;&lt;/b&gt;",
        "最新の測定値", "src=\"graph.jpg\"", "src=\"%E3%82%B0%E3%83%A9%E3%83%95%201.jpg\"",
        "alt=\"a&lt;b&gt;&quot;c&quot;\"", "max-width:100%"},
       {"<script", "id=\"dose\"", "<b>", "readings.json", "id=\"events\""}},
      {"JapaneseIntervalUnknown",
       false,
       {"局", reading(NAN, NAN), {}, false, "readings.json", "2011/04/01 12:31"},
       {"<dd>不明</dd>", "href=\"readings.json\"", "2011/04/01 12:31"},
       {"–", "<h2>グラフ</h2>"}},
      {"EnglishNoReadingYet",
       true,
       {"", std::nullopt, graphs},
       {"<html lang=\"en\">", "No reading yet", "<title>Radiation</title>", "Graphs"},
       {"µSv/h (", "まだ", "id=\""}},
      {"EnglishLiveKeepsIdsWithoutAReading",
       true,
       {"Osaka", std::nullopt, {}, true},
       {"id=\"dose\"", "id=\"cpm\"", "id=\"low\"", "id=\"high\"", "id=\"time\"", "id=\"state\"",
        "new EventSource('/events')", "r.doseRate", "No reading yet", "Today's events",
        "id=\"events\"", "'/events.json'", "id=\"intervals\"", "'/histogram.json'"},
       {}},
      {"JapaneseLiveIntervalUnknown",
       false,
       {"局", reading(NAN, NAN), {}, true},
       {"<span id=\"low\">–</span> – <span id=\"high\">–</span>", "<span id=\"cpm\">24</span>",
        "<span id=\"time\">2011/04/01 12:30</span>"},
       {"不明"}},
  };
}

class Language {
 public:
  explicit Language(bool english) {
    app();
    if (english && translator_.load(QStringLiteral(":/i18n/radmon_en.qm")))
      QCoreApplication::installTranslator(&translator_);
  }
  ~Language() { QCoreApplication::removeTranslator(&translator_); }

 private:
  QTranslator translator_;
};

TEST(StationPage, EachCaseHoldsItsTextsAndNotTheOthers) {
  for (const PageCase& c : cases()) {
    Language language(c.english);
    const std::string page = stationPage(c.content).toStdString();
    for (const std::string& text : c.present)
      EXPECT_NE(page.find(text), std::string::npos) << c.name << ": " << text << "\n" << page;
    for (const std::string& text : c.absent)
      EXPECT_EQ(page.find(text), std::string::npos) << c.name << ": " << text << "\n" << page;
  }
  Language english(true);
  EXPECT_EQ(stateWords(StationState::InputLost).toStdString(), "Fault: the sound input was lost");
}

TEST(StationPageTidy, EveryVariantIsValidHtml5) {
  QTemporaryDir dir;
  for (const PageCase& c : cases()) {
    Language language(c.english);
    const std::string path = dir.filePath(QString(c.name) + ".html").toStdString();
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(stationPage(c.content));
    file.close();
    const auto run = radmon::ftp::testing::runProgram(
        {"/usr/bin/tidy", "-q", "-errors", "--doctype", "html5", path}, std::chrono::seconds(30));
    EXPECT_EQ(run.status, 0) << c.name << "\n" << run.output;
  }
}

}  // namespace
}  // namespace web
