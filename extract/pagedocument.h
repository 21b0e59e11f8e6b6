#pragma once

#include "text/textmeasures.h"

#include <QString>
#include <QVector>

#include <optional>

namespace pagewick::extract {

// Detection's counts of one element, made where the document lives.
using TextMeasures = text::TextMeasures;

// One element as the document model reports it.
struct PageElement
{
    QString tagName;
    QString innerText; // CR LF line breaks
    QString innerHTML; // tag names in upper case, as the classic document model wrote them
    // When set, detection takes the counts from here: the texts may then be
    // left out, except the innerText of an element detection can accept.
    std::optional<TextMeasures> measures = std::nullopt;
};

// A document read in one piece: detection works over this, whether it came
// from the engine or was built in memory by a test.
struct PageDocument
{
    QString title;
    std::optional<QString> bodyText; // nullopt when the document has no body
    QVector<PageElement> all;        // every element in document order
};

} // namespace pagewick::extract
