#include "workflow/suppression.h"

namespace pagewick::workflow {

QStringList SuppressionScripts()
{
    return {
        QStringLiteral("function showModalDialog(){return;}"),
        QStringLiteral("window.alert=null;"),
        QStringLiteral("window.confirm=null;"),
        QStringLiteral("window.showModaldialog=null;"),
        QStringLiteral("window.open=null;"),
    };
}

} // namespace pagewick::workflow
