#pragma once

#include "extract/pagedocument.h"

#include <QString>

// A div that the main-text detection accepts: long, rich in Chinese sentence
// marks, a dozen tags, no links.
inline pagewick::extract::PageElement ProseDiv(const QString &sentence)
{
    QString text;
    while (text.size() <= 120)
        text += sentence + QStringLiteral("，") + sentence + QStringLiteral("。");
    const QString html = QStringLiteral("<P>x</P>").repeated(6) + text;
    return {QStringLiteral("DIV"), text, html};
}

inline pagewick::extract::PageDocument ProsePage(const QString &title, const QString &sentence)
{
    const pagewick::extract::PageElement div = ProseDiv(sentence);
    pagewick::extract::PageDocument doc;
    doc.title = title;
    doc.bodyText = QStringLiteral("目录\r\n") + div.innerText + QStringLiteral("\r\n下一页");
    doc.all = {{QStringLiteral("HTML"), *doc.bodyText, QString()},
               {QStringLiteral("BODY"), *doc.bodyText, QString()},
               div,
               {QStringLiteral("A"), QStringLiteral("下一页"), QStringLiteral("下一页")}};
    return doc;
}
