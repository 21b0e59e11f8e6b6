#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel placeholder(QStringLiteral("Pagewick: the main window is not built yet."));
    placeholder.setWindowTitle(QStringLiteral("Pagewick"));
    placeholder.resize(480, 120);
    placeholder.show();
    return app.exec();
}
