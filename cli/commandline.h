#pragma once

#include <QStringList>

class QCoreApplication;

namespace pagewick::cli {

// Answers "--help" and "--version" (QCommandLineParser's own texts) on standard
// output and ends the program, before any window or display is needed; returns
// when the command line asks for neither. Call it before the application object
// exists: it makes a window-less one of its own for the answer.
void answerInformationRequest(int argc, char *argv[]);

// The program's own arguments: those before "--webEngineArgs", after which
// Qt WebEngine takes Chromium's switches for itself.
QStringList ownArguments(const QStringList &arguments);

// One line on standard error, "Pagewick: " and the text.
void reportUsageError(const QString &text);

// Ends the program with status 2 and a one-line error when the command line
// holds an option of the program's own that it does not know. Call it once
// the application object has taken the platform's own options ("-platform",
// "-style", ...) out.
void rejectUnknownOptions(const QCoreApplication &app);

// Whether a window can be opened: a platform was chosen (QT_QPA_PLATFORM or
// "-platform"), or a display is there to reach (DISPLAY, WAYLAND_DISPLAY).
bool windowPlatformAvailable(int argc, char *argv[]);

// The line for a start without a display.
QString noDisplayMessage();

} // namespace pagewick::cli
