#pragma once

#include "workflow/browserport.h"

#include <QPointer>

namespace pagewick::browser {
class WebBrowser;
}

namespace pagewick::window {

// The workflow's view of WebBrowser1. Once the browser is gone every read
// fails and every wait ends, as after shutdown().
class WebBrowserPort : public workflow::BrowserPort
{
public:
    explicit WebBrowserPort(browser::WebBrowser *browser);

    void navigate(const QString &url) override;
    QString locationUrl() override;
    QString loadingUrl() override;
    QString locationName() override;
    void finishLoadNow() override;
    void failLoadNow() override;
    workflow::FrameId topFrame() override;
    bool silent() override;
    void setSilent(bool silent) override;
    void setPageDialogsSilenced(bool silenced) override;

    std::optional<workflow::LoadedPage> readElements(const workflow::ReadParts &parts) override;
    std::optional<QString> readBodyText() override;
    std::optional<QString> readActiveElementHref() override;
    std::optional<int> readRelNextLink() override;
    std::optional<QString> readRetryAfter() override;
    bool focusElement(int index) override;
    workflow::ClickResult clickLink(const workflow::LinkToClick &link) override;
    bool execScript(workflow::FrameId frame, const QString &code) override;
    void setDocumentStartScripts(const QStringList &scripts) override;

    bool waitUntilLoaded() override;
    void interruptWaits() override;
    bool isShutDown() override;

private:
    QPointer<browser::WebBrowser> m_browser;
};

} // namespace pagewick::window
