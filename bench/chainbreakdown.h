#pragma once

namespace pagewick::testsupport {
class LoopbackServer;
}

namespace pagewick::bench {

// Times, one at a time, the steps a chain makes on one chapter page (the
// reads through the browser layer, the script alone, the decoding alone,
// detection with and without its caption and yields, the result box, the
// save), so that a slow chain can be taken apart. Prints one line per step.
void PrintChainBreakdown(testsupport::LoopbackServer &server, const char *pagePath);

} // namespace pagewick::bench
