#include "cli/commandargs.h"

#include "workflow/filesystem.h"
#include "workflow/savedirectory.h"

#include <QCommandLineParser>
#include <QDir>

namespace pagewick::cli {

namespace {

const QString kCollect = QStringLiteral("collect");
const QString kUpdate = QStringLiteral("update");
// The page interval's range, as the window's box has it.
constexpr int kMaxIntervalSeconds = 600;

} // namespace

bool IsCommand(const QStringList &arguments)
{
    return arguments.size() > 1 && (arguments.at(1) == kCollect || arguments.at(1) == kUpdate);
}

QString CommandsHelp()
{
    return QStringLiteral(
        "命令（不开窗口，也不需要显示器）：\n"
        "  collect 网址 [--dir 目录] [--names \"下一页|下一章\"] [--interval 秒] [--no-book] [--quiet]\n"
        "      从这一页起静默提取整本书到目录（默认当前目录），再合并成书（TXT 和 EPUB）。\n"
        "  update 目录... [--names ...] [--interval 秒] [--no-book] [--quiet]\n"
        "      每个目录从提取记录里最后保存的一页接着提取，有新章节就重新合并成书。\n"
        "退出状态：0 全部完成，1 有书失败，2 参数有误，130 被中断。");
}

ParsedCommand ParseCommand(const QStringList &arguments)
{
    ParsedCommand parsed;
    const QString command = arguments.value(1);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("显示这段说明。"));
    const QCommandLineOption dir(QStringLiteral("dir"), QStringLiteral("保存目录，默认当前目录。"),
                                 QStringLiteral("目录"));
    const QCommandLineOption names(QStringLiteral("names"),
                                   QStringLiteral("下一页链接名称，几个名称用 | 隔开，默认“下一页”。"),
                                   QStringLiteral("名称"));
    const QCommandLineOption interval(QStringLiteral("interval"),
                                      QStringLiteral("两页之间的间隔秒数（0 到 600），默认 0。"),
                                      QStringLiteral("秒"));
    const QCommandLineOption noBook(QStringLiteral("no-book"), QStringLiteral("不合并成书。"));
    const QCommandLineOption quiet(QStringLiteral("quiet"), QStringLiteral("只输出每本书的总结。"));
    parser.addOptions({help, names, interval, noBook, quiet});
    if (command == kCollect) {
        parser.addOption(dir);
        parser.addPositionalArgument(QStringLiteral("网址"), QStringLiteral("书的第一页（或要开始的一页）。"));
    } else {
        parser.addPositionalArgument(QStringLiteral("目录"), QStringLiteral("有提取记录的保存目录，可以有多个。"),
                                     QStringLiteral("目录..."));
    }

    QStringList rest = arguments;
    rest.removeAt(1);
    rest[0] += QLatin1Char(' ') + command;
    if (!parser.parse(rest)) {
        parsed.error = parser.errorText();
        return parsed;
    }
    if (parser.isSet(help)) {
        // Without an application object the parser cannot name the program.
        parsed.help = parser.helpText().replace(QStringLiteral("<executable_name>"), rest.first());
        return parsed;
    }

    CommandArgs args;
    args.command = command == kCollect ? CommandArgs::Command::Collect : CommandArgs::Command::Update;
    const QStringList positional = parser.positionalArguments();
    if (args.command == CommandArgs::Command::Collect) {
        if (positional.size() != 1) {
            parsed.error = positional.isEmpty() ? QStringLiteral("collect 需要一个网址。")
                                                : QStringLiteral("collect 只收一个网址：") + positional.join(' ');
            return parsed;
        }
        args.address = positional.first();
        // The current directory, unless files cannot be made there (as in a
        // system folder): then the window's fallback, the documents folder's "Pagewick".
        args.directories = {parser.isSet(dir) ? parser.value(dir)
                                              : workflow::StartingSaveDirectory(workflow::realFileSystem(),
                                                                                QDir::currentPath())};
    } else {
        if (positional.isEmpty()) {
            parsed.error = QStringLiteral("update 需要至少一个目录。");
            return parsed;
        }
        args.directories = positional;
    }
    for (const QString &directory : std::as_const(args.directories)) {
        if (directory.isEmpty()) {
            parsed.error = QStringLiteral("目录不能是空的。");
            return parsed;
        }
    }
    args.linkNames = parser.isSet(names) ? parser.value(names) : QStringLiteral("下一页");
    if (args.linkNames.trimmed().isEmpty()) {
        parsed.error = QStringLiteral("--names 不能是空的。");
        return parsed;
    }
    if (parser.isSet(interval)) {
        bool ok = false;
        args.intervalSeconds = parser.value(interval).toInt(&ok);
        if (!ok || args.intervalSeconds < 0 || args.intervalSeconds > kMaxIntervalSeconds) {
            parsed.error = QStringLiteral("--interval 要 0 到 600 之间的整数秒：") + parser.value(interval);
            return parsed;
        }
    }
    args.makeBook = !parser.isSet(noBook);
    args.quiet = parser.isSet(quiet);
    parsed.args = args;
    return parsed;
}

} // namespace pagewick::cli
