#include "cli/commandline.h"
#include "cli/runcommand.h"
#include "window/frmmain.h"
#include "window/programinfo.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("Pagewick"));
    QCoreApplication::setApplicationVersion(pagewick::window::programVersion());
    if (pagewick::cli::IsCommandLine(argc, argv))
        return pagewick::cli::RunCommand(argc, argv);
    pagewick::cli::answerInformationRequest(argc, argv);
    // Without a display the platform plugin would end the program with a core dump.
    if (!pagewick::cli::windowPlatformAvailable(argc, argv)) {
        pagewick::cli::reportUsageError(pagewick::cli::noDisplayMessage());
        return 1;
    }

    // Qt WebEngine shares its OpenGL contexts with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    pagewick::cli::rejectUnknownOptions(app);
    QGuiApplication::setDesktopFileName(pagewick::window::desktopId());
    // Message boxes and any other window without an icon of its own show this one.
    QApplication::setWindowIcon(pagewick::window::programIcon());

    pagewick::window::Frmmain window;
    window.show();
    return app.exec();
}
