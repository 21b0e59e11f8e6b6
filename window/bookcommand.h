#pragma once

namespace pagewick::window {

class Frmmain;

// "合并成书": the book of the save directory, as a text file and an EPUB;
// what was written shows in the status line.
void mergeBook(Frmmain &window);

} // namespace pagewick::window
