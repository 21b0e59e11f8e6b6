#pragma once

namespace pagewick::cli {

// "collect" or "update" as the first argument: the program runs the
// command instead of opening its window.
bool IsCommandLine(int argc, char *argv[]);

// Runs the command on the offscreen platform (no display needed) and
// answers the program's exit status. Call it before any application object
// exists.
int RunCommand(int argc, char *argv[]);

} // namespace pagewick::cli
