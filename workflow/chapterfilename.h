#pragma once

#include <QString>

namespace pagewick::workflow {

// The longest file name, in bytes of the locale's character set, that the
// file systems of Linux hold in one path element.
constexpr int kMaxFileNameBytes = 255;

// The name a page without a title is saved under, in place of a bare ".txt"
// that file managers hide.
QString UntitledName();

// The file name a page with this cleaned title is saved under: the title,
// "(number)" from 2 on, and ".txt". A title too long for one file name is
// cut at the end, between two characters as a reader sees them, so that the
// numbering and ".txt" stay whole. The saved text keeps its full title.
QString ChapterFileName(const QString &title, int number);

} // namespace pagewick::workflow
