#pragma once

#include "workflow/browserport.h"

#include <QString>
#include <QVariant>

#include <optional>

// The document read in pieces of bounded size. A page of many megabytes
// would otherwise arrive as one answer whose conversion and decoding block
// the user-interface thread for most of a second. The page's answer is built
// once, in the first round trip, and kept in the program's own script world
// (which the page's scripts cannot reach); that round trip and each later one
// bring back at most about `budget` characters, so the reader lets the event
// queue run between pieces and the page read is still of one moment.
//
// The stream carried is the one-round-trip answer of scripts::readDocument():
// url, title, body flag, body text, then tagName, innerText, innerHTML, href,
// measures per element. Engine-free, so the assembly can be checked on its own.
namespace pagewick::browser::chunked {

// Characters per round trip: a few milliseconds of conversion each.
constexpr int kDefaultBudget = 1 << 20;

// Builds the answer, keeps it under a fresh token unless it fits at once, and
// answers [token, field count, stamp, next field, next offset, piece lengths,
// pieces], the lengths comma-separated and the pieces joined into one text.
// The stamp names the document as it was read; see unchangedSince().
QString beginRead(int budget = kDefaultBudget,
                  const workflow::ReadParts &parts = workflow::ReadParts::everything());
// Answers true when the document read under `stamp` is still there, with no
// change to its nodes, attributes or texts since.
QString unchangedSince(const QString &stamp);
// Answers [next field, next offset, piece lengths, pieces] from the kept answer, or null
// when there is none (the document has been replaced); drops it once done.
QString readChunk(const QString &token, qsizetype field, qsizetype offset,
                  int budget = kDefaultBudget);
// Drops the kept answer of an abandoned read.
QString releaseRead(const QString &token);

// Puts the pieces back together into the page read: the targets go to
// LoadedPage::hrefs, relNextIndex stays -1. Each piece is converted
// as it arrives, so no step handles the whole document at once.
class Assembler
{
public:
    // The first answer; false when malformed.
    bool begin(const QVariant &answer);
    // A later answer; false when malformed or when the kept answer was gone.
    bool feed(const QVariant &answer);

    bool finished() const { return m_begun && m_field >= m_fieldCount; }
    QString token() const { return m_token; }
    QString stamp() const { return m_stamp; }
    qsizetype nextField() const { return m_field; }
    qsizetype nextOffset() const { return m_offset; }

    // The page once finished.
    std::optional<workflow::LoadedPage> take();

private:
    bool takePieces(const QVariantList &list, qsizetype first);
    bool append(qsizetype field, QStringView piece, bool continues);
    bool completeField(qsizetype field);

    bool m_begun = false;
    bool m_failed = false;
    QString m_token;
    QString m_stamp;
    qsizetype m_fieldCount = 0;
    qsizetype m_field = 0;  // the field the next piece belongs to
    qsizetype m_offset = 0; // where in it the next piece starts
    QString m_current;      // the field being put together, line breaks converted
    bool m_hasBody = false;
    workflow::LoadedPage m_page;
};

} // namespace pagewick::browser::chunked
