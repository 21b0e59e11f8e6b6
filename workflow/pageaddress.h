#pragma once

#include <QString>

namespace pagewick::workflow {

// The address of a page for telling pages apart: the fragment is not part
// of it, since it only scrolls within one page.
QString PageAddress(const QString &url);

// The address in its percent-encoded form (host in ASCII), fragment kept, so
// that a link as a page's document gives it and an address as the browser
// shows it compare equal when they name one place.
QString EncodedAddress(const QString &url);

// A link target that opens another page than pageUrl by its address (http,
// https or file): not a script, not a place within that page.
bool OpensAnotherPage(const QString &href, const QString &pageUrl);

} // namespace pagewick::workflow
