#include "tests/fuzz/fuzzinput.h"
#include "text/textops.h"

using namespace pagewick::text;

namespace {

qsizetype lineBreaks(const QString &s)
{
    return s.count(QStringLiteral("\r\n"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    const QString text = in.text();

    const QString left = DellSpace(text);
    const QString right = DelrSpace(text);
    FUZZ_CHECK(lineBreaks(left) == lineBreaks(text));
    FUZZ_CHECK(lineBreaks(right) == lineBreaks(text));
    FUZZ_CHECK(left.size() <= text.size());
    FUZZ_CHECK(right.size() <= text.size());
    FUZZ_CHECK(DellSpace(left) == left);
    FUZZ_CHECK(DelrSpace(right) == right);

    const QString compact = DelSpace(text);
    FUZZ_CHECK(compact.size() <= text.size());
    FUZZ_CHECK(!compact.startsWith(QStringLiteral("\r\n")));
    FUZZ_CHECK(!compact.contains(QStringLiteral("\r\n\r\n")));
    FUZZ_CHECK(DelSpace(compact) == compact);

    const QString indented = addSpace(text);
    FUZZ_CHECK(indented.size() == text.size() + 4 * lineBreaks(text));
    return 0;
}
