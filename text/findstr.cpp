#include "text/textops.h"

namespace pagewick::text {

QString FindStrMulti(const QString &Strall, const QString &FirstStr, const QString &EndStr,
                     const QString &SplitStr)
{
    if (FirstStr.isEmpty() && EndStr.isEmpty())
        return Strall;

    if (EndStr.isEmpty()) {
        const qsizetype p = Strall.indexOf(FirstStr);
        return p < 0 ? QString() : Strall.mid(p + FirstStr.size());
    }

    if (FirstStr.isEmpty()) {
        const qsizetype p = Strall.indexOf(EndStr);
        return p < 0 ? QString() : Strall.left(p);
    }

    QString result;
    qsizetype from = 0;
    for (;;) {
        const qsizetype first = Strall.indexOf(FirstStr, from);
        if (first < 0)
            break;
        const qsizetype begin = first + FirstStr.size();
        const qsizetype end = Strall.indexOf(EndStr, begin);
        if (end < 0)
            break;
        // No separator while the result is still empty, even after empty stretches.
        if (!result.isEmpty())
            result += SplitStr;
        result += QStringView(Strall).mid(begin, end - begin);
        // The end marker may also open the next pair; begin > first keeps this moving.
        from = end;
    }
    return result;
}

} // namespace pagewick::text
