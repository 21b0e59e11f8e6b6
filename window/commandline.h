#pragma once

class QCoreApplication;

namespace pagewick::window {

// Answers "--help" and "--version" (QCommandLineParser's own texts) on standard
// output and ends the program, before any window or display is needed; returns
// when the command line asks for neither. Call it before the application object
// exists: it makes a window-less one of its own for the answer.
void answerInformationRequest(int argc, char *argv[]);

// Ends the program with QCommandLineParser's error message when the command
// line holds an option the program does not know. Call it once the application
// object has taken the platform's own options ("-platform", "-style", ...) out.
void rejectUnknownOptions(const QCoreApplication &app);

} // namespace pagewick::window
