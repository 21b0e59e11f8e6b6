#include "window/drops.h"

#include "browser/webbrowser.h"
#include "window/addressbox.h"
#include "window/frmmain.h"
#include "window/programinfo.h"

#include <QComboBox>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace pagewick::window {

namespace {

class WindowDropTarget : public DropTarget
{
public:
    explicit WindowDropTarget(Frmmain &window)
        : m_window(window)
    {
    }

    void setAddressText(const QString &text) override { m_window.Combo1->setEditText(text); }
    void clearPageTitle() override { m_window.PageTitle.clear(); }
    void navigateToAddressText() override
    {
        m_window.WebBrowser1->Navigate(m_window.Combo1->currentText());
    }
    void goCommand() override { window::goCommand(m_window); }

private:
    Frmmain &m_window;
};

// QMimeData::hasText() also answers true for a bare list of addresses; only
// real plain text counts here, so that dropped files are taken as files.
bool offersPlainText(const QMimeData &data)
{
    const QStringList formats = data.formats();
    return std::any_of(formats.begin(), formats.end(), [](const QString &format) {
        return format.startsWith(QLatin1String("text/plain"));
    });
}

QStringList localFiles(const QMimeData &data)
{
    QStringList paths;
    if (!data.hasUrls())
        return paths;
    for (const QUrl &url : data.urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}

// File managers offer dropped files as plain text too (their addresses or
// paths); a list of addresses that are all local files is a file drop. A
// list naming anything else (a link dragged out of a web page) leaves the
// text first.
bool offersOnlyLocalFiles(const QMimeData &data)
{
    if (!data.hasUrls())
        return false;
    const QList<QUrl> urls = data.urls();
    return !urls.isEmpty()
        && std::all_of(urls.begin(), urls.end(), [](const QUrl &url) { return url.isLocalFile(); });
}

} // namespace

std::optional<Qt::DropAction> applyDrop(const QMimeData &data, Qt::KeyboardModifiers modifiers,
                                        DropTarget &target)
{
    std::optional<Qt::DropAction> action;
    if (offersPlainText(data) && !offersOnlyLocalFiles(data)) {
        target.setAddressText(data.text());
        action = modifiers.testFlag(Qt::ControlModifier) ? Qt::CopyAction : Qt::MoveAction;
    } else {
        for (const QString &path : localFiles(data)) {
            target.clearPageTitle();
            target.setAddressText(fileAddress(path));
            target.navigateToAddressText();
        }
    }
    target.goCommand();
    return action;
}

void dropOntoAddressBox(Frmmain &window, QDropEvent &event)
{
    WindowDropTarget target(window);
    const std::optional<Qt::DropAction> action =
        applyDrop(*event.mimeData(), event.modifiers(), target);
    if (action)
        event.setDropAction(*action);
    event.accept();
}

} // namespace pagewick::window
