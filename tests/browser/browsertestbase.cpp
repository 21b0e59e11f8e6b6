#include "tests/browser/browsertestbase.h"

#include "tests/browser/testpages.h"
#include "tests/support/enginetestutil.h"

#include <QLineEdit>
#include <QWidget>

namespace pagewick::browsertests {

QByteArray busyPage(int delayBeforeMs)
{
    return QStringLiteral("<html><head><title>busy</title></head><body><p>busy page</p><script>"
                          "setTimeout(function () { var t = Date.now();"
                          " while (Date.now() - t < %1) {} }, %2);"
                          "</script></body></html>")
        .arg(kBusyMs)
        .arg(delayBeforeMs)
        .toUtf8();
}

int indexWith(const workflow::LoadedPage &page, const QString &tag, const QString &htmlPart)
{
    for (int i = 0; i < page.document.all.size(); ++i) {
        const extract::PageElement &e = page.document.all.at(i);
        if (e.tagName == tag && e.innerHTML.contains(htmlPart))
            return i;
    }
    return -1;
}

bool breaksAreCrLf(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('\n') && (i == 0 || text.at(i - 1) != QLatin1Char('\r')))
            return false;
    }
    return true;
}

BrowserTestBase::BrowserTestBase()
{
    const QString utf8Meta = QStringLiteral("<meta charset=\"utf-8\">");
    const QString gbkMeta =
        QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">");
    m_server.addPage("/utf8-header.html", testpages::chapterPage({}).toUtf8());
    m_server.addPage("/utf8-meta.html", testpages::chapterPage(utf8Meta).toUtf8(), "text/html");
    m_server.addPage("/gbk-meta.html", testsupport::encodeGbk(testpages::chapterPage(gbkMeta)),
                     "text/html");
    m_server.addPage("/gbk-header.html", testsupport::encodeGbk(testpages::chapterPage({})),
                     "text/html; charset=GBK");
    m_server.addPage("/ch2.html",
                     "<html><head><title>第二章</title></head><body><p>第二章正文</p></body></html>");
    m_server.addPage("/target.html",
                     "<html><head><title>target</title></head><body><p>target</p></body></html>");
    m_server.addPage("/busy.html", busyPage());
    m_server.holdPage("/held.html", "<html><head><title>held</title></head><body><p>partial");
}

BrowserTestBase::~BrowserTestBase() = default;

void BrowserTestBase::openBrowser()
{
    m_window = std::make_unique<QWidget>();
    m_window->resize(800, 600);
    m_browser = new browser::WebBrowser(m_window.get());
    m_browser->Move(0, 0, 800, 560);
    m_edit = new QLineEdit(m_window.get());
    m_edit->setGeometry(0, 570, 800, 24);
    m_window->show();
}

void BrowserTestBase::closeBrowser()
{
    m_window.reset();
    m_edit = nullptr;
    m_server.releaseHeld();
}

bool BrowserTestBase::load(const QString &path)
{
    return testsupport::navigateAndWait(*m_browser, m_server.url(path));
}

} // namespace pagewick::browsertests
