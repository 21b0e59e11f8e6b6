#pragma once

#include <QString>

namespace pagewick::book {

// Text made fit for an XML text node: "&", "<" and ">" escaped; characters
// that XML 1.0 forbids (controls other than tab and line breaks, lone
// surrogates, U+FFFE and U+FFFF) and those it discourages (the C1 controls
// and the other noncharacters) dropped, since a book's text never means them.
QString XmlText(const QString &text);

// The text holds a Chinese, Japanese or Korean character.
bool HasCjk(const QString &text);

} // namespace pagewick::book
