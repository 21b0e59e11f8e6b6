#include "workflow/pageaddress.h"

#include <QUrl>

namespace pagewick::workflow {

QString PageAddress(const QString &url)
{
    const QUrl parsed(url);
    if (!parsed.isValid())
        return url;
    return parsed.adjusted(QUrl::RemoveFragment).toString(QUrl::FullyEncoded);
}

QString EncodedAddress(const QString &url)
{
    const QUrl parsed(url);
    if (!parsed.isValid())
        return url;
    return parsed.toString(QUrl::FullyEncoded);
}

} // namespace pagewick::workflow
