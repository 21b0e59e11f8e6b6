#pragma once

#include "cli/bookreport.h"
#include "cli/commandargs.h"
#include "cli/headlessform.h"
#include "cli/runfilesystem.h"
#include "cli/stopsignals.h"
#include "workflow/workflowcontroller.h"

#include <QObject>
#include <QSet>
#include <QTimer>
#include <QWidget>

#include <optional>

namespace pagewick::browser {
class WebBrowser;
}

namespace pagewick::cli {

// Exit statuses of the commands.
enum ExitStatus : int {
    AllBooksDone = 0,
    SomeBookFailed = 1,
    BadArguments = 2,
    Interrupted = 130,
};

// "collect" or "update" over the window's browser and workflow, without a
// window: each book is a silent chain from its first page (collect) or its
// ledger's last saved page (update), then its book is made. Books run one
// after the other; finished() comes once, with the exit status.
class CommandRun : public QObject
{
    Q_OBJECT

public:
    explicit CommandRun(CommandArgs args, QObject *parent = nullptr);
    ~CommandRun() override;

    void start();

signals:
    void finished(int exitStatus);

private:
    struct Book
    {
        QString directory; // ends in "/"
        QString name;
        QSet<QString> writtenBefore;
    };

    void startNextBook();
    void skipBook(const QString &summary, bool failed);
    void onChainEnded(const workflow::ChainEnd &end);
    void onQuiet();
    // problem: empty when the chain reached the book's end.
    void finishBook(const QString &problem);
    BookResult tallyBook(const Book &book);
    void stop();
    void keepAwake();

    CommandArgs m_args;
    Output m_output;
    RunFileSystem m_fileSystem;
    LoggedPrompt m_prompt;
    HeadlessForm m_form;
    // The browser's view lives in a window nobody sees.
    QWidget m_host;
    browser::WebBrowser *m_browser = nullptr;
    workflow::WorkflowController m_controller;
    StopSignals m_stopSignals;
    // Runs out when the chain has done nothing for longer than its longest
    // wait: a page that ended without a load or a blank page stops a chain
    // without a word.
    QTimer m_quietWatch;
    qsizetype m_nextDirectory = 0;
    std::optional<Book> m_book;
    bool m_failed = false;
    bool m_stopping = false;
};

} // namespace pagewick::cli
