#include "station_page.h"

#include <QCoreApplication>
#include <cmath>

namespace web {
namespace {

QString words(const char* text) { return QCoreApplication::translate("StationPage", text); }

QString number(double value, int decimals) {
  return std::isfinite(value) ? QString::number(value, 'f', decimals) : QStringLiteral("–");
}

}  // namespace

QByteArray stationPage(const PageContent& content) {
  const QString name = content.stationName.toHtmlEscaped();
  QString html = QStringLiteral(
                     "<!DOCTYPE html>\n<html lang=\"%1\">\n<head>\n<meta charset=\"utf-8\">\n"
                     "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                     "<title>%2</title>\n</head>\n<body>\n<h1>%2</h1>\n")
                     .arg(words("en"), name);
  if (content.latest) {
    const LatestReading& r = *content.latest;
    html += QStringLiteral(
                "<p><span id=\"dose\">%1</span> µSv/h (%2–%3), <span id=\"cpm\">%4</span> CPM, "
                "<span id=\"time\">%5</span>, <span id=\"state\">%6</span></p>\n")
                .arg(number(r.doseRate, 3), number(r.low, 3), number(r.high, 3), number(r.cpm, 1),
                     r.time.toHtmlEscaped(), r.state.toHtmlEscaped());
  } else {
    html += QStringLiteral("<p>%1</p>\n").arg(words("No reading yet"));
  }
  for (const PageImage& image : content.graphs)
    html +=
        QStringLiteral("<figure><img src=\"%1\" alt=\"%2\"><figcaption>%2</figcaption></figure>\n")
            .arg(image.file.toHtmlEscaped(), image.caption.toHtmlEscaped());
  html += QStringLiteral("</body>\n</html>\n");
  return html.toUtf8();
}

}  // namespace web
