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

bool OpensAnotherPage(const QString &href, const QString &pageUrl)
{
    const QUrl parsed(href);
    const QString scheme = parsed.scheme().toLower();
    const bool byAddress = scheme == QLatin1String("http") || scheme == QLatin1String("https")
        || scheme == QLatin1String("file");
    return parsed.isValid() && byAddress && PageAddress(href) != PageAddress(pageUrl);
}

} // namespace pagewick::workflow
