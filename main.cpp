#include "window/commandline.h"
#include "window/frmmain.h"
#include "window/programinfo.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("Pagewick"));
    QCoreApplication::setApplicationVersion(pagewick::window::programVersion());
    pagewick::window::answerInformationRequest(argc, argv);

    // Qt WebEngine shares its OpenGL contexts with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    pagewick::window::rejectUnknownOptions(app);
    QGuiApplication::setDesktopFileName(pagewick::window::desktopId());
    // Message boxes and any other window without an icon of its own show this one.
    QApplication::setWindowIcon(pagewick::window::programIcon());

    pagewick::window::Frmmain window;
    window.show();
    return app.exec();
}
