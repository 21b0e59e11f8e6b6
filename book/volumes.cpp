#include "book/volumes.h"

#include "text/spaces.h"

#include <QRegularExpression>

namespace pagewick::book {

namespace {

const QString kNumber = QStringLiteral("[0-9０-９一二三四五六七八九十百千万零〇两壹贰叁肆伍陆柒捌玖拾]+");
const QString kWordNumber = QStringLiteral(
    "(?:[0-9]+|[IVXLC]+|one|two|three|four|five|six|seven|eight|nine|ten|eleven|twelve)");

constexpr qsizetype kMaxVolumeLine = 40;
constexpr int kVolumeLineReach = 2;

} // namespace

std::optional<VolumeSplit> SplitVolume(const QString &text)
{
    static const QRegularExpression head(
        QStringLiteral("^\\s*(?:第%1卷|卷%1|(?i:volume|vol\\.)\\s*(?i:%2)|(?i:book)\\s+(?i:%2))(?![A-Za-z0-9])")
            .arg(kNumber, kWordNumber));
    static const QRegularExpression chapterMark(
        QStringLiteral("第%1[章节回]|(?i:chapter)\\s*%2|(?i:chapter)\\s+(?i:%3)").arg(kNumber, QStringLiteral("[0-9]"), kWordNumber));
    const QRegularExpressionMatch match = head.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QRegularExpressionMatch mark = chapterMark.match(text, match.capturedEnd());
    if (!mark.hasMatch())
        return VolumeSplit{text.trimmed(), QString()};
    return VolumeSplit{text.left(mark.capturedStart()).trimmed(), text.mid(mark.capturedStart()).trimmed()};
}

bool IsVolumeLine(const QString &line)
{
    static const QString kSentence = QStringLiteral("。！？，；…!?;");
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > kMaxVolumeLine)
        return false;
    for (const QChar c : trimmed) {
        if (kSentence.contains(c))
            return false;
    }
    const std::optional<VolumeSplit> split = SplitVolume(trimmed);
    return split && split->chapter.isEmpty();
}

QList<ChapterPlace> ChapterPlaces(const QList<Chapter> &chapters)
{
    QList<ChapterPlace> places;
    places.reserve(chapters.size());
    QString current;
    bool any = false;
    for (const Chapter &chapter : chapters) {
        ChapterPlace place;
        place.heading = chapter.title;
        QString named;
        bool ownPage = false;
        if (const std::optional<VolumeSplit> split = SplitVolume(chapter.title)) {
            named = split->volume;
            ownPage = split->chapter.isEmpty();
            place.heading = split->chapter;
        } else {
            int seen = 0;
            for (qsizetype i = 0; i < chapter.lines.size() && seen < kVolumeLineReach; ++i) {
                if (text::IsBlank(chapter.lines.at(i)))
                    continue;
                ++seen;
                if (IsVolumeLine(chapter.lines.at(i))) {
                    named = chapter.lines.at(i).trimmed();
                    place.volumeLine = i;
                    break;
                }
            }
        }
        if (!named.isEmpty() && (ownPage || named != current)) {
            place.opens = named;
            current = named;
            any = true;
        }
        place.inVolume = !current.isEmpty();
        places.append(place);
    }
    if (!any)
        places.clear();
    return places;
}

} // namespace pagewick::book
