#include "tests/fuzz/fuzzinput.h"
#include "text/textops.h"

using namespace pagewick::text;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    const QString text = in.text();
    const QString flowed = dlcp(text);

    // Every paragraph is indented by four spaces and followed by an empty line;
    // no other space, ideographic space or paragraph mark survives.
    FUZZ_CHECK(flowed.startsWith(QStringLiteral("    ")));
    FUZZ_CHECK(!flowed.contains(QChar(0x3000)));
    FUZZ_CHECK(!flowed.contains(QChar(0xA8)));

    // A lone CR and a lone LF that a removed space separated become a line
    // break of their own; the layout checks below hold for the other texts.
    QString withoutBreaks = text;
    withoutBreaks.remove(QStringLiteral("\r\n"));
    if (withoutBreaks.contains(QLatin1Char('\r')) || withoutBreaks.contains(QLatin1Char('\n')))
        return 0;
    FUZZ_CHECK(!flowed.endsWith(QStringLiteral("\r\n")));
    const QStringList paragraphs = flowed.split(QStringLiteral("\r\n\r\n"));
    for (const QString &p : paragraphs) {
        FUZZ_CHECK(p.startsWith(QStringLiteral("    ")));
        FUZZ_CHECK(!p.mid(4).contains(QLatin1Char(' ')));
    }
    return 0;
}
