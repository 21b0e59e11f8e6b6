#pragma once

#include "book/chapters.h"

#include <QList>
#include <QString>

#include <optional>

// Volumes: the level above chapters in the EPUB's table of contents.
namespace pagewick::book {

// A text that starts by naming a volume ("第一卷 风起", "卷一", "Volume 1",
// "Book One"): the volume part, and what follows it from a chapter's own
// marker on ("第一章 …", "Chapter 3 …"), empty when nothing does.
struct VolumeSplit
{
    QString volume;
    QString chapter;
};
std::optional<VolumeSplit> SplitVolume(const QString &text);

// A line of text that names a volume and nothing else: short, no sentence.
bool IsVolumeLine(const QString &line);

// Where a chapter stands in the volumes.
struct ChapterPlace
{
    QString opens;   // the heading of the volume this chapter opens; empty when none
    QString heading; // the chapter's own heading; empty when the chapter is the volume's own page
    qsizetype volumeLine = -1; // the line of its text that names the volume, or -1
    bool inVolume = false;     // some volume opened at or before it
};

// Chapters whose title names a volume open it (a title of the volume alone
// makes the chapter the volume's own page; titles that repeat the volume
// before each chapter's marker stay in it), and so does a chapter whose text
// names a volume in one of its first two lines. Empty when no volume is
// named anywhere.
QList<ChapterPlace> ChapterPlaces(const QList<Chapter> &chapters);

} // namespace pagewick::book
