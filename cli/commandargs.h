#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace pagewick::cli {

// What "collect" and "update" were asked to do.
struct CommandArgs
{
    enum class Command { Collect, Update };
    Command command = Command::Collect;
    QString address;         // collect: the first page
    QStringList directories; // collect: the one save directory; update: every directory given
    QString linkNames;       // as the window's 下一页链接名称 box takes them
    int intervalSeconds = 0; // as the window's page interval
    bool makeBook = true;
    bool quiet = false;
};

// The result of reading a command line: the command, or the text to print
// (its help on standard output, or a one-line error on standard error).
struct ParsedCommand
{
    std::optional<CommandArgs> args;
    QString help;
    QString error;
};

// "collect" or "update" as the first argument after the program's name.
bool IsCommand(const QStringList &arguments);

// Reads a command line that IsCommand() accepted, the program's name first.
ParsedCommand ParseCommand(const QStringList &arguments);

// The commands as the program's help lists them.
QString CommandsHelp();

} // namespace pagewick::cli
