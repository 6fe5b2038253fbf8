// Drawing pieces shared by the day graph and the month and year graphs, so that every
// graph has the same lines, texts, scale rule and image files.
#pragma once

#include <QColor>
#include <QImage>
#include <exception>
#include <optional>
#include <string>

#include "dayplot_messages.h"
#include "graph_settings.h"
#include "local_time.h"

class QPainter;

namespace radmon::graph {

inline const QColor kPanelGrey(180, 180, 180);
inline const QColor kAxisBlack(0, 0, 0);
inline const QColor kGridGrey(100, 100, 100);
inline const QColor kDrawing(0, 0, 0);  // ticks, curve and text

void line(QPainter& p, int x1, int y1, int x2, int y2, const QColor& colour);
// The rectangle with corners (x1, y1) and (x2, y2) as an outline.
void rectangle(QPainter& p, int x1, int y1, int x2, int y2, const QColor& colour);
// A word printed on a graph, in the interface's language; the Japanese ones are the
// source, so the Japanese graph is drawn as it always was.
std::string word(const char* japanese);
// The text with the top left of its first character cell at (x, y).
void text(QPainter& p, int x, int y, const std::string& utf8);

// ⌊B − r × U⌋, kept in a range that a line can be drawn with.
int plotY(int base, double rate, double unit);

// The scale maximum M as a positive number whose unit `panelHeight` / M can be formed.
std::optional<double> scaleMaximum(const std::string& text, int panelHeight);

// The date and time a graph was made, as a Japanese desktop shows them in short form
// (2011/04/05  9:05).
std::string madeText(const LocalDateTime& now);

// The place, made and tube lines at the top right, in the 9-point font.
void stationLines(QPainter& p, const GraphSettings& settings, const LocalDateTime& now);

// A picture of `width` x `height` at 96 dpi (so points are the sizes a screen shows),
// filled with `background`.
QImage blankPicture(int width, int height, const QColor& background);

// What `draw` returns; an exception from it is reported as a failed graph instead.
template <typename Draw>
auto guarded(MessageSink& messages, Draw draw) -> decltype(draw()) {
  try {
    return draw();
  } catch (const std::exception& e) {
    messages.show(say::graphFailed(e.what()));
  } catch (...) {
    messages.show(say::graphFailed({}));
  }
  return decltype(draw())::Failed;
}

// Writes the picture as `base`.bmp and/or `base`.jpg as the settings ask; false when
// one could not be written (the message has been shown).
bool writeImages(const QImage& picture, const GraphSettings& settings, const std::string& base,
                 MessageSink& messages);

}  // namespace radmon::graph
