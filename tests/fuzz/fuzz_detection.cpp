#include "extract/detection.h"
#include "tests/fuzz/fuzzinput.h"

using namespace pagewick::extract;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    PageDocument doc;
    const uint8_t flags = in.byte();
    if (!(flags & 1))
        doc.bodyText = in.text();
    static const char *const tags[] = {"DIV", "TD", "div", "td", "P", "A", "SPAN", "TABLE"};
    while (!in.atEnd()) {
        PageElement e;
        e.tagName = QString::fromLatin1(tags[in.byte() % 8]);
        e.innerText = in.text();
        e.innerHTML = in.text();
        doc.all.append(e);
    }

    CandidateState state;
    int progressCalls = 0;
    DetectionHooks hooks;
    hooks.progress = [&](const QString &) { ++progressCalls; };
    const std::optional<QString> body = DetectMainText(doc, state, hooks);
    FUZZ_CHECK(body.has_value());
    FUZZ_CHECK(progressCalls == doc.all.size());

    // The body is empty or exactly one element's text framed by CR LF.
    if (!body->isEmpty()) {
        bool fromSomeElement = false;
        for (const PageElement &e : doc.all) {
            if (*body == QStringLiteral("\r\n") + e.innerText + QStringLiteral("\r\n")) {
                fromSomeElement = true;
                break;
            }
        }
        FUZZ_CHECK(fromSomeElement);
    }
    for (qsizetype i = 1; i < state.CandidateKeys.size(); ++i)
        FUZZ_CHECK(!(state.CandidateKeys[i] < state.CandidateKeys[i - 1]));

    // A run stopped at its first yield leaves the earlier state alone.
    CandidateState before = state;
    hooks.yield = [] { return false; };
    const std::optional<QString> stopped = DetectMainText(doc, state, hooks);
    FUZZ_CHECK(state.CandidateLog == before.CandidateLog);
    FUZZ_CHECK(state.CandidateKeys == before.CandidateKeys);
    (void)stopped;
    return 0;
}
