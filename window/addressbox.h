#pragma once

class QKeyEvent;

namespace pagewick::window {

class Frmmain;

// The Go command: forgets the previous page's title and candidates, then
// loads the address box's text as it stands, even when it is empty.
void goCommand(Frmmain &window);

// An entry of the list was chosen: the same resets, then its address is loaded.
void chooseListEntry(Frmmain &window);

// A key pressed in the address box: Enter or Return with a non-empty text
// runs the Go command. The key itself is left to the box.
void addressBoxKey(Frmmain &window, const QKeyEvent &event);

} // namespace pagewick::window
