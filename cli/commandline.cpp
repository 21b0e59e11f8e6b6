#include "cli/commandline.h"

#include "cli/commandargs.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace pagewick::cli {

namespace {

void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("网络连载小说收集工具：逐页提取网页正文，保存为文本文件。\n"
                       "Collects serialized web fiction page by page into text files.\n\n")
        + cli::CommandsHelp());
    parser.addHelpOption();
    parser.addVersionOption();
}

} // namespace

void answerInformationRequest(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    arguments = ownArguments(arguments);

    QCommandLineParser parser;
    describe(parser);
    // The platform's own options are unknown to this parser and may stand
    // beside a request for help; they are not an error here.
    parser.parse(arguments);
    const QStringList requests{QStringLiteral("help"), QStringLiteral("help-all"), QStringLiteral("version")};
    QStringList asked{arguments.value(0)};
    for (const QString &name : requests) {
        if (parser.isSet(name))
            asked << QStringLiteral("--") + name;
    }
    if (asked.size() == 1)
        return;

    // The usage line names the program as it was called, which the parser
    // learns from an application object; this one needs no display.
    QCoreApplication app(argc, argv);
    parser.process(asked);
}

QStringList ownArguments(const QStringList &arguments)
{
    const qsizetype engine = arguments.indexOf(QStringLiteral("--webEngineArgs"));
    return engine < 0 ? arguments : arguments.first(engine);
}

void reportUsageError(const QString &text)
{
    const QByteArray line = (QCoreApplication::applicationName() + QStringLiteral(": ") + text).toUtf8() + '\n';
    std::fputs(line.constData(), stderr);
}

void rejectUnknownOptions(const QCoreApplication &app)
{
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(ownArguments(app.arguments()))) {
        reportUsageError(parser.errorText());
        std::exit(2);
    }
}

bool windowPlatformAvailable(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "-platform") == 0 || qstrcmp(argv[i], "--platform") == 0)
            return true;
    }
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
           || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

QString noDisplayMessage()
{
    return QStringLiteral("没有可用的显示器，无法打开窗口（collect、update 命令不需要显示器，见 --help）");
}

} // namespace pagewick::cli
