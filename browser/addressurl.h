#pragma once

#include <QString>
#include <QUrl>

namespace pagewick::browser {

// The address that the text of an address box means, as a browser's address
// bar reads it (QUrl::fromUserInput, relative paths against
// workingDirectory). One exception: a "file://" text whose rest is the path
// of an existing file or directory names that file as it stands, so that a
// dropped file whose name holds "#", "?" or "%" is not read as having a
// fragment, a query or an escape.
QUrl AddressUrl(const QString &text, const QString &workingDirectory);

} // namespace pagewick::browser
