#pragma once

#include <Qt>

namespace pagewick::window {

class Frmmain;

// A drag never leaves the bar closer than this to the client area's top or bottom.
inline constexpr int kSplitterMargin = 1200;

// The bar's new top for a pointer at y (twips from the bar's top) when it was
// grabbed at grabY. The bottom limit is applied last, so in a client area
// lower than twice the margin the bar ends above the top limit.
int draggedSplitterTop(int currentTop, int y, int grabY, int clientHeight);

// A button went down on the bar.
void grabSplitter(Frmmain &window, int yTwips);

// The pointer moved over the bar: only a move with the left button alone drags.
void dragSplitter(Frmmain &window, int yTwips, Qt::MouseButtons buttons);

} // namespace pagewick::window
