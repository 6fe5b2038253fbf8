#include "station_page.h"

#include <QCoreApplication>
#include <QUrl>
#include <cmath>
#include <iterator>
#include <utility>

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
    ".suspect{margin:0.25rem 0 0;font-weight:bold;color:#6d4c41}.dose.doubt{color:#777}"
    // The states that stand out: white on a colour of each state's own, its words beside.
    ".banner{margin:0 0 0.75rem;padding:0.6rem 0.75rem;border-radius:0.5rem;color:#fff;"
    "overflow-wrap:anywhere}.banner strong{display:block;font-size:1.3rem}"
    ".banner{background:var(--state)}"
    ".reading[class*=\" \"]{border:3px solid var(--state)}"
    ".reading.alarm1 .dose,.reading.alarm2 .dose{color:var(--state)}"
    ".missing{margin:0;padding:0.5rem;border:1px dashed #888;color:#555}"
    "dl{display:grid;grid-template-columns:auto 1fr;gap:0.25rem 0.75rem;margin:0.5rem 0 0}"
    "dt{color:#555}dd{margin:0;overflow-wrap:anywhere}"
    ".graphs{display:grid;gap:1rem;"
    "grid-template-columns:repeat(auto-fit,minmax(min(100%,30rem),1fr))}"
    "figure{margin:0}img{display:block;max-width:100%;height:auto}"
    "figcaption{font-size:0.9rem;color:#555}"
    "footer{margin-top:1.5rem;font-size:0.85rem;color:#555}"
    "#events{margin:0;padding-left:1.25rem;font-size:0.9rem;max-height:16rem;overflow:auto}"
    ".chart{background:#fff;border:1px solid #ccc;min-height:200px}"
    ".chart svg{display:block;max-width:100%}.note{font-size:0.85rem;color:#555;margin:0.25rem 0}";

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
    "put('time',r.time||'');put('state',r.state||'');banners(r.banners);\n"
    "var sp=document.getElementById('suspect');if(sp)sp.hidden=r.suspect!==true;\n"
    "var d=document.querySelector('.dose');if(d)d.classList.toggle('doubt',r.suspect===true);};\n"
    // The banners are built again only when they change, so that a screen reader reads a
    // new state once, not every second.
    "var shown=null;\n"
    "function banners(list){var box=document.getElementById('banners');"
    "if(!box||!Array.isArray(list))return;var key=JSON.stringify(list);if(key===shown)return;"
    "shown=key;box.textContent='';list.forEach(function(b){var e=document.createElement('div');"
    "e.className='banner '+b.kind;e.setAttribute('role','alert');"
    "var t=document.createElement('strong');t.textContent=b.title;e.appendChild(t);"
    "e.appendChild(document.createTextNode(b.text));box.appendChild(e);});"
    "if(section)section.className='reading'+(list.length?' '+list[0].kind:'');}\n"
    // Today's events, newest first, or the words that there are none.
    "function get(path,use){fetch(path).then(function(a){return a.json();}).then(use,"
    "function(){});}\n"
    "function events(list){var ul=document.getElementById('events');if(!ul||!Array.isArray(list))"
    "return;ul.textContent='';if(!list.length){var none=document.createElement('li');"
    "none.textContent=ul.getAttribute('data-none');ul.appendChild(none);}"
    "list.slice(-50).reverse().forEach(function(e){"
    "var li=document.createElement('li');li.textContent=e.time+' '+e.text;ul.appendChild(li);});}\n"
    // A chart with its axes, their figures and units, drawn as SVG into `box`: x from x0 to
    // x1 with ticks [value, label], y from 0 to top; bars [from, to, height] and lines of
    // [x, y] points.
    "function esc(t){return String(t).replace(/[&<>\"]/g,function(c){return "
    "'&#'+c.charCodeAt(0)+';';});}\n"
    "function nice(v){if(!(v>0))return 0.1;var p=Math.pow(10,Math.floor(Math.log10(v)));"
    "return [1,2,2.5,5,10].map(function(k){return k*p;}).filter(function(t){return t>=v;})[0];}\n"
    "function chart(box,o){var W=Math.max(240,Math.min(960,box.clientWidth||320)),H=200,L=48,"
    "R=24,T=22,B=40,w=W-L-R,h=H-T-B;"
    "function X(v){return L+w*(v-o.x0)/(o.x1-o.x0);}function Y(v){return "
    "T+h-h*Math.min(v,o.top)/o.top;}"
    "var d=o.top<0.1?3:o.top<1?2:o.top<10?1:0;"
    "var s='<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"'+W+'\" height=\"'+H+'\" role=\"img\""
    " aria-label=\"'+esc(o.label)+'\"><g font-size=\"12\" fill=\"#333\" "
    "font-family=\"sans-serif\">';"
    "for(var i=0;i<=4;i++){var v=o.top*i/4,y=Y(v).toFixed(1);s+='<line x1=\"'+L+'\" x2=\"'+(W-R)+"
    "'\" y1=\"'+y+'\" y2=\"'+y+'\" stroke=\"#ddd\"/><text x=\"'+(L-4)+'\" y=\"'+y+'\" dy=\"4\""
    " text-anchor=\"end\">'+v.toFixed(d)+'</text>';}"
    "o.xt.forEach(function(t){var x=X(t[0]).toFixed(1);s+='<line x1=\"'+x+'\" x2=\"'+x+'\" y1=\"'+"
    "(T+h)+'\" y2=\"'+(T+h+4)+'\" stroke=\"#333\"/><text x=\"'+x+'\" y=\"'+(T+h+16)+'\""
    " text-anchor=\"middle\">'+esc(t[1])+'</text>';});"
    "s+='<text x=\"'+(L+w/2)+'\" y=\"'+(H-4)+'\" text-anchor=\"middle\">'+esc(o.xname)+'</text>"
    "<text x=\"4\" y=\"14\">'+esc(o.yname)+'</text><path d=\"M'+L+' '+T+'V'+(T+h)+'H'+(W-R)+"
    "'\" fill=\"none\" stroke=\"#333\"/></g>';"
    "(o.bars||[]).forEach(function(b){var x=X(b[0]),y=Y(b[2]);s+='<rect x=\"'+x.toFixed(1)+"
    "'\" y=\"'+y.toFixed(1)+'\" width=\"'+Math.max(1,X(b[1])-x-1).toFixed(1)+'\" height=\"'+"
    "(T+h-y).toFixed(1)+'\" fill=\"#4a7f5c\"/>';});"
    "(o.lines||[]).forEach(function(l){if(l.points.length)s+='<polyline class=\"'+l.cls+'\""
    " fill=\"none\" stroke=\"'+l.colour+'\" stroke-width=\"1.5\" points=\"'+l.points.map("
    "function(p){return X(p[0]).toFixed(1)+','+Y(p[1]).toFixed(1);}).join(' ')+'\"/>';});"
    "box.innerHTML=s+'</svg>';}\n"
    // Today's minutes from the station's own record, drawn again at each new record line.
    "var minutes=null,records=null;\n"
    "function day(j){minutes=j;var box=document.getElementById('day');if(!box||!j.readings)return;"
    "var lines=[],line=null,last=-9,top=0,n=0;j.readings.forEach(function(m){"
    "var t=/^(\\d\\d):(\\d\\d)$/.exec(m.time);if(!t||typeof m.doseRate!=='number')return;"
    "var x=60*t[1]+1*t[2];if(x-last>2||x<last){line={cls:'minutes',colour:'#1f5fa8',points:[]};"
    "lines.push(line);}line.points.push([x,m.doseRate]);last=x;top=Math.max(top,m.doseRate);n++;});"
    "chart(box,{x0:0,x1:1440,top:nice(top*1.1),lines:lines,label:box.getAttribute('data-label'),"
    "xname:box.getAttribute('data-x'),yname:box.getAttribute('data-y'),"
    "xt:[[0,'0'],[360,'6'],[720,'12'],[1080,'18'],[1440,'24']]});"
    "box.setAttribute('data-minutes',n);box.setAttribute('data-last',n?j.readings[j.readings."
    "length-1].time:'');}\n"
    "source.addEventListener('message',function(m){var "
    "r;try{r=JSON.parse(m.data);}catch(e){return;}"
    "if(r.records!==records){records=r.records;get('/readings.json',day);}});\n"
    // The pulse-interval histogram: the intervals observed, and the count a random tube
    // gives as a line.
    "function bars(h){var "
    "box=document.getElementById('intervals');if(!box||!h.bins||!h.bins.length)return;"
    // Up to the last bin with anything in it or to come: the last runs on without end.
    "var n=0;h.bins.forEach(function(i,k){if(i.observed>0||i.expected>=1)n=k+1;});"
    "var top=1,b=h.bins.slice(0,Math.max(n,1)),x0=b[0].from*1000,x1=b[b.length-1].to*1000;"
    "if(!isFinite(x1))return;b.forEach(function(i){"
    "top=Math.max(top,i.observed,i.expected);});var xt=[];for(var k=0;k<=4;k++){"
    "var v=x0+(x1-x0)*k/4;xt.push([v,v.toFixed(x1<20?1:0)]);}"
    "chart(box,{x0:x0,x1:x1,top:nice(top),label:box.getAttribute('data-label'),"
    "xname:box.getAttribute('data-x'),yname:box.getAttribute('data-y'),xt:xt,"
    "bars:b.map(function(i){return [i.from*1000,i.to*1000,i.observed];}),"
    "lines:[{cls:'expected',colour:'#b35900',points:b.map(function(i){"
    "return [(i.from+i.to)*500,i.expected];})}]});}\n"
    "function refresh(){get('/events.json',events);get('/histogram.json',bars);}\n"
    "refresh();setInterval(refresh,10000);\n"
    "})();\n";

// The banners at the top of the page; the live page keeps their box for its updates.
QString bannersHtml(const PageContent& content) {
  QString html;
  for (const Banner& b : content.banners)
    html += QStringLiteral("<div class=\"banner %1\" role=\"alert\"><strong>%2</strong>%3</div>\n")
                .arg(escaped(b.kind), escaped(b.title), escaped(b.text));
  if (content.live) return QStringLiteral("<div id=\"banners\">\n%1</div>\n").arg(html);
  return html;
}

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
  // A minute heard during a fault of the sound path: shown, greyed, and said to be suspect.
  const QString unsure = r.suspect ? QString() : QStringLiteral(" hidden");
  const QString suspect =
      r.suspect || live ? QStringLiteral("<p%1 class=\"suspect\"%2>%3</p>\n")
                              .arg(live ? QStringLiteral(" id=\"suspect\"") : QString(), unsure,
                                   StationPage::tr("疑わしい値: 音声経路の異常の間に測った値で、"
                                                   "グラフでは灰色です"))
                        : QString();
  auto row = [](const QString& term, const QString& text) {
    return QStringLiteral("<dt>%1</dt><dd>%2</dd>\n").arg(term, text);
  };
  return QStringLiteral("<p class=\"dose%4\">%1%2 <span class=\"unit\">µSv/h</span></p>\n%3")
             .arg(ge, value(live, "dose", number(r.doseRate, 3)), bound + suspect,
                  r.suspect ? QStringLiteral(" doubt") : QString()) +
         "<dl>\n" + row(StationPage::tr("95 % 区間"), range) +
         row(StationPage::tr("計数率"), ge + value(live, "cpm", number(r.cpm, 0)) + " CPM") +
         row(StationPage::tr("時刻"), value(live, "time", escaped(r.time))) +
         row(StationPage::tr("状態"), value(live, "state", escaped(r.state))) + "</dl>\n";
}

}  // namespace

namespace {

QString baseWords(StationState state) {
  static constexpr const char* kWords[] = {
      QT_TRANSLATE_NOOP("StationPage", "測定中"),
      QT_TRANSLATE_NOOP("StationPage", "記録が止まっています"),
      QT_TRANSLATE_NOOP("StationPage", "故障: 音声入力が失われました"),
      QT_TRANSLATE_NOOP("StationPage", "故障: 信号の異常"),
      QT_TRANSLATE_NOOP("StationPage", "測定中 (計数の上限を超え、値は下限です)"),
      QT_TRANSLATE_NOOP("StationPage", "警報 第1段階"),
      QT_TRANSLATE_NOOP("StationPage", "警報 第2段階")};
  static_assert(std::size(kWords) == std::to_underlying(StationState::Alarm2) + 1);
  return StationPage::tr(kWords[std::to_underlying(state)]);
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

namespace {

// Each state's colour, white text on it at a contrast of at least 4.5 : 1.
constexpr struct {
  const char* kind;
  const char* colour;
} kBannerColours[] = {
    {"alarm2", "#b00020"},     {"alarm1", "#a84800"},       {"stopped", "#4a4a4a"},
    {"input-lost", "#5e2a84"}, {"signal-fault", "#6d4c41"}, {"lower-bound", "#0d47a1"},
    {"saturated", "#880e4f"},
};

}  // namespace

QStringList bannerKinds() {
  QStringList kinds;
  for (const auto& c : kBannerColours) kinds << QLatin1String(c.kind);
  return kinds;
}

QString bannerColour(const QString& kind) {
  for (const auto& c : kBannerColours)
    if (kind == QLatin1String(c.kind)) return QLatin1String(c.colour);
  return QStringLiteral("#4a4a4a");
}

QList<Banner> stateBanners(StationState state, LowerBound bound, const QString& since,
                           const QString& boundSince) {
  auto told = [](const QString& meaning, const QString& when) {
    return when.isEmpty() ? meaning
                          : StationPage::tr("%1 (%2 から)", "what a state means (since when)")
                                .arg(meaning, when);
  };
  // Each state's banner, none for those that only measure.
  static constexpr struct {
    const char* kind;
    const char* meaning;
  } kStateBanners[] = {
      {nullptr, nullptr},
      {"stopped", QT_TRANSLATE_NOOP("StationPage",
                                    "新しい測定値がありません。表示の値は最後の記録のものです。")},
      {"input-lost", QT_TRANSLATE_NOOP("StationPage", "音声が届かず、測定できていません。")},
      {"signal-fault",
       QT_TRANSLATE_NOOP("StationPage",
                         "この間の値は疑わしく、グラフでは灰色で示し、最大と平均から除きます。")},
      {nullptr, nullptr},
      {"alarm1", QT_TRANSLATE_NOOP("StationPage", "線量率が第1段階の警報値を超えました。")},
      {"alarm2", QT_TRANSLATE_NOOP("StationPage", "線量率が第2段階の警報値を超えました。")}};
  static_assert(std::size(kStateBanners) == std::to_underlying(StationState::Alarm2) + 1);
  const auto& own = kStateBanners[std::to_underlying(state)];
  QList<Banner> banners;
  if (own.kind)
    banners.append({own.kind, baseWords(state), told(StationPage::tr(own.meaning), since)});
  // A stopped station has no reading now to bound.
  if (state == StationState::Stopped) return banners;
  // The lower bound stands beside the state, with its own start.
  const QString from =
      state == StationState::LowerBound && boundSince.isEmpty() ? since : boundSince;
  if (bound == LowerBound::TubeSaturated)
    banners.append({"saturated", StationPage::tr("GM管の飽和"),
                    told(StationPage::tr("線量率はこの GM管が数えられる範囲を超えています。"
                                         "表示の値は下限で、真の線量率はこれ以上です。"),
                         from)});
  else if (bound == LowerBound::DeadTimeCapped || state == StationState::LowerBound)
    banners.append(
        {"lower-bound", StationPage::tr("値は下限です"),
         told(StationPage::tr("計数が補正の上限を超えました。真の線量率は表示の値以上です。"),
              from)});
  return banners;
}

QString graphCaption(GraphKind kind, const QString& when) {
  static constexpr const char* kCaptions[] = {
      QT_TRANSLATE_NOOP("StationPage", "今日 (%1)"), QT_TRANSLATE_NOOP("StationPage", "昨日 (%1)"),
      QT_TRANSLATE_NOOP("StationPage", "月 (%1)"), QT_TRANSLATE_NOOP("StationPage", "年 (%1)")};
  static_assert(std::size(kCaptions) == std::to_underlying(GraphKind::Year) + 1);
  return StationPage::tr(kCaptions[std::to_underlying(kind)]).arg(when);
}

namespace {

// ".alarm2{--state:#b00020}…": the banners' colours, which also frame the reading.
QString stateColours() {
  QString rules;
  for (const QString& kind : bannerKinds())
    rules += QStringLiteral(".%1{--state:%2}").arg(kind, bannerColour(kind));
  return rules;
}

}  // namespace

QByteArray stationPage(const PageContent& content) {
  const QString title = content.stationName.trimmed().isEmpty() ? StationPage::tr("放射線量")
                                                                : escaped(content.stationName);
  QString html =
      QStringLiteral(
          "<!DOCTYPE html>\n<html lang=\"%1\">\n<head>\n<meta charset=\"utf-8\">\n"
          "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
          "<title>%2</title>\n<style>%3</style>\n</head>\n<body>\n<header>%6<h1>%2</h1>"
          "</header>\n<main>\n<section class=\"reading%7\"%5>\n<h2>%4</h2>\n")
          .arg(StationPage::tr("ja", "the page's language code (lang attribute)"), title,
               QLatin1String(kStyle) + stateColours(), StationPage::tr("最新の測定値"),
               content.live
                   ? QStringLiteral(" data-open=\"%1\"").arg(escaped(StationPage::tr("上限なし")))
                   : QString(),
               bannersHtml(content),
               // The most urgent state colours the reading's frame too.
               content.banners.isEmpty() ? QString() : " " + escaped(content.banners.front().kind));
  html += reading(content);
  html += QStringLiteral("</section>\n");
  // The live page draws today's minutes from its own record, a new minute as it is written.
  if (content.live)
    html += QStringLiteral(
                "<section>\n<h2>%1</h2>\n<div id=\"day\" class=\"chart\" data-minutes=\"0\" "
                "data-label=\"%1\" data-x=\"%2\" data-y=\"µSv/h\"></div>\n</section>\n")
                .arg(escaped(StationPage::tr("今日の線量率 (毎分)")),
                     escaped(StationPage::tr("時刻 (時)")));
  if (!content.graphs.isEmpty() || !content.missingGraphs.isEmpty()) {
    html += QStringLiteral("<section>\n<h2>%1</h2>\n<div class=\"graphs\">\n")
                .arg(StationPage::tr("グラフ"));
    // Named where it would be, rather than shown as a broken image or as another day's.
    for (const QString& caption : content.missingGraphs)
      html += QStringLiteral(
                  "<figure><p class=\"missing\">%1</p><figcaption>%2</figcaption></figure>\n")
                  .arg(StationPage::tr("このグラフはまだありません"), escaped(caption));
    for (const PageImage& image : content.graphs)
      html += QStringLiteral(
                  "<figure><a href=\"%1\"><img src=\"%3\" alt=\"%2\"></a>"
                  "<figcaption>%2</figcaption></figure>\n")
                  .arg(link(image.file), escaped(image.caption),
                       link(image.screen.isEmpty() ? image.file : image.screen));
    html += QStringLiteral("</div>\n</section>\n");
  }
  if (content.live)
    html +=
        QStringLiteral(
            "<section>\n<h2>%1</h2>\n<ul id=\"events\" data-none=\"%3\"></ul>\n</section>\n"
            "<section>\n<h2>%2</h2>\n<div id=\"intervals\" class=\"chart\" data-label=\"%2\" "
            "data-x=\"%4\" data-y=\"%5\"></div>\n<p class=\"note\">%6</p>\n</section>\n")
            .arg(escaped(StationPage::tr("今日のイベント")),
                 escaped(StationPage::tr("パルス間隔の分布")),
                 escaped(StationPage::tr("今日のイベントはありません")),
                 escaped(StationPage::tr("パルスの間隔 (ms)")), escaped(StationPage::tr("回数")),
                 escaped(StationPage::tr(
                     "棒: 数えた間隔の数 · 線: ランダムに数える GM管で期待される数")));
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
