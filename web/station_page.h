// The station's page: one HTML file that shows the latest reading and the graphs. dayplot
// writes it beside the graphs it publishes; ratemon serves it, live, from its own HTTP
// server. The words on it are in the interface's language (context "StationPage").
#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace web {

struct LatestReading {
  QString time;       // local time of the record line, as the record line writes it
  double doseRate{};  // µSv/h
  double low{};       // 95 % interval of the dose rate, µSv/h; NaN where unknown
  double high{};
  double cpm{};
  QString state;  // the station's state in words of the interface's language
};

struct PageImage {
  QString file;  // relative to the page
  QString caption;
};

struct PageContent {
  QString stationName;                  // the place, as the graphs name it
  std::optional<LatestReading> latest;  // none before the first record
  QList<PageImage> graphs;              // today, yesterday, month, year
  // The station's own live page: the reading's values carry element ids and a short
  // script follows the server's event stream (/events) to update them every second.
  bool live = false;
};

// The page as UTF-8 HTML. Every text from content is escaped.
QByteArray stationPage(const PageContent& content);

}  // namespace web
