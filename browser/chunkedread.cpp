#include "browser/chunkedread.h"

#include "browser/documentscripts.h"

#include <QVariantList>

#include <utility>

namespace pagewick::browser::chunked {

namespace {

constexpr qsizetype kHeaderFields = 4; // url, title, body flag, body text
constexpr qsizetype kElementFields = scripts::kElementFields;

QString JsString(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

std::optional<qsizetype> Count(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double: {
        const double d = v.toDouble();
        if (d < 0 || d != double(qsizetype(d)))
            return std::nullopt;
        return qsizetype(d);
    }
    default:
        return std::nullopt;
    }
}

bool IsInnerText(qsizetype field)
{
    return field == 3
        || (field >= kHeaderFields && (field - kHeaderFields) % kElementFields == 1);
}

} // namespace

QString beginRead(int budget, const workflow::ReadParts &parts)
{
    const QString argument = QStringLiteral("{\"budget\": %1, \"parts\": %2}").arg(budget).arg(scripts::readArgument(parts));
    return scripts::call(QStringLiteral("readbegin"),
                         {scripts::file(QStringLiteral("readdocument")), scripts::file(QStringLiteral("piecetake")),
                          argument});
}

QString readChunk(const QString &token, qsizetype field, qsizetype offset, int budget)
{
    const QString argument = QStringLiteral("{\"token\": %1, \"field\": %2, \"offset\": %3, \"budget\": %4}")
                                 .arg(JsString(token))
                                 .arg(field)
                                 .arg(offset)
                                 .arg(budget);
    return scripts::call(QStringLiteral("readchunk"), {scripts::file(QStringLiteral("piecetake")), argument});
}

QString unchangedSince(const QString &stamp)
{
    return scripts::call(QStringLiteral("unchangedsince"), {JsString(stamp)});
}

QString releaseRead(const QString &token)
{
    return scripts::call(QStringLiteral("releaseread"), {JsString(token)});
}

bool Assembler::begin(const QVariant &answer)
{
    if (m_begun || answer.typeId() != QMetaType::QVariantList)
        return false;
    const QVariantList list = answer.toList();
    if (list.size() < 5 || list.at(0).typeId() != QMetaType::QString
        || list.at(2).typeId() != QMetaType::QString)
        return false;
    const std::optional<qsizetype> count = Count(list.at(1));
    if (!count || *count < kHeaderFields || (*count - kHeaderFields) % kElementFields != 0)
        return false;
    m_begun = true;
    m_token = list.at(0).toString();
    m_stamp = list.at(2).toString();
    m_fieldCount = *count;
    const qsizetype elements = (m_fieldCount - kHeaderFields) / kElementFields;
    m_page.document.all.reserve(elements);
    m_page.hrefs.reserve(elements);
    if (!takePieces(list, 3)) {
        m_failed = true;
        return false;
    }
    // Only an answer that is not complete at once is kept in the page.
    if (!finished() && m_token.isEmpty())
        m_failed = true;
    return !m_failed;
}

bool Assembler::feed(const QVariant &answer)
{
    if (!m_begun || m_failed || finished() || answer.typeId() != QMetaType::QVariantList) {
        m_failed = true;
        return false;
    }
    if (!takePieces(answer.toList(), 0)) {
        m_failed = true;
        return false;
    }
    return true;
}

bool Assembler::takePieces(const QVariantList &list, qsizetype first)
{
    if (list.size() != first + 4 || list.at(first + 2).typeId() != QMetaType::QString
        || list.at(first + 3).typeId() != QMetaType::QString)
        return false;
    const std::optional<qsizetype> nextField = Count(list.at(first));
    const std::optional<qsizetype> nextOffset = Count(list.at(first + 1));
    if (!nextField || !nextOffset || *nextField > m_fieldCount)
        return false;
    const QString lengthList = list.at(first + 2).toString();
    const QString data = list.at(first + 3).toString();
    // Every answer must move on, or the reader would ask for ever.
    if (lengthList.isEmpty())
        return false;
    QList<qsizetype> lengths;
    qsizetype total = 0;
    for (const QStringView item : QStringView(lengthList).split(QLatin1Char(','))) {
        bool ok = false;
        const qsizetype length = item.toLongLong(&ok);
        if (!ok || length < 0 || length > data.size() - total)
            return false;
        lengths.append(length);
        total += length;
    }
    if (total != data.size())
        return false;

    qsizetype field = m_field;
    qsizetype offset = m_offset;
    qsizetype at = 0;
    for (qsizetype k = 0; k < lengths.size(); ++k) {
        if (field >= m_fieldCount)
            return false;
        const QStringView piece = QStringView(data).mid(at, lengths.at(k));
        at += piece.size();
        if (!append(field, piece, offset > 0))
            return false;
        offset += piece.size();
        const bool last = k + 1 == lengths.size();
        if (last && *nextOffset > 0) {
            // The field goes on in the next answer.
            if (*nextField != field || *nextOffset != offset)
                return false;
            break;
        }
        if (!completeField(field))
            return false;
        ++field;
        offset = 0;
    }
    if (field != *nextField || offset != *nextOffset)
        return false;
    m_field = field;
    m_offset = offset;
    return true;
}

bool Assembler::append(qsizetype field, QStringView piece, bool continues)
{
    if (!continues)
        m_current.clear();
    if (!IsInnerText(field)) {
        m_current += piece;
        return true;
    }
    // A CR LF cut between two pieces is still one break.
    if (continues && m_current.endsWith(QLatin1Char('\r')) && piece.startsWith(QLatin1Char('\n'))) {
        m_current += QLatin1Char('\n');
        piece = piece.mid(1);
    }
    if (piece.contains(QLatin1Char('\n')))
        m_current += scripts::toCrLf(piece.toString());
    else
        m_current += piece;
    return true;
}

bool Assembler::completeField(qsizetype field)
{
    QString value = std::exchange(m_current, QString());
    switch (field) {
    case 0:
        m_page.url = std::move(value);
        return true;
    case 1:
        m_page.document.title = std::move(value);
        return true;
    case 2:
        m_hasBody = value == QLatin1String("1");
        return true;
    case 3:
        if (m_hasBody)
            m_page.document.bodyText = std::move(value);
        return true;
    default:
        break;
    }
    const qsizetype part = (field - kHeaderFields) % kElementFields;
    if (part == 0) {
        m_page.document.all.push_back(extract::PageElement{std::move(value), {}, {}});
        m_page.hrefs.append(QString());
        return true;
    }
    if (m_page.document.all.isEmpty())
        return false;
    extract::PageElement &element = m_page.document.all.last();
    if (part == 1) {
        element.innerText = std::move(value);
    } else if (part == 2) {
        element.innerHTML = std::move(value);
    } else if (part == 3) {
        m_page.hrefs.last() = std::move(value);
    } else if (!value.isEmpty()) {
        element.measures = scripts::parseMeasures(value);
        if (!element.measures)
            return false;
    }
    return true;
}

std::optional<workflow::LoadedPage> Assembler::take()
{
    if (!finished() || m_failed)
        return std::nullopt;
    m_failed = true; // taken once
    return std::move(m_page);
}

} // namespace pagewick::browser::chunked
