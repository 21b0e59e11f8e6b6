#include "cli/runcommand.h"

#include "cli/commandargs.h"
#include "cli/commandrun.h"
#include "cli/commandline.h"

#include <QApplication>
#include <QLoggingCategory>

#include <cstdio>

namespace pagewick::cli {

namespace {

QStringList Arguments(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

bool IsCommandLine(int argc, char *argv[])
{
    return IsCommand(Arguments(argc, argv));
}

int RunCommand(int argc, char *argv[])
{
    const ParsedCommand parsed = ParseCommand(ownArguments(Arguments(argc, argv)));
    if (!parsed.args) {
        if (!parsed.help.isEmpty()) {
            std::fputs(parsed.help.toUtf8().constData(), stdout);
            return AllBooksDone;
        }
        reportUsageError(parsed.error);
        return BadArguments;
    }

    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The engine's account of its graphics set-up would open every log.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    // Qt WebEngine shares its OpenGL contexts with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    CommandRun run(*parsed.args);
    QObject::connect(&run, &CommandRun::finished, &app, &QCoreApplication::exit);
    run.start();
    return app.exec();
}

} // namespace pagewick::cli
