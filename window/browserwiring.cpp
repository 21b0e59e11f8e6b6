#include "window/browserwiring.h"

#include "browser/webbrowser.h"
#include "workflow/workflowcontroller.h"

namespace pagewick::window {

void connectBrowserEvents(browser::WebBrowser *browser, workflow::WorkflowController *controller)
{
    using browser::WebBrowser;
    using workflow::WorkflowController;
    QObject::connect(browser, &WebBrowser::LoadEnded, controller, &WorkflowController::onLoadEnded);
    QObject::connect(browser, &WebBrowser::LoadStalled, controller, &WorkflowController::onLoadStalled);
    QObject::connect(browser, &WebBrowser::LoadUnanswered, controller, &WorkflowController::onLoadUnanswered);
    QObject::connect(browser, &WebBrowser::NewWindow2, controller, &WorkflowController::onNewWindow2);
    QObject::connect(browser, &WebBrowser::WindowClosing, controller, &WorkflowController::onWindowClosing);
    QObject::connect(browser, &WebBrowser::DownloadBegin, controller, &WorkflowController::onDownloadBegin);
    QObject::connect(browser, &WebBrowser::DownloadComplete, controller, &WorkflowController::onDownloadComplete);
    QObject::connect(browser, &WebBrowser::StatusTextChange, controller,
                     &WorkflowController::onStatusTextChange);
    QObject::connect(browser, &WebBrowser::LostFocus, controller, &WorkflowController::onLostFocus);
}

} // namespace pagewick::window
