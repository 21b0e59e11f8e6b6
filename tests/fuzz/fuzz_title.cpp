#include "extract/titleclean.h"
#include "tests/fuzz/fuzzinput.h"

using namespace pagewick::extract;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    const QString title = in.text();
    const QString cleaned = CleanPageTitle(title);

    for (const QChar c : QStringLiteral("\"<>|?*:/\\"))
        FUZZ_CHECK(!cleaned.contains(c));
    FUZZ_CHECK(!cleaned.contains(QLatin1Char('_')));
    FUZZ_CHECK(!cleaned.contains(QLatin1Char('-')));
    FUZZ_CHECK(cleaned.size() <= title.size());
    FUZZ_CHECK(CleanPageTitle(cleaned) == cleaned);
    return 0;
}
