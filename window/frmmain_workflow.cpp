#include "window/frmmain.h"

#include "browser/webbrowser.h"
#include "window/addressbox.h"
#include "window/browserwiring.h"
#include "window/programinfo.h"
#include "window/richtextbox.h"
#include "workflow/formport.h"
#include "workflow/workflowcontroller.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace pagewick::window {

namespace {

class FrmmainFormPort : public workflow::FormPort
{
public:
    explicit FrmmainFormPort(Frmmain &window)
        : m_window(window)
    {
    }

    bool optionChecked(int index) override
    {
        // Only the value 1 counts: a partly checked box is off.
        return m_window.Check1.at(size_t(index))->checkState() == Qt::Checked;
    }
    QString saveDirectory() override { return m_window.Txt_dir->text(); }
    QString saveDirectoryMadeOnDemand() override { return m_window.saveDirectoryMadeOnDemand(); }
    QString nextLinkName() override { return m_window.Txt_Next->text(); }
    QString keyword(int index) override { return m_window.Txt_gjz.at(size_t(index))->text(); }
    int pageIntervalSeconds() override { return m_window.Spn_jiange->value(); }
    QString resultText() override { return m_window.Text1->text(); }
    void setResultText(const QString &text) override { m_window.Text1->setText(text); }
    void setCaption(const QString &caption) override { m_window.setWindowTitle(caption); }
    QString programTitle() override { return window::programTitle(); }
    void setStatusText(const QString &text) override { m_window.Lab_bt->setText(text); }
    void setAddressText(const QString &text) override { m_window.Combo1->setEditText(text); }
    void focusAddressBox() override { m_window.Combo1->setFocus(); }
    void focusNextLinkName() override
    {
        // A hidden options panel leaves the focus where it is.
        if (m_window.Txt_Next->isVisible() && m_window.Txt_Next->isEnabled())
            m_window.Txt_Next->setFocus();
    }
    QString pageTitle() override { return m_window.PageTitle; }
    void setPageTitle(const QString &title) override { m_window.PageTitle = title; }
    extract::CandidateState &candidates() override { return m_window.Candidates; }
    workflow::MessagePrompt &prompt() override { return m_window.prompt(); }
    workflow::FileSystem &fileSystem() override { return m_window.fileSystem(); }
    workflow::Clock &clock() override { return m_window.clock(); }

private:
    Frmmain &m_window;
};

// The ports and the controller, owned by the window and destroyed with it
// (ports last, since the controller uses them).
class WorkflowWiring : public QObject
{
public:
    explicit WorkflowWiring(Frmmain &window)
        : QObject(&window)
        , m_form(window)
        , m_controller(*window.WebBrowser1, m_form, nullptr, nullptr,
                       window.seams().chainTiming ? *window.seams().chainTiming : workflow::ChainTiming())
    {
    }

    workflow::WorkflowController &controller() { return m_controller; }

protected:
    // Sees the address box's keys and drops before the box does. A user's
    // navigation from the box starts a new chain of next-page links.
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Drop)
            m_controller.beginChain();
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter)
                m_controller.beginChain();
        }
        return false;
    }

private:
    FrmmainFormPort m_form;
    workflow::WorkflowController m_controller;
};

} // namespace

// The extraction workflow's handlers: the Extract, Save and Next-page buttons
// and the browser's events are connected here.
void Frmmain::connectWorkflow()
{
    auto *wiring = new WorkflowWiring(*this);
    workflow::WorkflowController *c = &wiring->controller();
    using workflow::WorkflowController;

    // The user's own Extract and unticking silent mode drop a retry the chain waits for.
    connect(Cmd_tiqu, &QPushButton::clicked, c, &WorkflowController::cancelRetry);
    connect(Cmd_tiqu, &QPushButton::clicked, c, &WorkflowController::extract);
    connect(Cmd_save, &QPushButton::clicked, c, &WorkflowController::save);
    connect(Cmd_next, &QPushButton::clicked, c, &WorkflowController::nextPage);
    connect(Check1[workflow::SilentMode], &QCheckBox::toggled, c, &WorkflowController::onSilentModeChanged);

    connectBrowserEvents(WebBrowser1, c);

    // The user's own navigations: Go, a list entry, Enter in the box, a drop.
    connect(Cmd_goto, &QPushButton::clicked, c, &WorkflowController::beginChain);
    connect(Combo1, &QComboBox::activated, c, &WorkflowController::beginChain);
    // "接着上次" opens the ledger's last saved page as Go opens an address.
    connect(Cmd_jiezhe, &QPushButton::clicked, c, [this, c] {
        if (const std::optional<QString> address = c->continueAddress()) {
            Combo1->setEditText(*address);
            c->beginChain();
            goCommand(*this);
        }
    });
    Combo1->installEventFilter(wiring);
    Combo1->lineEdit()->installEventFilter(wiring);
}

} // namespace pagewick::window
