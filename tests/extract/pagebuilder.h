#pragma once

#include "extract/pagedocument.h"

#include <QString>

// Elements and pages whose counts are set exactly, for the detection tests.
namespace pagewick::extract::testing {

struct ElementRecipe
{
    QString tag = QStringLiteral("DIV");
    qsizetype length = 120; // innerText length
    qsizetype tags = 11;    // ">" in innerHTML
    qsizetype marks = 6;    // "，" and "。", alternating
    qsizetype hyphens = 0;
    qsizetype links = 0;    // "<a", each with one of the ">"
    QChar fill = QChar(0x6587); // 文
    QString prefix;         // text placed first
};

inline PageElement MakeElement(const ElementRecipe &s)
{
    QString text = s.prefix;
    for (qsizetype k = 0; k < s.marks; ++k)
        text += QChar(k % 2 ? 0x3002 : 0xFF0C);
    text += QString(s.hyphens, QLatin1Char('-'));
    text += QString(s.length - text.size(), s.fill);

    // Links first: each "<a href=#>" holds one of the ">" characters.
    QString html = QStringLiteral("<a href=#>").repeated(s.links)
        + QStringLiteral("<BR>").repeated(s.tags - s.links) + text;
    return {s.tag, text, html};
}

// A body text of `length` code units that selects the Chinese mode.
inline QString ChineseBody(qsizetype length = 10000)
{
    return QStringLiteral("，。") + QString(length - 2, QChar(0x6587));
}

inline PageDocument MakePage(const QVector<PageElement> &elements,
                             const std::optional<QString> &body = ChineseBody())
{
    return {QStringLiteral("第一章"), body, elements};
}

} // namespace pagewick::extract::testing
