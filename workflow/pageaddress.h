#pragma once

#include <QString>

namespace pagewick::workflow {

// The address of a page for telling pages apart: the fragment is not part
// of it, since it only scrolls within one page.
QString PageAddress(const QString &url);

} // namespace pagewick::workflow
