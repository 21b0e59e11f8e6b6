#pragma once

#include <QString>

namespace pagewick::workflow {
class Clock;
class FileSystem;
class MessagePrompt;
struct ChainTiming;
} // namespace pagewick::workflow

namespace pagewick::window {

class ShellWindowProvider;

// What the window takes from its surroundings. Every member left empty means
// the real thing; tests put fakes in. The pointed-to objects must outlive the window.
struct FrmmainSeams
{
    QString programDirectory;                    // empty: the executable's directory
    workflow::FileSystem *fileSystem = nullptr;  // null: the real file system
    ShellWindowProvider *shellWindows = nullptr; // null: the desktop's (none here)
    workflow::MessagePrompt *prompt = nullptr;   // null: real message boxes
    const workflow::ChainTiming *chainTiming = nullptr; // null: the real pauses
    workflow::Clock *clock = nullptr;            // null: the system's clock
};

} // namespace pagewick::window
