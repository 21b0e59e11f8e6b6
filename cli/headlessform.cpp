#include "cli/headlessform.h"

#include "window/programinfo.h"
#include "workflow/clock.h"

namespace pagewick::cli {

LoggedPrompt::LoggedPrompt(std::function<void(const QString &)> log)
    : m_log(std::move(log))
{
}

bool LoggedPrompt::ask(const QString &)
{
    return false;
}

void LoggedPrompt::notify(const QString &text)
{
    // The boxes' texts are padded with blanks and may run over lines.
    m_log(text.simplified());
}

std::optional<QString> LoggedPrompt::askText(const QString &, const QString &)
{
    return std::nullopt;
}

HeadlessForm::HeadlessForm(workflow::MessagePrompt &prompt, workflow::FileSystem &fileSystem)
    : m_prompt(prompt)
    , m_fileSystem(fileSystem)
{
}

bool HeadlessForm::optionChecked(int index)
{
    return index == workflow::SilentMode || index == workflow::PopupBlocking;
}

QString HeadlessForm::programTitle()
{
    return window::programTitle();
}

void HeadlessForm::setStatusText(const QString &text)
{
    if (m_statusText)
        m_statusText(text);
}

workflow::Clock &HeadlessForm::clock()
{
    return workflow::systemClock();
}

} // namespace pagewick::cli
