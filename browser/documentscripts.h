#pragma once

#include "browser/webbrowser.h"

#include <QString>
#include <QVariant>

#include <optional>

// The scripts the browser layer runs in pages, and the decoding of their answers.
// Engine-free, so the decoding can be checked on its own.
namespace pagewick::browser::scripts {

constexpr int kMaxReadCharacters = 1 << 26;

// Fields per element in the answer of readDocument().
constexpr int kElementFields = 5;

// Answers one flat array: url, title, whether there is a body, the body's
// innerText (empty without one), then for each element of document.all in
// order its tagName, innerText, innerHTML, href (the resolved target of an
// A element with an href, else empty) and measures (empty, or the eight
// counts of TextMeasures in their order, comma-separated). innerHTML is
// serialized by the script itself, with tag names in upper case. (A flat
// array of strings crosses over faster than the same data as one JSON text,
// decoding included.) Elements outside `parts` come with their tag name
// alone, and the body text is empty unless asked for. A document whose
// answer would hold more than kMaxReadCharacters characters answers null.
QString readDocument(const DocumentParts &parts = DocumentParts::everything());
std::optional<DocumentSnapshot> parseDocument(const QVariant &answer);
// The measures field of an element; nullopt when malformed.
std::optional<TextMeasures> parseMeasures(QStringView text);

// Answers [title].
QString readTitle();
std::optional<QString> parseTitle(const QVariant &answer);

// Answers [body innerText], or [] without a body.
QString readBodyText();
std::optional<QString> parseBodyText(const QVariant &answer);

// Answers the href string, or null.
QString readActiveElementHref();
std::optional<QString> parseActiveElementHref(const QVariant &answer);

// Answers the Retry-After of the page's address as the server answers a
// HEAD request of it now (the engine does not pass on the headers of the
// page's own answer), or null.
QString readRetryAfter();
std::optional<QString> parseRetryAfter(const QVariant &answer);

// Answers the position in document.all of the first HTML link with an href
// whose rel holds the word "next" (any case), or -1.
QString readRelNextLink();
std::optional<int> parseRelNextLink(const QVariant &answer);

// Focuses the element, as a user's click would (so a link opening a new
// window is the active element its handler can read), then calls click().
// Answers true when the element existed and its click() did not throw.
QString clickElement(int index);

// clickElement(index) only when the element there still has the tag name,
// resolved target (as readDocument() gives it) and inner text of `check`,
// and, if asked, a written target starting with "#". Answers "clicked",
// "changed", "page" or "failed".
QString clickLink(int index, const LinkCheck &check);
ClickOutcome parseClickLink(const QVariant &answer);

// Runs code at the top level of the page's script (so its declarations
// become globals) and answers true, or false when it throws.
QString guardedTopLevel(const QString &code);

// A document-start script: code on its own, a throw swallowed.
QString guardedDocumentStart(const QString &code);

// The engine breaks lines with LF; the program's texts use CR LF. A CR LF
// already present stays one break; a lone CR stays an ordinary character.
QString toCrLf(const QString &engineText);

} // namespace pagewick::browser::scripts
