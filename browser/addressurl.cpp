#include "browser/addressurl.h"

#include <QFileInfo>

namespace pagewick::browser {

QUrl AddressUrl(const QString &text, const QString &workingDirectory)
{
    const QLatin1String scheme("file://");
    if (text.startsWith(scheme, Qt::CaseInsensitive)) {
        const QString path = text.mid(scheme.size());
        if (path.startsWith(QLatin1Char('/')) && QFileInfo::exists(path))
            return QUrl::fromLocalFile(path);
    }
    return QUrl::fromUserInput(text, workingDirectory);
}

} // namespace pagewick::browser
