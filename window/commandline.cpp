#include "window/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace pagewick::window {

namespace {

void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("网络连载小说收集工具：逐页提取网页正文，保存为文本文件。\n"
                       "Collects serialized web fiction page by page into text files."));
    parser.addHelpOption();
    parser.addVersionOption();
}

} // namespace

void answerInformationRequest(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

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

void rejectUnknownOptions(const QCoreApplication &app)
{
    QCommandLineParser parser;
    describe(parser);
    parser.process(app);
}

} // namespace pagewick::window
