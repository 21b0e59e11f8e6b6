#include "window/addressbox.h"

#include "browser/webbrowser.h"
#include "window/frmmain.h"

#include <QComboBox>
#include <QKeyEvent>

namespace pagewick::window {

namespace {

void forgetPreviousPage(Frmmain &window)
{
    window.Candidates.CandidateLog.clear();
    window.PageTitle.clear();
}

} // namespace

void goCommand(Frmmain &window)
{
    forgetPreviousPage(window);
    window.WebBrowser1->Navigate(window.Combo1->currentText());
}

void chooseListEntry(Frmmain &window)
{
    forgetPreviousPage(window);
    window.WebBrowser1->Navigate(window.Combo1->currentText());
}

void addressBoxKey(Frmmain &window, const QKeyEvent &event)
{
    const bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    if (enter && !window.Combo1->currentText().isEmpty())
        goCommand(window);
}

} // namespace pagewick::window
