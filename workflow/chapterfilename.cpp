#include "workflow/chapterfilename.h"

#include "workflow/localecodec.h"

#include <QList>
#include <QTextBoundaryFinder>

namespace pagewick::workflow {

namespace {

bool fits(const QString &name)
{
    return encodeForLocale(name).size() <= kMaxFileNameBytes;
}

// Positions title can be cut at, ascending, without the start.
QList<qsizetype> cutPositions(const QString &title, QTextBoundaryFinder::BoundaryType type)
{
    QList<qsizetype> cuts;
    QTextBoundaryFinder finder(type, title);
    for (qsizetype at = finder.toNextBoundary(); at > 0; at = finder.toNextBoundary())
        cuts << at;
    return cuts;
}

// The longest start of title that fits in front of suffix, cut at one of
// cuts; empty when none does.
QString longestFittingStart(const QString &title, const QList<qsizetype> &cuts, const QString &suffix)
{
    // The encoded length grows with the cut, so the last fitting cut is
    // found by halving.
    qsizetype low = 0;
    qsizetype high = cuts.size();
    while (low < high) {
        const qsizetype middle = (low + high) / 2;
        if (fits(title.left(cuts.at(middle)) + suffix))
            low = middle + 1;
        else
            high = middle;
    }
    return low == 0 ? QString() : title.left(cuts.at(low - 1));
}

} // namespace

QString UntitledName()
{
    return QStringLiteral("无标题");
}

QString ChapterFileName(const QString &title, int number)
{
    const QString suffix =
        number == 1 ? QStringLiteral(".txt") : QStringLiteral("(%1).txt").arg(number);
    const QString stem = title.isEmpty() ? UntitledName() : title;
    if (fits(stem + suffix))
        return stem + suffix;
    // A character a reader sees as one (a letter with its accents, an emoji
    // with its modifiers) stays whole, unless one alone is too long.
    QString start = longestFittingStart(stem, cutPositions(stem, QTextBoundaryFinder::Grapheme), suffix);
    if (start.isEmpty()) {
        QList<qsizetype> codePoints;
        for (qsizetype at = 1; at <= stem.size(); ++at) {
            if (at == stem.size() || !stem.at(at).isLowSurrogate())
                codePoints << at;
        }
        start = longestFittingStart(stem, codePoints, suffix);
    }
    return start + suffix;
}

} // namespace pagewick::workflow
