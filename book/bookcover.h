#pragma once

#include <QByteArray>
#include <QString>

namespace pagewick::book {

inline constexpr int kCoverWidth = 1600;
inline constexpr int kCoverHeight = 2400;

// The cover picture: a PNG of kCoverWidth × kCoverHeight with the book's
// name and, when known, its author, in Noto Serif CJK (Debian's
// fonts-noto-cjk) or, when that is not installed, the system's default
// font. Drawing text needs the program's GUI application object: without
// one (a command-line tool) the result is empty and the book has no cover.
QByteArray CoverPng(const QString &title, const QString &author);

} // namespace pagewick::book
