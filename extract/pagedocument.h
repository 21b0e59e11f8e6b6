#pragma once

#include <QString>
#include <QVector>

#include <optional>

namespace pagewick::extract {

// One element as the document model reports it.
struct PageElement
{
    QString tagName;
    QString innerText; // CR LF line breaks
    QString innerHTML; // tag names in upper case, as the classic document model wrote them
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
