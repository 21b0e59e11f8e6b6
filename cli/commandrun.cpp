#include "cli/commandrun.h"

#include "book/booksource.h"
#include "book/booktidy.h"
#include "book/mergebook.h"
#include "browser/webbrowser.h"
#include "window/browserwiring.h"
#include "workflow/chaintiming.h"
#include "workflow/loadfailure.h"
#include "workflow/nextlink.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace pagewick::cli {

namespace {

// The browser's view gets the window's size: pages lay out as they do there.
const QSize kViewSize(1280, 800);

// The longest the chain stays without news: its last retry's pause, two
// loads that never answer and the page interval at its longest.
int QuietLimitMs(int intervalSeconds)
{
    const workflow::ChainTiming timing;
    const int longestRetryMs = *std::max_element(timing.retryDelaysMs.cbegin(), timing.retryDelaysMs.cend());
    return longestRetryMs + 2 * 60000 + 30000 + intervalSeconds * 1500;
}

QString WithSeparator(const QString &directory)
{
    return QDir::cleanPath(QDir(directory).absolutePath()) + QLatin1Char('/');
}

} // namespace

CommandRun::CommandRun(CommandArgs args, QObject *parent)
    : QObject(parent)
    , m_args(std::move(args))
    , m_output(m_args.quiet)
    , m_fileSystem(workflow::realFileSystem(),
                   [this](const workflow::LedgerEntry &entry) { m_output.progress(ProgressLine(entry)); })
    , m_prompt([this](const QString &text) {
        // The end of a book is the summary's to tell.
        if (text != workflow::NoNextLinkNotice().simplified())
            m_output.progress(QStringLiteral("提示：") + text);
    })
    , m_form(m_prompt, m_fileSystem)
    , m_browser(new browser::WebBrowser(&m_host))
    , m_controller(*m_browser, m_form)
{
    m_form.setNextLinkName(m_args.linkNames);
    m_form.setPageInterval(m_args.intervalSeconds);
    m_form.onStatusText([this](const QString &) { keepAwake(); });

    m_host.resize(kViewSize);
    m_browser->Move(0, 0, kViewSize.width(), kViewSize.height());
    window::connectBrowserEvents(m_browser, &m_controller);
    connect(m_browser, &browser::WebBrowser::DownloadBegin, this, &CommandRun::keepAwake);
    connect(m_browser, &browser::WebBrowser::NavigateComplete2, this, &CommandRun::keepAwake);
    connect(m_browser, &browser::WebBrowser::DocumentComplete, this, &CommandRun::keepAwake);
    connect(&m_controller, &workflow::WorkflowController::chainEnded, this, &CommandRun::onChainEnded);
    connect(&m_stopSignals, &StopSignals::stopRequested, this, &CommandRun::stop);
    m_quietWatch.setSingleShot(true);
    connect(&m_quietWatch, &QTimer::timeout, this, &CommandRun::onQuiet);
}

CommandRun::~CommandRun()
{
    m_browser->shutdown();
}

void CommandRun::start()
{
    // Shown on the offscreen platform: a page that is not shown may be
    // held back by the engine (timers, frames).
    m_host.show();
    QMetaObject::invokeMethod(this, &CommandRun::startNextBook, Qt::QueuedConnection);
}

void CommandRun::startNextBook()
{
    if (m_stopping)
        return;
    if (m_nextDirectory >= m_args.directories.size()) {
        // The engine may still be answered by a wait (a script sent as the
        // last page moved): it ends now, so that no loop outlives the run.
        m_browser->shutdown();
        emit finished(m_failed ? SomeBookFailed : AllBooksDone);
        return;
    }
    const QString given = m_args.directories.at(m_nextDirectory++);
    Book book;
    book.directory = WithSeparator(given);
    book.name = book::BookFileName(book::DefaultBookName(book.directory));
    QString address = m_args.address;
    const bool collecting = m_args.command == CommandArgs::Command::Collect;
    if (collecting && !QDir().mkpath(book.directory)) {
        skipBook(given + QStringLiteral("：无法建立这个目录"), true);
        return;
    }
    if (!QFileInfo(book.directory).isDir()) {
        skipBook(given + QStringLiteral("：没有这个目录"), true);
        return;
    }
    const QList<workflow::LedgerEntry> ledger = workflow::ParseLedger(
        m_fileSystem.readFile(book.directory + workflow::LedgerFileName()).value_or(QByteArray()));
    if (!collecting) {
        const std::optional<QString> last = workflow::LastSavedAddress(ledger);
        if (!last) {
            skipBook(book.name + QStringLiteral("：目录里没有提取记录 %1，跳过").arg(workflow::LedgerFileName()),
                     false);
            return;
        }
        address = *last;
    }
    book.writtenBefore = WrittenAddresses(ledger);
    m_book = book;
    m_form.setSaveDirectory(book.directory);
    keepAwake();
    m_controller.beginChainAt(address);
}

void CommandRun::skipBook(const QString &summary, bool failed)
{
    m_output.summary(summary);
    m_failed = m_failed || failed;
    QMetaObject::invokeMethod(this, &CommandRun::startNextBook, Qt::QueuedConnection);
}

void CommandRun::keepAwake()
{
    if (m_book && !m_stopping)
        m_quietWatch.start(QuietLimitMs(m_args.intervalSeconds));
}

void CommandRun::onChainEnded(const workflow::ChainEnd &end)
{
    if (!m_book || m_stopping)
        return;
    QString problem;
    switch (end.reason) {
    case workflow::ChainEnd::Reason::NoNextLink:
        break;
    case workflow::ChainEnd::Reason::GaveUp:
        problem = QStringLiteral("重试后仍然失败，停在这一页（%1）：%2")
                      .arg(workflow::FailureDescription(end.status), end.url);
        break;
    case workflow::ChainEnd::Reason::SaveFailed:
        problem = QStringLiteral("文件无法保存，停在这一页：") + end.url;
        break;
    case workflow::ChainEnd::Reason::Verification:
        problem = QStringLiteral("停在验证网页，请在窗口中打开这个网址完成验证，再运行 update：") + end.url;
        break;
    }
    // The controller is still inside the step that ended the chain.
    QMetaObject::invokeMethod(this, [this, problem] { finishBook(problem); }, Qt::QueuedConnection);
}

void CommandRun::onQuiet()
{
    if (m_book && !m_stopping)
        finishBook(QStringLiteral("网页长时间没有动静，停在：") + m_browser->locationUrl());
}

BookResult CommandRun::tallyBook(const Book &book)
{
    BookResult result;
    result.name = book.name;
    const QList<workflow::LedgerEntry> ledger = workflow::ParseLedger(
        m_fileSystem.readFile(book.directory + workflow::LedgerFileName()).value_or(QByteArray()));
    result.added = int((WrittenAddresses(ledger) - book.writtenBefore).size());
    return result;
}

void CommandRun::finishBook(const QString &problem)
{
    if (!m_book || m_stopping)
        return;
    const Book book = *std::exchange(m_book, std::nullopt);
    m_quietWatch.stop();
    BookResult result = tallyBook(book);
    result.problem = problem;
    const book::BookSource source = book::ReadBookSource(m_fileSystem, book.directory);
    result.chapters = source.chapters.size();
    const bool wanted = m_args.makeBook && (m_args.command == CommandArgs::Command::Collect || result.added > 0);
    if (wanted && source.state == book::BookSource::State::Ready) {
        if (source.ledgerFiles.contains(book.name + QStringLiteral(".txt"))) {
            result.problem = QStringLiteral("书名与章节文件同名，没有合并成书");
        } else {
            const book::MergeOutcome outcome =
                book::WriteBook(m_fileSystem, book.directory, book.name, book::Tidy(source.pages, book.name, false),
                                QDateTime::currentDateTimeUtc());
            result.bookWritten = outcome.textWritten && outcome.epubWritten;
            if (!result.bookWritten)
                result.problem = book::MergeStatus(outcome);
        }
    }
    m_failed = m_failed || !result.problem.isEmpty();
    m_output.summary(SummaryLine(result));
    QMetaObject::invokeMethod(this, &CommandRun::startNextBook, Qt::QueuedConnection);
}

void CommandRun::stop()
{
    if (m_stopping)
        return;
    m_stopping = true;
    m_fileSystem.stopWriting();
    m_quietWatch.stop();
    // Every wait and read under way fails now: the page in hand is left
    // without a file, and no later step writes anything.
    m_browser->shutdown();
    if (m_book) {
        BookResult result = tallyBook(*m_book);
        result.chapters = book::ReadBookSource(m_fileSystem, m_book->directory).chapters.size();
        result.problem = QStringLiteral("被中断，下次 update 从最后保存的一页接着提取");
        m_output.summary(SummaryLine(result));
    }
    emit finished(Interrupted);
}

} // namespace pagewick::cli
