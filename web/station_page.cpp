#include "station_page.h"

#include <QCoreApplication>
#include <QUrl>
#include <cmath>

namespace web {
namespace {

// tr() of the context that lupdate files the page's words under.
struct StationPage {
  Q_DECLARE_TR_FUNCTIONS(StationPage)
};

QString number(double value, int decimals) {
  return std::isfinite(value) ? QString::number(value, 'f', decimals) : QStringLiteral("–");
}

QString escaped(const QString& text) { return text.toHtmlEscaped(); }

// A file beside the page as a link: percent-encoded (spaces, Japanese names), then escaped.
QString link(const QString& file) {
  return escaped(QString::fromLatin1(QUrl::toPercentEncoding(file, "/")));
}

// Small, inside the page so that one file and its images work on any host.
constexpr char kStyle[] =
    "*{box-sizing:border-box}"
    "body{margin:0 auto;max-width:72rem;padding:0.75rem;font-family:system-ui,sans-serif;"
    "line-height:1.4;color:#1b1b1b;background:#fafafa}"
    "h1{font-size:1.5rem;margin:0.25rem 0 0.75rem;overflow-wrap:anywhere}"
    "h2{font-size:1.15rem;margin:1.25rem 0 0.5rem}.reading h2{margin-top:0}"
    ".reading{background:#fff;border:1px solid #ccc;border-radius:0.5rem;padding:0.75rem}"
    ".dose{font-size:2.25rem;font-weight:bold;margin:0}"
    ".unit{font-size:1rem;font-weight:normal}"
    ".bound{margin:0.25rem 0 0;font-weight:bold;color:#a40000}"
    "dl{display:grid;grid-template-columns:auto 1fr;gap:0.25rem 0.75rem;margin:0.5rem 0 0}"
    "dt{color:#555}dd{margin:0;overflow-wrap:anywhere}"
    ".graphs{display:grid;gap:1rem;"
    "grid-template-columns:repeat(auto-fit,minmax(min(100%,30rem),1fr))}"
    "figure{margin:0}img{display:block;max-width:100%;height:auto}"
    "figcaption{font-size:0.9rem;color:#555}"
    "footer{margin-top:1.5rem;font-size:0.85rem;color:#555}"
    "#events{margin:0;padding-left:1.25rem;font-size:0.9rem;max-height:16rem;overflow:auto}"
    ".bars{display:flex;align-items:flex-end;gap:1px;height:8rem;background:#fff;"
    "border:1px solid #ccc;padding:2px}.bar{flex:1;display:flex;align-items:flex-end;"
    "height:100%}.bar span{display:block;width:100%;background:#4a7f5c}";

// Updates the reading's elements from the station's event stream; the page reads as it
// is without it.
constexpr char kLiveScript[] =
    "(function(){\n"
    "function put(id,text){var e=document.getElementById(id);if(e)e.textContent=text;}\n"
    "function num(v,d){return typeof v==='number'&&isFinite(v)?v.toFixed(d):'\\u2013';}\n"
    "var source=new EventSource('/events');\n"
    // A lower bound: "≥" before the figures, its words shown, the interval without an
    // upper end (the words for that are on the reading's section).
    "var section=document.querySelector('.reading');\n"
    "source.onmessage=function(m){var r;try{r=JSON.parse(m.data);}catch(e){return;}\n"
    "var lb=r.lowerBound===true;\n"
    "document.querySelectorAll('.ge').forEach(function(e){e.hidden=!lb;});\n"
    "var b=document.getElementById('bound');if(b)b.hidden=!lb;\n"
    "put('dose',num(r.doseRate,3));put('cpm',num(r.cpm,0));\n"
    "put('range',lb?'\\u2265 '+num(r.low,3)+' \\u00b5Sv/h ('+"
    "(section?section.getAttribute('data-open'):'')+')':"
    "num(r.low,3)+' \\u2013 '+num(r.high,3)+' \\u00b5Sv/h');\n"
    "put('time',r.time||'');put('state',r.state||'');};\n"
    // Today's events, newest first, and the pulse-interval histogram (observed against
    // the expected count of a random tube), fetched again every ten seconds.
    "function get(path,use){fetch(path).then(function(a){return a.json();}).then(use,"
    "function(){});}\n"
    "function events(list){var ul=document.getElementById('events');if(!ul)return;"
    "ul.textContent='';list.slice(-50).reverse().forEach(function(e){"
    "var li=document.createElement('li');li.textContent=e.time+' '+e.text;ul.appendChild(li);});}\n"
    "function bars(h){var box=document.getElementById('intervals');if(!box||!h.bins)return;"
    "var top=1;h.bins.forEach(function(b){top=Math.max(top,b.observed,b.expected);});"
    "box.textContent='';h.bins.forEach(function(b){var row=document.createElement('div');"
    "row.className='bar';row.title=(b.from*1000).toFixed(1)+'\u2013'+(b.to*1000).toFixed(1)+"
    "' ms: '+b.observed+' / '+b.expected.toFixed(1);var o=document.createElement('span');"
    "o.style.height=(100*b.observed/top)+'%';row.appendChild(o);box.appendChild(row);});}\n"
    "function refresh(){get('/events.json',events);get('/histogram.json',bars);}\n"
    "refresh();setInterval(refresh,10000);\n"
    "})();\n";

// A value, with its element id on the live page.
QString value(bool live, const char* id, const QString& text) {
  return live ? QStringLiteral("<span id=\"%1\">%2</span>").arg(QLatin1String(id), text) : text;
}

// The interval's text: both ends, or for a lower bound its lower end alone.
QString rangeText(const LatestReading& r) {
  if (r.lowerBound)
    return QStringLiteral("≥ %1 µSv/h (%2)").arg(number(r.low, 3), StationPage::tr("上限なし"));
  return number(r.low, 3) + " – " + number(r.high, 3) + " µSv/h";
}

QString reading(const PageContent& content) {
  const bool live = content.live;
  if (!content.latest && !live)
    return QStringLiteral("<p>%1</p>\n").arg(StationPage::tr("まだ測定値がありません"));
  const LatestReading r = content.latest.value_or(
      LatestReading{{}, NAN, NAN, NAN, NAN, StationPage::tr("まだ測定値がありません")});
  const bool interval = std::isfinite(r.low) && (std::isfinite(r.high) || r.lowerBound);
  // Unknown on the published page; the live page keeps the element for its updates.
  const QString range =
      interval || live ? value(live, "range", rangeText(r)) : StationPage::tr("不明");
  // "≥" before a lower bound's figures and its words under the dose; the live page keeps
  // them, hidden, for the seconds that are one.
  const QString hidden = r.lowerBound ? QString() : QStringLiteral(" hidden");
  const QString ge = live ? QStringLiteral("<span class=\"ge\"%1>≥ </span>").arg(hidden)
                          : (r.lowerBound ? QStringLiteral("≥ ") : QString());
  const QString bound = r.lowerBound || live
                            ? QStringLiteral("<p%1 class=\"bound\"%2>%3</p>\n")
                                  .arg(live ? QStringLiteral(" id=\"bound\"") : QString(), hidden,
                                       StationPage::tr("下限値: 真の線量率はこれ以上です"))
                            : QString();
  auto row = [](const QString& term, const QString& text) {
    return QStringLiteral("<dt>%1</dt><dd>%2</dd>\n").arg(term, text);
  };
  return QStringLiteral("<p class=\"dose\">%1%2 <span class=\"unit\">µSv/h</span></p>\n%3")
             .arg(ge, value(live, "dose", number(r.doseRate, 3)), bound) +
         "<dl>\n" + row(StationPage::tr("95 % 区間"), range) +
         row(StationPage::tr("計数率"), ge + value(live, "cpm", number(r.cpm, 0)) + " CPM") +
         row(StationPage::tr("時刻"), value(live, "time", escaped(r.time))) +
         row(StationPage::tr("状態"), value(live, "state", escaped(r.state))) + "</dl>\n";
}

}  // namespace

namespace {

QString baseWords(StationState state) {
  switch (state) {
    case StationState::Measuring:
      return StationPage::tr("測定中");
    case StationState::Stopped:
      return StationPage::tr("記録が止まっています");
    case StationState::InputLost:
      return StationPage::tr("故障: 音声入力が失われました");
    case StationState::SignalFault:
      return StationPage::tr("故障: 信号の異常");
    case StationState::LowerBound:
      return StationPage::tr("測定中 (計数の上限を超え、値は下限です)");
    case StationState::Alarm1:
      return StationPage::tr("警報 第1段階");
    case StationState::Alarm2:
      return StationPage::tr("警報 第2段階");
  }
  return {};
}

}  // namespace

QString stateWords(StationState state, LowerBound bound) {
  const QString saturated =
      StationPage::tr("GM管の飽和: 線量率はこの GM管が数えられる範囲を超えています");
  const bool measuring = state == StationState::Measuring || state == StationState::LowerBound;
  // A stopped station has no reading now; a lower bound with nothing else is told as the
  // state it always was.
  if (state == StationState::Stopped) return baseWords(state);
  if (measuring && bound == LowerBound::DeadTimeCapped) return baseWords(StationState::LowerBound);
  if (measuring && bound == LowerBound::TubeSaturated)
    return StationPage::tr("測定中 (%1)").arg(saturated);
  if (bound == LowerBound::None) return baseWords(state);
  // An alarm or a fault, and the lower bound beside it.
  return StationPage::tr("%1 · %2", "a state and the lower bound beside it")
      .arg(baseWords(state),
           bound == LowerBound::TubeSaturated ? saturated : StationPage::tr("値は下限"));
}

QString graphCaption(GraphKind kind, const QString& when) {
  switch (kind) {
    case GraphKind::Today:
      return StationPage::tr("今日 (%1)").arg(when);
    case GraphKind::Yesterday:
      return StationPage::tr("昨日 (%1)").arg(when);
    case GraphKind::Month:
      return StationPage::tr("月 (%1)").arg(when);
    case GraphKind::Year:
      return StationPage::tr("年 (%1)").arg(when);
  }
  return when;
}

QByteArray stationPage(const PageContent& content) {
  const QString title = content.stationName.trimmed().isEmpty() ? StationPage::tr("放射線量")
                                                                : escaped(content.stationName);
  QString html =
      QStringLiteral(
          "<!DOCTYPE html>\n<html lang=\"%1\">\n<head>\n<meta charset=\"utf-8\">\n"
          "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
          "<title>%2</title>\n<style>%3</style>\n</head>\n<body>\n<header><h1>%2</h1>"
          "</header>\n<main>\n<section class=\"reading\"%5>\n<h2>%4</h2>\n")
          .arg(StationPage::tr("ja", "the page's language code (lang attribute)"), title,
               QLatin1String(kStyle), StationPage::tr("最新の測定値"),
               content.live
                   ? QStringLiteral(" data-open=\"%1\"").arg(escaped(StationPage::tr("上限なし")))
                   : QString());
  html += reading(content);
  html += QStringLiteral("</section>\n");
  if (!content.graphs.isEmpty()) {
    html += QStringLiteral("<section>\n<h2>%1</h2>\n<div class=\"graphs\">\n")
                .arg(StationPage::tr("グラフ"));
    for (const PageImage& image : content.graphs)
      html += QStringLiteral(
                  "<figure><a href=\"%1\"><img src=\"%1\" alt=\"%2\"></a>"
                  "<figcaption>%2</figcaption></figure>\n")
                  .arg(link(image.file), escaped(image.caption));
    html += QStringLiteral("</div>\n</section>\n");
  }
  if (content.live)
    html += QStringLiteral(
                "<section>\n<h2>%1</h2>\n<ul id=\"events\"></ul>\n</section>\n"
                "<section>\n<h2>%2</h2>\n<div id=\"intervals\" class=\"bars\"></div>\n"
                "</section>\n")
                .arg(StationPage::tr("今日のイベント"), StationPage::tr("パルス間隔の分布"));
  html += QStringLiteral("</main>\n");
  QStringList foot;
  if (!content.madeAt.isEmpty()) foot << StationPage::tr("更新: %1").arg(escaped(content.madeAt));
  if (!content.readingsFile.isEmpty())
    foot << QStringLiteral("<a href=\"%1\">%2</a>")
                .arg(link(content.readingsFile), StationPage::tr("今日の毎分の記録 (JSON)"));
  if (!foot.isEmpty()) html += QStringLiteral("<footer><p>%1</p></footer>\n").arg(foot.join(" · "));
  if (content.live)
    html += QStringLiteral("<script>\n%1</script>\n").arg(QLatin1String(kLiveScript));
  html += QStringLiteral("</body>\n</html>\n");
  return html.toUtf8();
}

}  // namespace web
