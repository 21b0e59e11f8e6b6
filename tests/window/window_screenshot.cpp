// Takes the picture of the window shown in the README: the sample book's
// first chapter loaded and extracted, the options panel open. Run it under
// an X server (scripts/window-screenshot.sh starts one).
#include "browser/webbrowser.h"
#include "window/addressbox.h"
#include "window/frmmain.h"
#include "window/richtextbox.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFrame>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "../support/scriptedprompt.h"

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        qWarning("usage: window_screenshot <source directory> <output.png>");
        return 2;
    }

    // Extract when asked, but do not save into the source tree.
    ScriptedPrompt prompt;
    prompt.queueAnswers({true, false});
    pagewick::window::FrmmainSeams seams;
    seams.programDirectory = args.at(1);
    seams.prompt = &prompt;
    pagewick::window::Frmmain window(seams);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;

    window.Combo1->setEditText(window.Combo1->itemText(0));
    pagewick::window::goCommand(window);
    QElapsedTimer timer;
    timer.start();
    while (window.Text1->text().isEmpty() && timer.elapsed() < 30000)
        QTest::qWait(100);
    if (window.Text1->text().isEmpty()) {
        qWarning("the chapter was not extracted");
        return 1;
    }
    window.Cmd_setup->click();
    QTest::qWait(1500);

    const QPixmap picture = window.screen()->grabWindow(window.winId());
    return picture.save(args.at(2)) ? 0 : 1;
}
