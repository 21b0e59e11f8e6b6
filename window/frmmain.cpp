#include "window/frmmain.h"

#include "browser/webbrowser.h"
#include "window/addressbox.h"
#include "window/bookcommand.h"
#include "window/clicklabel.h"
#include "window/drops.h"
#include "window/layout.h"
#include "window/optionspanel.h"
#include "window/programinfo.h"
#include "window/shellwindows.h"
#include "window/splitterbar.h"
#include "window/splitterdrag.h"
#include "window/startup.h"
#include "window/twips.h"
#include "workflow/clock.h"
#include "workflow/filesystem.h"
#include "workflow/messageprompt.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace pagewick::window {

namespace {

constexpr int kInitialClientWidth = 12945;
constexpr int kInitialClientHeight = 8340;

} // namespace

Frmmain::Frmmain(FrmmainSeams seams, QWidget *parent)
    : QWidget(parent)
    , m_seams(std::move(seams))
{
    if (m_seams.programDirectory.isEmpty())
        m_seams.programDirectory = executableDirectory();
    if (!m_seams.fileSystem)
        m_seams.fileSystem = &workflow::realFileSystem();
    if (!m_seams.clock)
        m_seams.clock = &workflow::systemClock();
    if (!m_seams.shellWindows)
        m_seams.shellWindows = &desktopShellWindows();
    if (!m_seams.prompt) {
        m_ownPrompt = std::make_unique<workflow::MessageBoxPrompt>(this);
        m_seams.prompt = m_ownPrompt.get();
    }

    setWindowTitle(programTitle());
    setWindowIcon(programIcon());
    resize(toPixels(kInitialClientWidth), toPixels(kInitialClientHeight));
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect centred(QPoint(), size());
        centred.moveCenter(screen->availableGeometry().center());
        move(centred.topLeft());
    }

    createControls();
    setTabOrder();
    connectControls();
    connectWorkflow();
    runStartup(*this, *m_seams.shellWindows);
}

Frmmain::~Frmmain()
{
    // Closing the window moves the focus one last time; nothing may act on
    // that once the window is going.
    disconnect(qApp, nullptr, this, nullptr);
    Combo1->blockSignals(true);
    delete WebBrowser1;
    WebBrowser1 = nullptr;
}

workflow::MessagePrompt &Frmmain::prompt()
{
    return *m_seams.prompt;
}

workflow::FileSystem &Frmmain::fileSystem()
{
    return *m_seams.fileSystem;
}

workflow::Clock &Frmmain::clock()
{
    return *m_seams.clock;
}

QString Frmmain::programDirectory() const
{
    return m_seams.programDirectory;
}

void Frmmain::connectControls()
{
    connect(Cmd_goto, &QPushButton::clicked, this, [this] { goCommand(*this); });
    // The box on its own also reports "activated" when editing ends on a text
    // that equals an entry: typing an address of the list, or the browser
    // writing its address into the box, and then leaving the box would load
    // the page again. Only a choice made in the list counts.
    disconnect(Combo1->lineEdit(), &QLineEdit::editingFinished, Combo1, nullptr);
    connect(Combo1, &QComboBox::activated, this, [this] { chooseListEntry(*this); });
    connect(Cmd_setup, &QPushButton::clicked, this, [this] { toggleOptionsPanel(*this); });
    connect(Lab_close, &ClickLabel::clicked, this, [this] { closeOptionsPanel(*this); });
    connect(Cmd_hebing, &QPushButton::clicked, this, [this] { mergeBook(*this); });
    connect(imgSizeH, &SplitterBar::pressed, this, [this](int y) { grabSplitter(*this, y); });
    connect(imgSizeH, &SplitterBar::moved, this,
            [this](int y, Qt::MouseButtons buttons) { dragSplitter(*this, y, buttons); });
    connect(qApp, &QApplication::focusChanged, this, &Frmmain::focusMoved);

    for (QObject *watched : {static_cast<QObject *>(Combo1), static_cast<QObject *>(Combo1->lineEdit())}) {
        watched->installEventFilter(this);
        static_cast<QWidget *>(watched)->setAcceptDrops(true);
    }
    Txt_dir->installEventFilter(this);
    WebBrowser1->widget()->installEventFilter(this);
    Txt_dir->setMouseTracking(true);
}

// Only a move of the focus to another control of this window counts as
// leaving a control: a message box taking the focus, or the window losing
// activation, must not start the checks again, or a refused directory would
// bring its message back for ever.
void Frmmain::focusMoved(QWidget *from, QWidget *to)
{
    if (!from || !to || to->window() != this || from == to)
        return;
    if (std::find(Check1.begin(), Check1.end(), from) != Check1.end())
        applyKeywordRule(*this);
    if (from == Txt_dir)
        checkSaveDirectory(*this);
}

bool Frmmain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Txt_dir) {
        const QEvent::Type type = event->type();
        if (type == QEvent::Enter || type == QEvent::MouseMove || type == QEvent::ToolTip)
            showSaveDirectoryTip(*this);
        return false;
    }
    if (watched == Combo1 || watched == Combo1->lineEdit())
        return addressBoxEvent(watched, event);
    if (watched == WebBrowser1->widget() && event->type() == QEvent::ChildAdded)
        QMetaObject::invokeMethod(this, &Frmmain::setTabOrder, Qt::QueuedConnection);
    return QWidget::eventFilter(watched, event);
}

bool Frmmain::addressBoxEvent(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        // A key the line edit leaves unhandled travels on to the box itself;
        // it is one key press, seen where it was sent.
        if (watched == QApplication::focusWidget())
            addressBoxKey(*this, *static_cast<QKeyEvent *>(event));
        return false;
    case QEvent::Wheel:
        // A wheel turn over the box changes the choice, and so loads an
        // entry, only while the box has the focus.
        return !Combo1->hasFocus();
    case QEvent::DragEnter:
    case QEvent::DragMove:
        static_cast<QDragMoveEvent *>(event)->acceptProposedAction();
        return true;
    case QEvent::Drop:
        dropOntoAddressBox(*this, *static_cast<QDropEvent *>(event));
        return true;
    default:
        return false;
    }
}

void Frmmain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_laidOut) {
        m_laidOut = true;
        runLayoutPass(*this);
    }
}

void Frmmain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_laidOut = true;
    runLayoutPass(*this);
}

void Frmmain::closeEvent(QCloseEvent *event)
{
    // Waiting extraction steps end at once instead of reading a page that is going away.
    WebBrowser1->shutdown();
    QWidget::closeEvent(event);
}

} // namespace pagewick::window
