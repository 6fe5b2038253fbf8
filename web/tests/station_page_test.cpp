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

LatestReading reading(double low, double high, bool lowerBound = false) {
  return {"2011/04/01 12:30", 0.123, low, high, 24, "<b>&\"fault\"</b>", lowerBound};
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
       {"<script", "id=\"dose\"", "<b>", "readings.json", "id=\"events\"", "≥", "class=\"bound\""}},
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
       {"id=\"dose\"", "id=\"cpm\"", "id=\"range\"", "id=\"time\"", "id=\"state\"",
        "new EventSource('/events')", "r.doseRate", "No reading yet", "Today's events",
        "id=\"events\"", "'/events.json'", "id=\"intervals\"", "'/histogram.json'", "r.lowerBound",
        "<span class=\"ge\" hidden>≥ </span><span id=\"dose\">",
        "<p id=\"bound\" class=\"bound\" hidden>Lower bound: the true dose rate is at least this",
        "data-open=\"no upper end\""},
       {}},
      {"JapaneseLiveIntervalUnknown",
       false,
       {"局", reading(NAN, NAN), {}, true},
       {"<span id=\"range\">– – – µSv/h</span>", "<span id=\"cpm\">24</span>",
        "<span id=\"time\">2011/04/01 12:30</span>"},
       {"不明"}},
      // A lower bound: "≥" before the figures, its words, the interval without an upper end.
      {"JapaneseLowerBound",
       false,
       {"局", reading(0.1, INFINITY, true), {}},
       {"≥ 0.123 <span class=\"unit\">", "<p class=\"bound\">下限値: 真の線量率はこれ以上です</p>",
        "<dd>≥ 0.100 µSv/h (上限なし)</dd>", "<dd>≥ 24 CPM</dd>"},
       {"0.100 –", "inf", "hidden", "id=\"", "不明"}},
      {"EnglishLiveLowerBound",
       true,
       {"Osaka", reading(0.1, INFINITY, true), {}, true},
       {"<span class=\"ge\">≥ </span><span id=\"cpm\">24</span> CPM",
        "<p id=\"bound\" class=\"bound\">Lower bound: the true dose rate is at least this</p>",
        "<span id=\"range\">≥ 0.100 µSv/h (no upper end)</span>"},
       {"hidden>", "inf"}},
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
}

// The lower bound is told beside an alarm or a fault, never instead of it; alone it is
// the measuring state's; a stopped station has no reading to bound.
TEST(StationPage, StateWordsTellTheLowerBoundBesideTheState) {
  Language english(true);
  const struct {
    StationState state;
    LowerBound bound;
    const char* words;
  } cases[] = {
      {StationState::InputLost, LowerBound::None, "Fault: the sound input was lost"},
      {StationState::Measuring, LowerBound::None, "Measuring"},
      {StationState::Measuring, LowerBound::DeadTimeCapped,
       "Measuring (past the counting limit: the values are lower bounds)"},
      {StationState::LowerBound, LowerBound::DeadTimeCapped,
       "Measuring (past the counting limit: the values are lower bounds)"},
      {StationState::LowerBound, LowerBound::TubeSaturated,
       "Measuring (tube saturated: the dose rate is above what this tube can count)"},
      {StationState::Alarm2, LowerBound::None, "Alarm, second stage"},
      {StationState::Alarm2, LowerBound::DeadTimeCapped, "Alarm, second stage · lower bound"},
      {StationState::Alarm2, LowerBound::TubeSaturated,
       "Alarm, second stage · tube saturated: the dose rate is above what this tube can count"},
      {StationState::Alarm1, LowerBound::DeadTimeCapped, "Alarm, first stage · lower bound"},
      {StationState::SignalFault, LowerBound::DeadTimeCapped,
       "Fault: the signal is abnormal · lower bound"},
      {StationState::Stopped, LowerBound::TubeSaturated, "Recording has stopped"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(stateWords(c.state, c.bound).toStdString(), c.words)
        << static_cast<int>(c.state) << "/" << static_cast<int>(c.bound);
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
