#include "window/frmmain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Qt WebEngine shares its OpenGL contexts with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pagewick"));

    pagewick::window::Frmmain window;
    window.show();
    return app.exec();
}
