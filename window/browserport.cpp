#include "window/browserport.h"

#include "browser/webbrowser.h"

namespace pagewick::window {

WebBrowserPort::WebBrowserPort(browser::WebBrowser *browser)
    : m_browser(browser)
{
}

void WebBrowserPort::navigate(const QString &url)
{
    if (m_browser)
        m_browser->Navigate(url);
}

QString WebBrowserPort::loadingUrl()
{
    return m_browser ? m_browser->loadingURL() : QString();
}

QString WebBrowserPort::locationName()
{
    return m_browser ? m_browser->LocationName() : QString();
}

void WebBrowserPort::finishLoadNow()
{
    if (m_browser)
        m_browser->finishLoadNow();
}

void WebBrowserPort::failLoadNow()
{
    if (m_browser)
        m_browser->failLoadNow();
}

QString WebBrowserPort::locationUrl()
{
    return m_browser ? m_browser->LocationURL() : QString();
}

workflow::FrameId WebBrowserPort::topFrame()
{
    return m_browser ? m_browser->Object() : 0;
}

bool WebBrowserPort::silent()
{
    return m_browser && m_browser->Silent();
}

void WebBrowserPort::setSilent(bool silent)
{
    if (m_browser)
        m_browser->setSilent(silent);
}

void WebBrowserPort::setPageDialogsSilenced(bool silenced)
{
    if (m_browser)
        m_browser->setPageDialogsSilenced(silenced);
}

namespace {

std::optional<workflow::LoadedPage> ToLoadedPage(std::optional<browser::DocumentSnapshot> snapshot)
{
    if (!snapshot)
        return std::nullopt;
    workflow::LoadedPage page;
    page.url = snapshot->url;
    page.document.title = snapshot->title;
    if (snapshot->hasBody)
        page.document.bodyText = snapshot->bodyText;
    page.document.all.reserve(snapshot->all.size());
    page.hrefs.reserve(snapshot->all.size());
    for (browser::Element &e : snapshot->all) {
        page.document.all.append(
            {std::move(e.tagName), std::move(e.innerText), std::move(e.innerHTML), e.measures});
        page.hrefs.append(std::move(e.href));
    }
    return page;
}

} // namespace

std::optional<workflow::LoadedPage> WebBrowserPort::readElements(const workflow::ReadParts &parts)
{
    if (!m_browser)
        return std::nullopt;
    browser::DocumentParts wanted = browser::DocumentParts::elements(parts.tagNames, parts.bodyText);
    wanted.textOnlyTags = parts.textOnlyTags;
    wanted.textOnlyBelow = parts.textOnlyBelow;
    wanted.measuredTags = parts.measuredTags;
    wanted.carryBounds = parts.carryBounds;
    return ToLoadedPage(m_browser->readDocument(wanted));
}

std::optional<QString> WebBrowserPort::readBodyText()
{
    return m_browser ? m_browser->readBodyText() : std::nullopt;
}

std::optional<QString> WebBrowserPort::readActiveElementHref()
{
    return m_browser ? m_browser->readActiveElementHref() : std::nullopt;
}

std::optional<QString> WebBrowserPort::readRetryAfter()
{
    return m_browser ? m_browser->readRetryAfter() : std::nullopt;
}

std::optional<int> WebBrowserPort::readRelNextLink()
{
    return m_browser ? m_browser->readRelNextLink() : std::nullopt;
}

bool WebBrowserPort::focusElement(int index)
{
    return m_browser
        && m_browser->execScript(m_browser->Object(), QStringLiteral("document.all[%1].focus();").arg(index));
}

workflow::ClickResult WebBrowserPort::clickLink(const workflow::LinkToClick &link)
{
    if (!m_browser)
        return workflow::ClickResult::Failed;
    browser::LinkCheck check;
    check.tagName = link.tagName;
    check.href = link.href;
    check.innerText = link.innerText;
    check.onlyIfWrittenAsFragment = link.onlyIfWrittenAsFragment;
    switch (m_browser->clickLink(link.index, check)) {
    case browser::ClickOutcome::Clicked:
        return workflow::ClickResult::Clicked;
    case browser::ClickOutcome::Changed:
        return workflow::ClickResult::Changed;
    case browser::ClickOutcome::WrittenAsPage:
        return workflow::ClickResult::WrittenAsPage;
    case browser::ClickOutcome::Failed:
        break;
    }
    return workflow::ClickResult::Failed;
}

bool WebBrowserPort::execScript(workflow::FrameId frame, const QString &code)
{
    return m_browser && m_browser->execScript(frame, code);
}

void WebBrowserPort::setDocumentStartScripts(const QStringList &scripts)
{
    if (m_browser)
        m_browser->setDocumentStartScripts(scripts);
}

bool WebBrowserPort::waitUntilLoaded()
{
    return m_browser && m_browser->waitUntilLoaded();
}

void WebBrowserPort::interruptWaits()
{
    if (m_browser)
        m_browser->interruptWaits();
}

bool WebBrowserPort::isShutDown()
{
    return !m_browser || m_browser->isShutDown();
}

} // namespace pagewick::window
