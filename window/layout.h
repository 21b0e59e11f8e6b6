#pragma once

namespace pagewick::window {

class Frmmain;

// The window may not be made smaller than this, frame included (twips).
inline constexpr int kMinimumOuterWidth = 12870;
inline constexpr int kMinimumOuterHeight = 3000;
// The options panel's height (twips), grown below the keyword boxes for the
// page interval and the row of buttons under it.
inline constexpr int kOptionsPanelHeight = 4100;

// Keeps the client area's minimum at the outer minimum less the frame, and
// brings a window that is already smaller up to it (which starts a layout
// pass of its own).
void enforceMinimumSize(Frmmain &window);

// Places the controls from the client area's size. The splitter keeps its
// position in proportion to the height of the previous pass; on the very
// first pass, with no previous height, it keeps its place.
void runLayoutPass(Frmmain &window);

} // namespace pagewick::window
