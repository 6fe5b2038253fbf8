#include "day_graph.h"
#include "event_log.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "fault_bands.h"
#include "graph_names.h"
#include "image_files.h"
#include "period_graph.h"
#include "temp_station.h"

namespace radmon {
namespace {

namespace fs = std::filesystem;

class FakeSettings final : public GraphSettings {
 public:
  std::string m = "2";
  std::string base = "μSVHGraph";
  bool jpeg = true;
  bool bmp = true;
  std::string scaleMaximumText() const override { return m; }
  std::string placeText() const override { return "大阪府大阪市"; }
  std::string tubeText() const override { return "自作GM管"; }
  std::string baseNameText() const override { return base; }
  bool jpegWanted() const override { return jpeg; }
  bool bmpWanted() const override { return bmp; }
  bool meanInterval = false;
  bool meanIntervalWanted() const override { return meanInterval; }
};

class RecordedMessages final : public MessageSink {
 public:
  std::vector<std::string> shown;
  void show(const std::string& message) override { shown.push_back(message); }
};

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kGrid = qRgb(100, 100, 100);
const QRgb kPanel = qRgb(180, 180, 180);
const QRgb kBack = qRgb(240, 240, 240);

struct Pixel {
  int x, y;
  QRgb colour;
};

void expectPixels(const QImage& img, std::initializer_list<Pixel> pixels) {
  for (const Pixel& p : pixels)
    EXPECT_EQ(img.pixel(p.x, p.y), p.colour) << "at " << p.x << "," << p.y;
}

class DayGraphTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Fonts need a GUI application; one serves every test of the binary.
    static int argc = 1;
    static char name[] = "dayplot_render_test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QGuiApplication(argc, argv);
  }

  // Writes a day file from "hh:mm" and rate texts, in the given order.
  void writeDay(const std::vector<std::pair<std::string, std::string>>& records,
                const std::string& day = "20110401") {
    std::ofstream out(folder_ + "μSVHData" + day + ".csv", std::ios::binary);
    for (const auto& [time, rate] : records)
      out << "\"2011/04/01\",\"" << time << "\"," << rate << ",54,1234,60\r\n";
  }

  DayGraphResult draw(const std::string& day = "20110401") {
    result_ = graph_.drawDayGraph(folder_, day);
    return result_;
  }

  QImage saved(const std::string& name = "μSVHGraph_20110401.bmp") const {
    return QImage(QString::fromStdString(folder_ + name));
  }

  // Whether any pixel of the rectangle is dark (text is drawn smoothed).
  static bool anyDark(const QImage& image, int x1, int y1, int x2, int y2) {
    for (int y = y1; y <= y2; ++y)
      for (int x = x1; x <= x2; ++x)
        if (qGray(image.pixel(x, y)) < 128) return true;
    return false;
  }

  ftp::testing::TempStation temp_{"day_graph", "program", {}};
  const fs::path dir_ = temp_.data;  // empty at first
  const std::string folder_ = dir_.string() + "/";
  FakeSettings settings_;
  RecordedMessages messages_;
  ManualClock clock_{*LocalDateTime::parse("2011-04-05 10:20:30")};
  DayGraph graph_{settings_, messages_, clock_};
  DayGraphResult result_{};
};

TEST_F(DayGraphTest, PanelsAxesAndGridLieWhereTheyBelong) {
  writeDay({});
  ASSERT_EQ(draw(), DayGraphResult::Done);
  const QImage img = saved();
  ASSERT_EQ(img.size(), QSize(841, 537));
  for (const int base : {239, 469}) {
    // Left axis, bottom axis over its grid line, top grid line on the panel edge, a grid
    // line drawn as an outline only, the right edge of the panel, a scale and an hour tick.
    expectPixels(img, {{70, base - 17, kBlack},
                       {400, base, kBlack},
                       {400, base - 170, kGrid},
                       {400, base - 34, kGrid},
                       {400, base - 35, kBack},
                       {790, base - 17, kPanel},
                       {791, base - 17, kBack},
                       {65, base - 34, kBlack},
                       {130, base + 10, kBlack}});
    EXPECT_EQ(img.pixel(64, base - 34) == kBlack, false);
    EXPECT_EQ(img.pixel(130, base + 11) == kBlack, false);
  }
}

// The event log's faults are light bands behind the curve, one pixel a minute inside
// the panels; everything else is drawn as on a day without a log.
TEST_F(DayGraphTest, FaultPeriodsOfTheEventLogAreLightBandsBehindTheCurve) {
  // No record near a fault: the minutes a fault reaches are drawn apart (below).
  writeDay({{"00:30", "1"}, {"00:31", "1"}, {"12:00", "1"}, {"23:00", "1"}});
  ASSERT_EQ(draw(), DayGraphResult::Done);
  const QImage plain = saved();
  std::ofstream(folder_ + "μSVHEvents20110401.csv", std::ios::binary)
      << "\"2011/04/01\",\"01:00:00\",\"device-lost\",\"a\"\r\n"
         "\"2011/04/01\",\"01:10:30\",\"device-back\",\"b\"\r\n"
         "not an event\r\n"
         "\"2011/04/01\",\"23:50:00\",\"hum\",\"c\"\r\n";
  ASSERT_EQ(draw(), DayGraphResult::Done);
  const QImage banded = saved();
  const QRgb band = kFaultBand.rgb();
  auto inBand = [](int x, int y) {
    const bool morning = y > 239 - 170 && y < 239 && x >= 70 + 60 && x < 70 + 71;
    const bool evening = y > 469 - 170 && y < 469 && x >= 70 + 710 && x < 790;  // open to 24:00
    return morning || evening;
  };
  int banded_pixels = 0;
  for (int y = 0; y < plain.height(); ++y)
    for (int x = 0; x < plain.width(); ++x) {
      if (banded.pixel(x, y) == plain.pixel(x, y)) continue;
      ASSERT_TRUE(inBand(x, y)) << x << "," << y;
      EXPECT_EQ(plain.pixel(x, y), kBack) << "only the background gives way: " << x << "," << y;
      EXPECT_EQ(banded.pixel(x, y), band);
      ++banded_pixels;
    }
  EXPECT_GT(banded_pixels, 15 * 150);
  ASSERT_EQ(graph_.faultPeriods().size(), 2u);
  const std::string told = say::faultPeriods("20110401", graph_.faultPeriods());
  EXPECT_NE(told.find("01:00-01:10"), std::string::npos) << told;
  EXPECT_NE(told.find("23:50-24:00"), std::string::npos) << told;
  EXPECT_EQ(banded.pixel(100 + 70, 239 - 100), plain.pixel(100 + 70, 239 - 100));  // 01:40
  EXPECT_EQ(banded.pixel(70 + 65, 239 - 34), kGrid);  // the grid stays over the band
}

TEST_F(DayGraphTest, MinutesAFaultReachesAreDrawnGreyAndLeftOutOfTheFigures) {
  // Two hours at 0.5 with hum told from 01:00:00 to 01:30:00 written as 1.6.
  std::vector<std::pair<std::string, std::string>> day;
  for (int m = 0; m < 120; ++m) {
    char time[6];
    std::snprintf(time, sizeof time, "%02d:%02d", m / 60, m % 60);
    day.emplace_back(time, m >= 60 && m <= 90 ? "1.6" : "0.5");
  }
  writeDay(day);
  std::ofstream(folder_ + "μSVHEvents20110401.csv", std::ios::binary)
      << "\"2011/04/01\",\"01:00:00\",\"hum\",\"a\"\r\n"
         "\"2011/04/01\",\"01:30:00\",\"signal-ok\",\"hum\"\r\n";
  ASSERT_EQ(draw(), DayGraphResult::Done);
  const QImage img = saved();
  auto column = [&](int minute, QRgb colour) {
    int n = 0;
    for (int y = 239 - 169; y < 239; ++y) n += img.pixel(70 + minute, y) == colour;
    return n;
  };
  const QRgb grey = kSuspectCurve.rgb();
  EXPECT_GT(column(75, grey), 0);  // 01:15, inside the hum
  EXPECT_EQ(column(75, kBlack), 0);
  EXPECT_GT(column(30, kBlack), 0);  // 00:30, clean
  EXPECT_EQ(column(30, grey), 0);
  // 00:59 (the hum may have begun before it was told) to 01:30 are set aside.
  ASSERT_TRUE(graph_.statistics());
  EXPECT_EQ(statisticsLine(*graph_.statistics()),
            "statistics max=0.5 mean=0.5 minutes=88 suspect=32");
}

TEST_F(DayGraphTest, ScaleLabelRowsFollowTheScaleMaximum) {
  writeDay({});
  draw();
  const QImage two = graph_.picture().copy();
  std::vector<QImage> labels;
  for (const int base : {239, 469}) {
    for (int i = 0; i <= 5; ++i) {
      const int y = base - 34 * i;
      EXPECT_TRUE(anyDark(two, 40, y - 5, 63, y + 8)) << "label row at y " << y;
      if (i < 4) {  // "μSV/h" reaches into the labels' column above the fourth
        EXPECT_FALSE(anyDark(two, 40, y - 28, 63, y - 7)) << "between rows at " << y;
      }
      labels.push_back(two.copy(40, y - 5, 24, 14));
    }
  }
  EXPECT_NE(labels[0], labels[1]);  // " 0 " and " .4 "
  EXPECT_EQ(labels[3], labels[9]);  // " 1.2 " in both panels

  // 0.01 / 5 rounds to 0: every label reads " 0 ".
  settings_.m = "0.01";
  draw();
  const QImage tiny = graph_.picture();
  for (const int y : {205, 171, 137, 103, 69, 435, 299})
    EXPECT_EQ(tiny.copy(40, y - 5, 24, 14), tiny.copy(40, 234, 24, 14)) << y;
}

TEST_F(DayGraphTest, CurvePixelsAtFloorOfBaseMinusRateTimesUnit) {
  writeDay({{"02:00", "2"},
            {"02:01", "2"},  // M: on the morning top edge, y 69
            {"04:10", "0"},
            {"04:11", "2"},  // from the baseline straight up
            {"08:00", "1"},
            {"08:02", "1"},
            {"08:03", "1"},  // 08:01 missing
            {"11:59", "1"},
            {"12:00", "1"},  // ends at x 790 in the morning
            {"15:00", "4"},
            {"15:01", "4"},  // 2 M: y 129, inside the morning panel
            {"16:00", "0.3"},
            {"16:01", "0.3"},  // 469 - 25.5: y 443
            {"23:58", "1"},
            {"23:59", "1"}});
  ASSERT_EQ(draw(), DayGraphResult::Done);
  expectPixels(saved(), {{190, 69, kBlack},
                         {191, 69, kBlack},
                         {192, 69, kGrid},
                         {320, 238, kBlack},
                         {320, 240, kBack},
                         {321, 69, kBlack},  // 04:10 rises from y 239,
                                             // nothing below the baseline
                         {550, 154, kBack},
                         {551, 154, kBack},
                         {552, 154, kBlack},
                         {553, 154, kBlack},
                         {789, 154, kBlack},
                         {790, 154, kBlack},
                         {791, 154, kBack},
                         {70, 384, kBlack},
                         {71, 384, kBack},  // the afternoon starts at its left axis; then a gap
                         {250, 129, kBlack},
                         {251, 129, kBlack},
                         {252, 129, kBack},
                         {310, 443, kBlack},
                         {310, 444, kBack},
                         {788, 384, kBlack},
                         {789, 384, kBlack},
                         {790, 384, kPanel}});  // nothing reaches x 790
}

TEST_F(DayGraphTest, MissingDayFileLeavesTheScalesAndWritesNothing) {
  EXPECT_EQ(draw(), DayGraphResult::NoDayFile);
  EXPECT_EQ(messages_.shown, std::vector<std::string>{"ファイルがありません"});
  EXPECT_TRUE(fs::is_empty(dir_));
  const QImage& img = graph_.picture();
  EXPECT_EQ(img.pixel(70, 150), kBlack);
  EXPECT_FALSE(anyDark(img, 0, 0, 640, 60));  // no title, no statistics
}

TEST_F(DayGraphTest, SkippedLinesAreReportedAndTheRestDrawn) {
  writeDay({{"00:00", "1"}, {"00:01", "abc"}, {"00:02", "1"}});
  EXPECT_EQ(draw(), DayGraphResult::Done);
  EXPECT_EQ(messages_.shown, std::vector<std::string>{folder_ + "μSVHData20110401.csv の読めない "
                                                                "1 行を読み飛ばしました"});
  messages_.shown.clear();
  writeDay({{"00:00", "1"}, {"00:01", "1"}});
  EXPECT_EQ(draw(), DayGraphResult::Done);
  EXPECT_TRUE(messages_.shown.empty());  // a clean file is not remarked on
}

TEST_F(DayGraphTest, BadScaleMaximumIsRefusedBeforeAnythingIsDrawn) {
  writeDay({{"00:00", "1"}, {"00:01", "1"}});
  for (const std::string m : {"", "abc", "0", "-1", "1e-320"}) {
    messages_.shown.clear();
    settings_.m = m;
    EXPECT_EQ(draw(), DayGraphResult::BadScale) << m;
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_NE(messages_.shown[0].find("縦軸最大スケール"), std::string::npos);
  }
  EXPECT_EQ(fs::directory_iterator(dir_)->path().filename(), "μSVHData20110401.csv");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
  EXPECT_FALSE(anyDark(graph_.picture(), 0, 0, 840, 536));
}

TEST_F(DayGraphTest, ImageNamesForTodayAndOtherDays) {
  writeDay({{"00:00", "1"}});
  writeDay({{"00:00", "1"}}, "20110405");
  draw("20110405");  // the clock's today
  draw("20110401");
  EXPECT_TRUE(fs::exists(folder_ + "μSVHGraph.bmp"));
  EXPECT_TRUE(fs::exists(folder_ + "μSVHGraph.jpg"));
  EXPECT_TRUE(fs::exists(folder_ + "μSVHGraph_20110401.bmp"));
  const QImage jpeg(QString::fromStdString(folder_ + "μSVHGraph_20110401.jpg"));
  EXPECT_EQ(jpeg.size(), QSize(841, 537));
  EXPECT_EQ(imageBaseName("g", "20110404", "20110405"), "g_20110404");
}

TEST_F(DayGraphTest, TextsStayInsideThePictureAtTheLongestTime) {
  clock_.set(*LocalDateTime::parse("2011-12-31 23:59:59"));
  writeDay({{"00:00", "1.234"}, {"00:01", "0.567"}});
  draw();
  const QImage& img = graph_.picture();
  EXPECT_TRUE(anyDark(img, 670, 5, 830, 45));    // the information lines ...
  EXPECT_FALSE(anyDark(img, 837, 0, 840, 60));   // ... end before the right edge
  EXPECT_TRUE(anyDark(img, 70, 45, 190, 62));    // statistics
  EXPECT_FALSE(anyDark(img, 0, 510, 840, 536));  // nothing below the hour labels
}

TEST_F(DayGraphTest, ImageOptionsOffDrawsButWritesNothing) {
  writeDay({{"00:00", "1"}, {"00:01", "1"}});
  settings_.bmp = settings_.jpeg = false;
  EXPECT_EQ(draw(), DayGraphResult::Done);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
  EXPECT_TRUE(anyDark(graph_.picture(), 5, 5, 200, 40));  // the title is there
}

TEST_F(DayGraphTest, UnwritableImageIsReportedAndTheOtherStillWritten) {
  writeDay({{"00:00", "1"}});
  fs::create_directory(folder_ + "μSVHGraph_20110401.bmp");  // in the way of the file
  EXPECT_EQ(draw(), DayGraphResult::WriteFailed);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_NE(messages_.shown[0].find("BMP"), std::string::npos);
  EXPECT_TRUE(fs::is_regular_file(folder_ + "μSVHGraph_20110401.jpg"));
}

TEST_F(DayGraphTest, SameDayGivesTheSameImageOnAReusedPicture) {
  writeDay({{"00:00", "1"}, {"00:01", "1.5"}});
  draw();
  const QImage first = graph_.picture().copy();
  writeDay({{"06:00", "0.5"}, {"06:01", "0.7"}}, "20110402");
  draw("20110402");
  EXPECT_NE(graph_.picture(), first);
  draw();
  EXPECT_EQ(graph_.picture(), first);
}

TEST_F(DayGraphTest, MeanIntervalOnlyWhenChosen) {
  writeDay({{"00:00", "1.234"}, {"00:01", "0.567"}});  // 54 pulses a minute
  draw();
  const QImage off = graph_.picture().copy();
  EXPECT_FALSE(anyDark(off, 330, 45, 640, 62));  // the line ends after the mean
  settings_.meanInterval = true;
  draw();
  const QImage on = graph_.picture().copy();
  EXPECT_TRUE(anyDark(on, 330, 45, 640, 62));  // the interval of 108 pulses follows
  EXPECT_EQ(on.copy(0, 64, 841, 473), off.copy(0, 64, 841, 473));  // nothing else moves
}

TEST(Period, NamesAndDays) {
  const struct {
    std::string text;
    bool month;
    std::optional<Period> period;
    size_t days;
    std::string name;
  } cases[] = {{"201104", true, Period{PeriodKind::Month, 2011, 4}, 30, "201104"},
               {"202402", true, Period{PeriodKind::Month, 2024, 2}, 29, "202402"},
               {"190002", true, Period{PeriodKind::Month, 1900, 2}, 28, "190002"},
               {"2024", false, Period{PeriodKind::Year, 2024, 1}, 366, "2024"},
               {"2100", false, Period{PeriodKind::Year, 2100, 1}, 365, "2100"},
               {"201113", true, std::nullopt, 0, ""},
               {"201100", true, std::nullopt, 0, ""},
               {"20114", true, std::nullopt, 0, ""},
               {"-20104", true, std::nullopt, 0, ""},
               {"2011", true, std::nullopt, 0, ""},
               {"201104", false, std::nullopt, 0, ""},
               {"+201", false, std::nullopt, 0, ""},
               {"1899", false, std::nullopt, 0, ""}};
  for (const auto& c : cases) {
    const auto period = c.month ? parseMonth(c.text) : parseYear(c.text);
    EXPECT_EQ(period, c.period) << c.text;
    if (!period) continue;
    EXPECT_EQ(period->days().size(), c.days) << c.text;
    EXPECT_EQ(period->name(), c.name);
  }
  const auto year = parseYear("2011")->days();
  EXPECT_EQ(year.front(), "20110101");
  EXPECT_EQ(year[59], "20110301");
  EXPECT_EQ(year.back(), "20111231");
}

// A month with files on the 1st, 2nd and 4th (the 3rd missing) and faults on the 2nd
// and 3rd: scale 2 μSv/h over 340 px, so 1 μSv/h is 170 px above the base at 469.
class PeriodGraphTest : public DayGraphTest {
 protected:
  void SetUp() override {
    writeDay({{"00:00", "0.5"}, {"00:01", "1.5"}}, "20110401");  // mean 1
    writeDay({{"00:00", "1"}, {"00:01", "1"}, {"00:02", "1"}}, "20110402");
    writeDay({{"00:00", "0.6"}, {"00:01", "x"}}, "20110404");  // one unreadable line
    writeDay({{"00:00", "3"}}, "20110501");                    // another month
  }
  DayGraphResult drawMonth() {
    const FaultReader faults = [](const std::string&, const std::string& day) {
      return day == "20110402" || day == "20110403" ? 60 : 0;
    };
    return period_.drawPeriodGraph(folder_, *parseMonth("201104"), faults);
  }
  static int middle(int day) {
    return (PeriodGraph::dayLeft(day - 1, 30) + PeriodGraph::dayLeft(day, 30)) / 2;
  }

  PeriodGraph period_{settings_, messages_, clock_};
};

TEST_F(PeriodGraphTest, DailyMeansAndRangesWithGaps) {
  const PeriodTable t = readPeriodTable(folder_, *parseMonth("201104")).value;
  ASSERT_EQ(t.days.size(), 30u);
  EXPECT_EQ(t.daysPresent, 3);
  EXPECT_EQ(t.records, 6);
  EXPECT_DOUBLE_EQ(t.maximum, 1.5);
  EXPECT_DOUBLE_EQ(t.mean, 0.933);  // 5.6 over 6 records
  const DaySummary& first = t.days[0];
  EXPECT_TRUE(first.present);
  EXPECT_DOUBLE_EQ(first.mean, 1.0);
  EXPECT_DOUBLE_EQ(first.low, 0.5);
  EXPECT_DOUBLE_EQ(first.high, 1.5);
  EXPECT_FALSE(t.days[2].present);
  EXPECT_EQ(t.days[3].records, 1);
  EXPECT_EQ(t.days[29].day, "20110430");
}

TEST_F(PeriodGraphTest, BandMeanGapAndFaultsWhereTheyBelong) {
  std::vector<std::pair<std::string, std::string>> shortDay;  // 23 hours: not marked
  for (int m = 0; m < 23 * 60; ++m)
    shortDay.emplace_back((m < 600 ? "0" : "") + std::to_string(m / 60) + ":" +
                              (m % 60 < 10 ? "0" : "") + std::to_string(m % 60),
                          "0.1");
  writeDay(shortDay, "20110410");
  ASSERT_EQ(drawMonth(), DayGraphResult::Done);
  const QImage img(QString::fromStdString(folder_ + "μSVHGraph_201104.bmp"));
  ASSERT_EQ(img.size(), QSize(841, 537));
  EXPECT_TRUE(fs::is_regular_file(folder_ + "μSVHGraph_201104.jpg"));
  const QRgb band = PeriodGraph::kBand.rgb(), fault = PeriodGraph::kFault.rgb();
  // Day 1: band from y 214 (1.5) to 384 (0.5), the mean at 299.
  const int left = PeriodGraph::dayLeft(0, 30) + 2;
  // The line on to day 2's mean of 1.
  expectPixels(img, {{left, 220, band},
                     {left, 380, band},
                     {left, 210, kBack},
                     {middle(1), 299, kBlack},
                     {middle(2), 299, kBlack}});
  // Day 3 has no file: no band and no line, only its fault mark; day 4 stands alone.
  for (int y = 140; y < 460; ++y)
    EXPECT_EQ(img.pixel(middle(3), y) == kBack || img.pixel(middle(3), y) == kGrid, true) << y;
  expectPixels(img, {{middle(3), 466, fault},
                     {middle(2), 466, fault},
                     {middle(1), 466, kBack},
                     {middle(4), 367, kBlack},
                     {middle(5), 367, kBack}});
  // Days 1, 2 and 4 hold a few minutes each: marked over the fault mark; the 10th's 23
  // hours are a whole day on a spring clock change, and a day without a file is a gap.
  const QRgb missing = PeriodGraph::kHoursMissing.rgb();
  expectPixels(img, {{middle(1), 460, missing},
                     {middle(2), 460, missing},
                     {middle(4), 460, missing},
                     {middle(3), 460, kBack},
                     {middle(10), 460, kBack},
                     {middle(10), 452, kBlack}});  // its mean of 0.1
  // The mean line breaks at days 3 and 5: nothing of it inside their columns, however it
  // might have run on (across to day 4, or down to no mean at all).
  for (const int day : {3, 5}) {
    for (int x = PeriodGraph::dayLeft(day - 1, 30); x < PeriodGraph::dayLeft(day, 30); ++x)
      for (int y = PeriodGraph::kBase - PeriodGraph::kPanelHeight + 1; y < PeriodGraph::kBase; ++y)
        ASSERT_NE(img.pixel(x, y), kBlack) << "day " << day << " at " << x << "," << y;
  }
  EXPECT_TRUE(anyDark(img, 5, 5, 200, 40));    // "2011年04月"
  EXPECT_TRUE(anyDark(img, 70, 45, 190, 62));  // "[ 月最大: 1.5"
}

// Without a reader of its own, a period graph takes each day's faults from its event log.
TEST_F(PeriodGraphTest, DaysAtFaultComeFromTheEventLogs) {
  std::ofstream(folder_ + eventFileName("20110402"), std::ios::binary)
      << formatEventLine({{2011, 4, 2, 10, 0, 0}, EventKind::NoSignal, "x"})
      << formatEventLine({{2011, 4, 2, 10, 10, 0}, EventKind::SignalOk, "x (no-signal)"})
      << formatEventLine({{2011, 4, 2, 23, 0, 0}, EventKind::DeviceLost, "x"});
  EXPECT_EQ(faultSecondsOfDay(folder_, "20110402"), 600 + 3600);  // the open loss to midnight
  EXPECT_EQ(faultSecondsOfDay(folder_, "20110401"), 0);
  ASSERT_EQ(period_.drawPeriodGraph(folder_, *parseMonth("201104")), DayGraphResult::Done);
  const QImage img(QString::fromStdString(folder_ + "μSVHGraph_201104.bmp"));
  EXPECT_EQ(img.pixel(middle(2), 466), PeriodGraph::kFault.rgb());
  EXPECT_EQ(img.pixel(middle(1), 466), kBack);
}

TEST_F(PeriodGraphTest, NoFileInThePeriodAndBadScale) {
  EXPECT_EQ(period_.drawPeriodGraph(folder_, *parseMonth("201106")), DayGraphResult::NoDayFile);
  EXPECT_EQ(messages_.shown, std::vector<std::string>{"この期間の記録ファイルがありません"});
  EXPECT_FALSE(fs::exists(folder_ + "μSVHGraph_201106.jpg"));
  settings_.m = "0";
  EXPECT_EQ(drawMonth(), DayGraphResult::BadScale);
  EXPECT_FALSE(fs::exists(folder_ + "μSVHGraph_201104.jpg"));
  settings_.m = "2";
  EXPECT_EQ(period_.drawPeriodGraph(folder_, *parseYear("2011")), DayGraphResult::Done);
  EXPECT_TRUE(fs::is_regular_file(folder_ + "μSVHGraph_2011.jpg"));
}

TEST(StatisticText, LeadingZeroBelowOneBlankFromOne) {
  const std::pair<double, std::string> cases[] = {{0, "0"},  {0.052, "0.052"}, {0.75, "0.75"},
                                                  {1, " 1"}, {1.5, " 1.5"},    {2, " 2"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(statisticText(value), text) << value;
}

}  // namespace
}  // namespace radmon
