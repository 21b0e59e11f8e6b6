#include "tests/fuzz/fuzzinput.h"
#include "text/textops.h"

using namespace pagewick::text;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    const QString all = in.text();
    const QString first = in.text();
    const QString end = in.text();
    const QString split = in.text();

    // The window always joins with an empty separator; then the result is
    // made of pieces of the input and can never be longer than it.
    const QString joined = FindStrMulti(all, first, end, QString());
    FUZZ_CHECK(joined.size() <= all.size());
    if (first.isEmpty() && end.isEmpty())
        FUZZ_CHECK(joined == all);

    const QString separated = FindStrMulti(all, first, end, split);
    if (split.isEmpty())
        FUZZ_CHECK(separated == joined);
    return 0;
}
