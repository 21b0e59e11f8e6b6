#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

namespace pagewick::window {

// The caption the window starts with and returns to after a blank page.
QString programTitle();

// Drawn at run time: a page with lines of text and a folded corner.
QIcon programIcon();

// The executable's directory, without a trailing "/" (except the root).
QString executableDirectory();

// The shipped sample book's first chapter and its table of contents, as they
// lie next to the executable.
QStringList defaultStartAddresses(const QString &programDirectory);

// "file://" + the absolute path, nothing percent-encoded: /home/u/第一章.htm
// gives file:///home/u/第一章.htm.
QString fileAddress(const QString &path);

} // namespace pagewick::window
