#include "browser/documentscripts.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QVariantList>

namespace pagewick::browser::scripts {

namespace {

// A JSON value as script source.
QString Json(const QJsonValue &value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QJsonArray UpperCase(QStringList tags)
{
    for (QString &tag : tags)
        tag = tag.toUpper();
    return QJsonArray::fromStringList(tags);
}

QJsonObject PartsArgument(const workflow::ReadParts &parts)
{
    const text::MeasureBounds &c = parts.carryBounds;
    return QJsonObject{
        {QStringLiteral("every"), parts.everyElement},
        {QStringLiteral("bodyText"), parts.bodyText},
        {QStringLiteral("tags"), UpperCase(parts.tagNames)},
        {QStringLiteral("textOnly"), UpperCase(parts.textOnlyTags)},
        {QStringLiteral("textOnlyBelow"), qMax(0, parts.textOnlyBelow)},
        {QStringLiteral("maxChars"), kMaxReadCharacters},
        {QStringLiteral("measured"), UpperCase(parts.measuredTags)},
        {QStringLiteral("carry"),
         QJsonArray{qint64(c.minTrimmedLength), qint64(c.minTextLength), qint64(c.minTagCount),
                    qint64(c.maxHyphens), qint64(c.maxLinkCount), qint64(c.minMarkCount)}},
    };
}

} // namespace

QString file(const QString &name)
{
    static QHash<QString, QString> loaded;
    auto it = loaded.find(name);
    if (it == loaded.end()) {
        QFile f(QStringLiteral(":/pagewick/scripts/") + name + QStringLiteral(".js"));
        // Built in: it is there.
        f.open(QIODevice::ReadOnly);
        it = loaded.insert(name, QString::fromUtf8(f.readAll()));
    }
    return *it;
}

QString call(const QString &name, const QStringList &arguments)
{
    return file(name) + QLatin1Char('(') + arguments.join(QStringLiteral(", ")) + QLatin1Char(')');
}

bool parseFlag(const QVariant &answer)
{
    return answer.typeId() == QMetaType::Bool && answer.toBool();
}

QString readDocument(const workflow::ReadParts &parts)
{
    return call(QStringLiteral("readdocument"), {Json(PartsArgument(parts))});
}

QString readArgument(const workflow::ReadParts &parts)
{
    return Json(PartsArgument(parts));
}

std::optional<workflow::LoadedPage> parseDocument(const QVariant &answer)
{
    if (answer.typeId() != QMetaType::QVariantList)
        return std::nullopt;
    const QVariantList list = answer.toList();
    if (list.size() < 4 || (list.size() - 4) % kElementFields != 0)
        return std::nullopt;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const int expected = i == 2 ? QMetaType::Bool : QMetaType::QString;
        if (list.at(i).typeId() != expected)
            return std::nullopt;
    }

    workflow::LoadedPage page;
    page.url = list.at(0).toString();
    page.document.title = list.at(1).toString();
    if (list.at(2).toBool())
        page.document.bodyText = toCrLf(list.at(3).toString());
    page.document.all.reserve((list.size() - 4) / kElementFields);
    page.hrefs.reserve((list.size() - 4) / kElementFields);
    for (qsizetype i = 4; i < list.size(); i += kElementFields) {
        std::optional<text::TextMeasures> measures;
        const QString measureList = list.at(i + 4).toString();
        if (!measureList.isEmpty()) {
            measures = parseMeasures(measureList);
            if (!measures)
                return std::nullopt;
        }
        page.document.all.push_back(extract::PageElement{list.at(i).toString(), toCrLf(list.at(i + 1).toString()),
                                                         list.at(i + 2).toString(), measures});
        page.hrefs.append(list.at(i + 3).toString());
    }
    return page;
}

std::optional<text::TextMeasures> parseMeasures(QStringView text)
{
    qsizetype values[8] = {};
    qsizetype k = 0;
    for (const QStringView item : text.split(QLatin1Char(','))) {
        bool ok = false;
        const qlonglong v = item.toLongLong(&ok);
        if (!ok || v < 0 || k >= 8)
            return std::nullopt;
        values[k++] = qsizetype(v);
    }
    if (k != 8)
        return std::nullopt;
    text::TextMeasures m;
    m.trimmedLength = values[0];
    m.textLength = values[1];
    m.hyphens = values[2];
    m.chineseMarks = values[3];
    m.westernMarks = values[4];
    m.tagCount = values[5];
    m.linkCount = values[6];
    m.paragraphMarks = values[7];
    // The trimmed text is part of the text.
    if (m.trimmedLength > m.textLength)
        return std::nullopt;
    return m;
}

QString readTitle()
{
    return call(QStringLiteral("readtitle"), {});
}

std::optional<QString> parseTitle(const QVariant &answer)
{
    const QVariantList list = answer.toList();
    if (answer.typeId() != QMetaType::QVariantList || list.size() != 1
        || list.at(0).typeId() != QMetaType::QString)
        return std::nullopt;
    return list.at(0).toString();
}

QString readBodyText()
{
    return call(QStringLiteral("readbodytext"), {});
}

std::optional<QString> parseBodyText(const QVariant &answer)
{
    const auto text = parseTitle(answer);
    if (!text)
        return std::nullopt;
    return toCrLf(*text);
}

QString readActiveElementHref()
{
    return call(QStringLiteral("activehref"), {});
}

std::optional<QString> parseActiveElementHref(const QVariant &answer)
{
    if (answer.typeId() != QMetaType::QString || answer.toString().isEmpty())
        return std::nullopt;
    return answer.toString();
}

QString readRetryAfter()
{
    return call(QStringLiteral("retryafter"), {});
}

std::optional<QString> parseRetryAfter(const QVariant &answer)
{
    if (answer.typeId() != QMetaType::QString || answer.toString().trimmed().isEmpty())
        return std::nullopt;
    return answer.toString().trimmed();
}

QString readRelNextLink()
{
    return call(QStringLiteral("relnextlink"), {});
}

std::optional<int> parseRelNextLink(const QVariant &answer)
{
    if (answer.typeId() != QMetaType::Int && answer.typeId() != QMetaType::Double
        && answer.typeId() != QMetaType::LongLong)
        return std::nullopt;
    return answer.toInt();
}

QString clickElement(int index)
{
    return call(QStringLiteral("clickelement"), {QString::number(index)});
}

QString focusElement(int index)
{
    return call(QStringLiteral("focuselement"), {QString::number(index)});
}

QString clickLink(const workflow::LinkToClick &link)
{
    const QJsonObject argument{
        {QStringLiteral("index"), link.index},
        {QStringLiteral("expected"), QJsonArray{link.tagName, link.href, link.innerText}},
        {QStringLiteral("onlyFragment"), link.onlyIfWrittenAsFragment},
    };
    return call(QStringLiteral("clicklink"), {Json(argument)});
}

workflow::ClickResult parseClickLink(const QVariant &answer)
{
    using workflow::ClickResult;
    // A followed link may replace the document before the answer comes:
    // the wait then ends as succeeded with true.
    if (answer.typeId() == QMetaType::Bool)
        return answer.toBool() ? ClickResult::Clicked : ClickResult::Failed;
    const QString word = answer.toString();
    if (word == QLatin1String("clicked"))
        return ClickResult::Clicked;
    if (word == QLatin1String("changed"))
        return ClickResult::Changed;
    if (word == QLatin1String("page"))
        return ClickResult::WrittenAsPage;
    return ClickResult::Failed;
}

QString guardedTopLevel(const QString &code)
{
    // Not wrapped in a function: declarations in code must land in the page's
    // global scope, as they would in a script element. The completion value
    // of the try statement is the answer.
    return QStringLiteral("try {\n") + code + QStringLiteral("\n;true\n} catch (e) { false }");
}

QString guardedDocumentStart(const QString &code)
{
    return QStringLiteral("try {\n") + code + QStringLiteral("\n} catch (e) { }");
}

QString toCrLf(const QString &engineText)
{
    const qsizetype lfCount = engineText.count(QLatin1Char('\n'));
    if (lfCount == 0)
        return engineText;
    QString out;
    out.reserve(engineText.size() + lfCount);
    QChar previous;
    for (const QChar c : engineText) {
        if (c == QLatin1Char('\n') && previous != QLatin1Char('\r'))
            out += QLatin1Char('\r');
        out += c;
        previous = c;
    }
    return out;
}

QString parseState()
{
    return call(QStringLiteral("parsestate"), {});
}

std::optional<ParseState> readParseState(const QVariant &answer)
{
    const QVariantList fields = answer.toList();
    if (fields.size() != 2 || fields.at(0).typeId() != QMetaType::QString)
        return std::nullopt;
    return ParseState{fields.at(0).toString(), fields.at(1).toDouble()};
}

bool ParseState::parsedSince(qint64 loadStartedAtMs) const
{
    // Both clocks are the system's; the document's starts a little before the engine reports the load.
    const bool ownDocument = timeOrigin >= double(loadStartedAtMs) - 100;
    return readyState == QLatin1String("interactive") || (readyState == QLatin1String("complete") && ownDocument);
}

} // namespace pagewick::browser::scripts
