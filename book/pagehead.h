#pragma once

#include <QString>

#include <optional>

// What sites put at the head of a chapter page besides the story: the
// chapter's title once more, the author's name.
namespace pagewick::book {

// How many lines at the head of a page may name the author.
inline constexpr int kHeadLines = 3;

// The line is the chapter's title again: the title's characters, give or
// take spacing, brackets and separators, alone or with the book's name
// before or after it. A line that goes on with text of its own is not.
bool IsTitleLine(const QString &line, const QString &title, const QString &bookName);

// The author a line names: "作者：名", "作者: 名" (at the start, or after a
// blank or a bracket, so that "…的作者：" in a sentence does not count), or a
// line "by Name" of capitalised words. The name ends at a blank, a separator
// or a closing bracket.
std::optional<QString> AuthorOfLine(const QString &line);

} // namespace pagewick::book
