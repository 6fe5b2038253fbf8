// The font of the day graph: IPAex Gothic loaded from its installed file, so that every
// machine draws the same Japanese glyphs; the platform's default font when it is absent.
#pragma once

#include <QFont>

namespace radmon {

// A font of the graph's family at `points` (1/72 inch; the picture is 96 dpi).
QFont graphFont(int points);

}  // namespace radmon
