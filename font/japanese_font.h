// The Japanese font of both programs' windows and of the day graph: IPAex Gothic loaded
// from its installed file, so that every machine draws the same glyphs; the platform's
// default font when none of the files is there. QtGui only, apart from the rest of
// common/, which knows no Qt.
#pragma once

#include <QFont>

namespace radmon {

// A font of that family at `points` (1/72 inch; the day graph is 96 dpi). 9 pt is as
// near as Linux gets to the Windows dialog font.
QFont japaneseFont(int points);

}  // namespace radmon
