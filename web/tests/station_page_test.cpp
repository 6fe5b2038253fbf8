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
       {"class=\"ge\" hidden", "class=\"bound\" hidden", "inf"}},
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

// Each state that must not be missed has its banner, with what it means and since when;
// the lower bound stands beside an alarm or a fault with its own start; measuring has none.
TEST(StationPage, BannersTellEachStateAndItsStart) {
  Language english(true);
  const struct {
    StationState state;
    LowerBound bound;
    std::vector<const char*> kinds;
    const char* text;  // the first banner's
  } cases[] = {
      {StationState::Measuring, LowerBound::None, {}, ""},
      {StationState::Alarm2,
       LowerBound::None,
       {"alarm2"},
       "The dose rate passed the second stage's alarm level. (since 10:00)"},
      {StationState::Alarm1,
       LowerBound::TubeSaturated,
       {"alarm1", "saturated"},
       "The dose rate passed the first stage's alarm level. (since 10:00)"},
      {StationState::Stopped,
       LowerBound::DeadTimeCapped,
       {"stopped"},
       "No new readings: the figures shown are the last record's. (since 10:00)"},
      {StationState::InputLost,
       LowerBound::None,
       {"input-lost"},
       "No sound arrives: nothing is being measured. (since 10:00)"},
      {StationState::SignalFault,
       LowerBound::DeadTimeCapped,
       {"signal-fault", "lower-bound"},
       "Readings in this time are suspect: the graphs draw them grey and leave them out of the "
       "maximum and mean. (since 10:00)"},
      {StationState::LowerBound,
       LowerBound::DeadTimeCapped,
       {"lower-bound"},
       "The count passed the correction's limit: the true dose rate is at least the figure "
       "shown. (since 09:00)"},
      {StationState::Measuring,
       LowerBound::TubeSaturated,
       {"saturated"},
       "The dose rate is above what this tube can count: the figures are lower bounds, the "
       "true dose rate is at least this. (since 09:00)"},
  };
  for (const auto& c : cases) {
    const QList<Banner> banners = stateBanners(c.state, c.bound, "10:00", "09:00");
    std::vector<std::string> kinds;
    for (const Banner& b : banners) kinds.push_back(b.kind.toStdString());
    EXPECT_EQ(kinds, std::vector<std::string>(c.kinds.begin(), c.kinds.end()))
        << static_cast<int>(c.state);
    if (!banners.isEmpty()) {
      EXPECT_EQ(banners.front().text.toStdString(), c.text) << static_cast<int>(c.state);
      EXPECT_FALSE(banners.front().title.isEmpty());
    }
  }
  // A lower bound alone tells its own start; without one, the state's.
  EXPECT_TRUE(stateBanners(StationState::SignalFault, LowerBound::DeadTimeCapped, "10:00", "09:00")
                  .back()
                  .text.endsWith("(since 09:00)"));
  EXPECT_EQ(stateBanners(StationState::Alarm2, LowerBound::None, "", "").front().text,
            "The dose rate passed the second stage's alarm level.");
  QStringList colours;
  for (const QString& kind : bannerKinds()) colours << bannerColour(kind);
  colours.removeDuplicates();
  EXPECT_EQ(colours.size(), bannerKinds().size()) << "a colour for each state";
}

// The banners on top as alerts, the suspect minute, a missing graph named; the live page
// keeps the boxes its script fills: the banners, today's minutes, the events (or the
// words that there are none) and the interval chart with its axes' names.
TEST(StationPageTidy, BannersSuspectMinuteMissingGraphAndTheLiveCharts) {
  QTemporaryDir dir;
  for (const bool live : {false, true}) {
    Language english(true);
    PageContent content{"Osaka", reading(0.1, 0.15), {{"graph_20110331.jpg", "Yesterday"}}, live};
    content.latest->suspect = true;
    content.banners = stateBanners(StationState::SignalFault, LowerBound::None, "11:45", "");
    content.missingGraphs = {"Today (2011/04/01)"};
    const QByteArray page = stationPage(content);
    const std::string text = page.toStdString();
    for (const char* present :
         {"<div class=\"banner signal-fault\" role=\"alert\"><strong>Fault: the signal is "
          "abnormal</strong>Readings in this time are suspect",
          "(since 11:45)</div>", "<section class=\"reading signal-fault\"",
          ".signal-fault{--state:#", "class=\"dose doubt\"",
          "Suspect value: measured while the sound path was at fault",
          "<p class=\"missing\">This graph is not here yet</p><figcaption>Today (2011/04/01)"})
      EXPECT_NE(text.find(present), std::string::npos) << live << ": " << present << "\n" << text;
    EXPECT_LT(text.find("role=\"alert\""), text.find("<h1>")) << "the banner comes first";
    const bool hasCharts = text.find("id=\"day\"") != std::string::npos &&
                           text.find("data-none=\"No events today\"") != std::string::npos &&
                           text.find("data-x=\"Pulse interval (ms)\"") != std::string::npos &&
                           text.find("<div id=\"banners\">") != std::string::npos;
    EXPECT_EQ(hasCharts, live) << text;
    const QString path = dir.filePath(live ? "live.html" : "published.html");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(page);
    file.close();
    const auto run = radmon::ftp::testing::runProgram(
        {"/usr/bin/tidy", "-q", "-errors", "--doctype", "html5", path.toStdString()},
        std::chrono::seconds(30));
    EXPECT_EQ(run.status, 0) << live << "\n" << run.output;
  }
}

}  // namespace
}  // namespace web
