#pragma once

#include "text/textmeasures.h"
#include "workflow/browserport.h"

#include <QString>
#include <QVariant>

#include <optional>

// The scripts the browser layer runs in pages, and the decoding of their
// answers. Each script is a file of browser/scripts/ built in as a resource:
// a function expression whose answer's shape the file's opening comment
// states, read here by one parse function. Engine-free, so the decoding can
// be checked on its own.
namespace pagewick::browser::scripts {

// The text of scripts/<name>.js.
QString file(const QString &name);
// scripts/<name>.js called with the given arguments (script source, JSON).
QString call(const QString &name, const QStringList &arguments);
// The answer of a script that answers true or false; false for anything else.
bool parseFlag(const QVariant &answer);

constexpr int kMaxReadCharacters = 1 << 26;

// Fields per element in the answer of readDocument().
constexpr int kElementFields = 5;

// scripts/readdocument.js over `parts`; innerHTML is serialized by the
// script itself, with tag names in upper case. A document whose answer would
// hold more than kMaxReadCharacters characters answers null.
QString readDocument(const workflow::ReadParts &parts = workflow::ReadParts::everything());
// readdocument.js's argument for `parts`.
QString readArgument(const workflow::ReadParts &parts);
// The answer as a page read (targets in LoadedPage::hrefs, relNextIndex -1).
std::optional<workflow::LoadedPage> parseDocument(const QVariant &answer);
// The measures field of an element; nullopt when malformed.
std::optional<text::TextMeasures> parseMeasures(QStringView text);

// scripts/readtitle.js.
QString readTitle();
std::optional<QString> parseTitle(const QVariant &answer);

// scripts/readbodytext.js.
QString readBodyText();
std::optional<QString> parseBodyText(const QVariant &answer);

// scripts/activehref.js.
QString readActiveElementHref();
std::optional<QString> parseActiveElementHref(const QVariant &answer);

// scripts/retryafter.js: the Retry-After of the page's address as the server answers a
// HEAD request of it now (the engine does not pass on the headers of the
// page's own answer), or null.
QString readRetryAfter();
std::optional<QString> parseRetryAfter(const QVariant &answer);

// scripts/relnextlink.js: the position in document.all of the first HTML link with an href
// whose rel holds the word "next" (any case), or -1.
QString readRelNextLink();
std::optional<int> parseRelNextLink(const QVariant &answer);

// scripts/clickelement.js and scripts/focuselement.js; answers read by parseFlag().
QString clickElement(int index);
QString focusElement(int index);

// scripts/clicklink.js: clickElement(link.index) only when the element there
// still is the link the read found.
QString clickLink(const workflow::LinkToClick &link);
workflow::ClickResult parseClickLink(const QVariant &answer);

// scripts/parsestate.js.
QString parseState();
struct ParseState
{
    QString readyState;
    double timeOrigin = 0; // epoch milliseconds
    // Whether the document of a load begun at loadStartedAtMs (epoch
    // milliseconds) has been parsed. Until the load commits, the document
    // that answers is the former one: finished ("complete") and older than the load.
    bool parsedSince(qint64 loadStartedAtMs) const;
};
std::optional<ParseState> readParseState(const QVariant &answer);

// Runs code at the top level of the page's script (so its declarations
// become globals) and answers true, or false when it throws.
QString guardedTopLevel(const QString &code);

// A document-start script: code on its own, a throw swallowed.
QString guardedDocumentStart(const QString &code);

// The engine breaks lines with LF; the program's texts use CR LF. A CR LF
// already present stays one break; a lone CR stays an ordinary character.
QString toCrLf(const QString &engineText);

} // namespace pagewick::browser::scripts
