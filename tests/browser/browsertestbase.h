#pragma once

#include "browser/webbrowser.h"
#include "tests/support/loopbackserver.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QLineEdit;
class QWidget;

namespace pagewick::browsertests {

// How long the busy pages keep their render process from answering.
constexpr int kBusyMs = 4000;

// A page whose script, delayBeforeMs after loading, holds its render
// process for kBusyMs: reads sent meanwhile wait for it.
QByteArray busyPage(int delayBeforeMs = 300);

// Position of the first element of that tag whose markup holds htmlPart; -1 when none.
int indexWith(const workflow::LoadedPage &page, const QString &tag, const QString &htmlPart);
// Every LF is part of a CR LF pair.
bool breaksAreCrLf(const QString &text);

// A window holding a WebBrowser above a line edit, and a loopback server with
// the pages the browser tests share: the chapter page in four encodings
// ("/utf8-header.html", "/utf8-meta.html", "/gbk-meta.html",
// "/gbk-header.html"), "/ch2.html" (title "第二章"), "/target.html",
// "/busy.html", "/held.html" (never finishes).
class BrowserTestBase : public QObject
{
public:
    BrowserTestBase();
    ~BrowserTestBase() override;

protected:
    void openBrowser();
    void closeBrowser();
    bool load(const QString &path);

    testsupport::LoopbackServer m_server;
    std::unique_ptr<QWidget> m_window;
    QLineEdit *m_edit = nullptr;
    QPointer<browser::WebBrowser> m_browser;
};

} // namespace pagewick::browsertests
