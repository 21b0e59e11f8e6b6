#pragma once

#include "extract/candidatescore.h"

#include <QString>
#include <QStringList>

#include <utility>

namespace pagewick::workflow {

// What a read needs of the document. Elements outside it keep their place in
// the answer with their tag name alone (empty texts, markup and target), so
// positions are still those of document.all.
struct ReadParts
{
    // Every element in full; tagNames is then of no account.
    bool everyElement = false;
    // The elements (tag name in any case) that need their inner text, inner
    // HTML and target.
    QStringList tagNames;
    bool bodyText = true;
    // Of these tags, an element whose inner text (CR LF breaks), without
    // leading and trailing U+0020 and U+3000, is shorter than textOnlyBelow
    // needs no inner HTML. Markup is what makes a read of deep nesting grow
    // with the square of the depth.
    QStringList textOnlyTags;
    int textOnlyBelow = 0;
    // Elements of these tags come with their measures (PageElement::measures)
    // and no markup; only those within carryBounds need their inner text.
    QStringList measuredTags;
    extract::AcceptanceBounds carryBounds;

    static ReadParts everything()
    {
        ReadParts parts;
        parts.everyElement = true;
        return parts;
    }
    static ReadParts elements(QStringList tags, bool withBodyText)
    {
        ReadParts parts;
        parts.tagNames = std::move(tags);
        parts.bodyText = withBodyText;
        return parts;
    }
    // Links (tag name A in any case) only, without the body text: all the
    // next-page step looks at.
    static ReadParts linksOnly() { return elements({QStringLiteral("A")}, false); }
    // Whether a read of these parts holds everything a read of `other` would.
    bool covers(const ReadParts &other) const;
};

} // namespace pagewick::workflow
