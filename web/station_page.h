// The station's page: one HTML file that shows the latest reading and the graphs. dayplot
// writes it beside the graphs it publishes; ratemon serves it, live, from its own HTTP
// server. The words on it are in the interface's language (context "StationPage"); it
// needs no script to be read, carries its style inside and fits a phone's narrow screen.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace web {

struct LatestReading {
  QString time;       // local time of the record line, as the record line writes it
  double doseRate{};  // µSv/h
  double low{};       // 95 % interval of the dose rate, µSv/h; NaN where unknown
  double high{};
  double cpm{};
  QString state;  // the station's state in words of the interface's language
  // The reading is a lower bound (past the dead-time cap, or a saturated tube): the dose
  // rate and CPM are shown as "≥", the interval with its lower end only.
  bool lowerBound = false;
  // The minute was heard while the sound path was at fault: the graphs set it aside (grey),
  // so the headline says it is suspect.
  bool suspect = false;
};

// A state that must not be missed, as a coloured banner at the top of the page that a
// screen reader reads (role="alert"): `kind` chooses its colour, `text` says what the
// state means and since when, so that nobody has to tell it by colour alone.
struct Banner {
  QString kind;   // one of bannerKinds()
  QString title;  // the state, in a few words
  QString text;   // what it means, and since when
};

struct PageImage {
  QString file;  // relative to the page
  QString caption;
  // The same graph drawn for the screen (SVG), shown in place of `file`, which it links;
  // empty: `file` is shown.
  QString screen{};
};

struct PageContent {
  QString stationName;                  // the place, as the graphs name it
  std::optional<LatestReading> latest;  // none before the first record
  QList<PageImage> graphs;              // today, yesterday, month, year
  // The station's own live page: the reading's values carry element ids and a short
  // script follows the server's event stream (/events) to update them every second.
  bool live = false;
  // The file of today's minutes beside the page (readings.json), linked from its foot;
  // empty: no link.
  QString readingsFile{};
  // When the page was made, shown at its foot; empty: not shown.
  QString madeAt{};
  // The states that stand out, most urgent first; none while all is normal.
  QList<Banner> banners{};
  // The graphs the page would show that are not there (not drawn today, or not on the
  // server): their captions, named on the page instead of a broken image.
  QStringList missingGraphs{};
};

// The station's state as the files tell it; its words come from stateWords.
enum class StationState {
  Measuring,    // records come in, no fault open
  Stopped,      // no record for a while: ratemon is not recording
  InputLost,    // the sound input went away
  SignalFault,  // no signal, hum, clipping or interference on the sound path
  LowerBound,   // the rate passed the dead-time correction's cap: readings are lower bounds
  Alarm1,       // the first alarm stage
  Alarm2,       // the second alarm stage
};
// Why the readings are lower bounds, beside whatever else the state says: an alarm stage
// and a lower bound are told together, never one instead of the other.
enum class LowerBound {
  None,
  DeadTimeCapped,  // the counted rate passed the dead-time correction's cap
  TubeSaturated,   // the tube counts no more, however high the rate
};
QString stateWords(StationState state, LowerBound bound = LowerBound::None);

// The kinds of banner, each with its colour: "alarm2", "alarm1", "stopped", "input-lost",
// "signal-fault", "lower-bound", "saturated".
QStringList bannerKinds();
// A banner's colour ("#rrggbb"), dark enough for white text; grey for an unknown kind.
QString bannerColour(const QString& kind);
// The banners of a state and of the lower bound beside it; `since` and `boundSince` are
// when each began, as the page writes times (empty: not known). Measuring gives none.
QList<Banner> stateBanners(StationState state, LowerBound bound, const QString& since,
                           const QString& boundSince);

enum class GraphKind { Today, Yesterday, Month, Year };
// A graph's caption: its kind and `when` (a date, a month or a year as the caller writes it).
QString graphCaption(GraphKind kind, const QString& when);

// The page as UTF-8 HTML5. Every text from content is escaped; image files are
// percent-encoded in their links.
QByteArray stationPage(const PageContent& content);

}  // namespace web
