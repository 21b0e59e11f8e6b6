#pragma once

namespace pagewick::browser {
class WebBrowser;
}

namespace pagewick::workflow {
class WorkflowController;
}

namespace pagewick::window {

// Hands every browser event the workflow handles to the controller: the
// window and the runs without one wire them alike.
void connectBrowserEvents(browser::WebBrowser *browser, workflow::WorkflowController *controller);

} // namespace pagewick::window
