#pragma once

#include <QByteArray>
#include <QString>

// Text files and file names are written in the character set of the user's
// locale (GBK under zh_CN.GBK, UTF-8 under zh_CN.UTF-8), as users of the saved
// chapters expect from their other tools. The C/POSIX locale only knows ASCII,
// which would turn every Chinese character into "?", so UTF-8 is used there.
namespace pagewick::workflow {

// The character set in force now, as iconv names it.
QByteArray localeCharset();

// Characters the set cannot hold become "?", except the space characters
// U+00A0, U+2002-U+200A, U+202F and U+205F, which become a plain space (GBK
// has none of them, and indents would read "????"). No byte-order mark.
QByteArray encodeForLocale(const QString &text);

// Bytes that are not valid in the set become U+FFFD.
QString decodeFromLocale(const QByteArray &bytes);

} // namespace pagewick::workflow
