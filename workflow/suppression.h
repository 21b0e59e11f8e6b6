#pragma once

#include <QStringList>

namespace pagewick::workflow {

// Run in every page, in this order and each on its own, so that visited
// pages cannot show script dialogs or open windows.
QStringList SuppressionScripts();

} // namespace pagewick::workflow
