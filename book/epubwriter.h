#pragma once

#include "book/epubdocuments.h"

#include <QByteArray>

#include <optional>

namespace pagewick::book {

// The whole EPUB file: "mimetype" first and stored, then container.xml, the
// package document, the tables of contents, the stylesheet, the cover picture
// (stored) and its page when the book has one, and one XHTML document per
// chapter, deflated. nullopt when the archive cannot be made.
std::optional<QByteArray> EpubBytes(const EpubBook &book);

} // namespace pagewick::book
