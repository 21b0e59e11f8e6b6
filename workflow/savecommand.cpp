#include "workflow/savecommand.h"

#include "workflow/filesystem.h"
#include "workflow/localecodec.h"
#include "workflow/pageaddress.h"

namespace pagewick::workflow {

namespace {

QString NumberedPath(const QString &directory, const QString &title, int number)
{
    // Joined with nothing between: the directory brings its own separator.
    if (number == 1)
        return directory + title + QStringLiteral(".txt");
    return directory + title + QStringLiteral("(%1).txt").arg(number);
}

} // namespace

QString SaveCommand::pathFor(const QString &directory, const QString &title,
                             const QString &address) const
{
    const QString page = PageAddress(address);
    for (int number = 1;; ++number) {
        const QString path = NumberedPath(directory, title, number);
        const auto owner = m_addressByPath.constFind(encodeForLocale(path));
        if (owner == m_addressByPath.constEnd() || *owner == page)
            return path;
    }
}

SaveOutcome SaveCommand::save(FileSystem &fileSystem, const QString &directory,
                              const QString &title, const QString &address, const QString &text)
{
    SaveOutcome outcome;
    outcome.path = pathFor(directory, title, address);
    outcome.written = fileSystem.writeFileReplacing(outcome.path, encodeForLocale(text));
    if (outcome.written)
        m_addressByPath.insert(encodeForLocale(outcome.path), PageAddress(address));
    return outcome;
}

QString SaveStatus(const SaveOutcome &outcome)
{
    return (outcome.written ? QStringLiteral("已保存：") : QStringLiteral("保存失败：")) + outcome.path;
}

} // namespace pagewick::workflow
