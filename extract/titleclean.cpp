#include "extract/titleclean.h"

namespace pagewick::extract {

QString CleanPageTitle(const QString &title)
{
    QString t = title;

    qsizetype pos = t.lastIndexOf(QLatin1Char('\\'));
    if (pos >= 0)
        t.remove(0, pos + 1);
    pos = t.lastIndexOf(QLatin1Char('>'));
    if (pos >= 0)
        t.remove(0, pos + 1);
    pos = t.indexOf(QLatin1Char('_'));
    if (pos >= 0)
        t.truncate(pos);
    pos = t.indexOf(QLatin1Char('-'));
    if (pos >= 0)
        t.truncate(pos);

    // Look-alikes for the characters a file name on the user's disk cannot hold.
    static const struct
    {
        char16_t from;
        char16_t to;
    } replacements[] = {
        {u'"', u'\''},     {u'>', u'\uFF1E'}, {u'<', u'\uFF1C'},
        {u'|', u'\u2502'}, {u'?', u'\uFF1F'}, {u'*', u'\u00D7'},
        {u':', u'\u2236'}, {u'/', u'\u2571'}, {u'\\', u'\u2572'},
    };
    for (const auto &r : replacements)
        t.replace(QChar(r.from), QChar(r.to));
    return t;
}

} // namespace pagewick::extract
