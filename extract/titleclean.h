#pragma once

#include <QString>

namespace pagewick::extract {

// Cuts a page title down to the one segment that names the chapter (after the
// last backslash or ">", before the first "_" or "-") and replaces the nine
// characters that file names cannot hold by look-alike characters.
QString CleanPageTitle(const QString &title);

} // namespace pagewick::extract
