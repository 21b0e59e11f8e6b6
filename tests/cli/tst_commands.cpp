// The commands collect and update, run as the program itself over a loopback
// site and with no display: a book collected and brought up to date, an
// interrupted run, and the same files as the window's chain writes.
#include "tests/support/enginetestutil.h"
#include "tests/support/windowfixture.h"
#include "tests/window/samplepages.h"

#include "workflow/ledger.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using pagewick::testsupport::WindowFixture;
using pagewick::testsupport::waitUntil;
using pagewick::workflow::LedgerEntry;

namespace {

struct Run
{
    int exitCode = -1;
    QString err;
};

// The program with no display to reach; the event loop runs meanwhile, since
// the server answers from this process. `whileRunning` may act on the process.
Run RunProgram(const QStringList &arguments, const std::function<void(QProcess &)> &whileRunning = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(PAGEWICK_PROGRAM), arguments);
    if (!program.waitForStarted())
        return {};
    if (whileRunning)
        whileRunning(program);
    if (!waitUntil([&] { return program.state() == QProcess::NotRunning; }, 120000))
        program.kill();
    program.waitForFinished();
    Run run;
    run.exitCode = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    run.err = QString::fromUtf8(program.readAllStandardError());
    return run;
}

QStringList Files(const QString &directory)
{
    return QDir(directory).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QByteArray Bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

QList<LedgerEntry> Ledger(const QString &directory)
{
    return pagewick::workflow::ParseLedger(Bytes(directory + QStringLiteral("/pagewick-log.tsv")));
}

QString NextLink(int n)
{
    return QStringLiteral("<a href=\"%1.htm\">下一页</a>").arg(n);
}

const QStringList kTitles{"第一章 雨夜", "第二章 旧铺", "第三章 地图", "第四章 船"};

void ServeChapter(pagewick::testsupport::LoopbackServer &server, const QString &prefix, int n, int last)
{
    server.addPage(prefix + QStringLiteral("%1.htm").arg(n),
                   ProsePage(kTitles.at(n - 1), n < last ? NextLink(n + 1) : QString(),
                             QStringLiteral("第%1章的文字，一句接一句，写得很长。").arg(n)));
}

} // namespace

class TstCommands : public QObject
{
    Q_OBJECT

public:
    static void initMain() { pagewick::testsupport::prepareEngine(); }

private slots:
    void collectThenUpdate()
    {
        pagewick::testsupport::LoopbackServer server;
        QTemporaryDir library;
        const QString dir = library.filePath(QStringLiteral("雨巷旧事"));
        for (int n = 1; n <= 3; ++n)
            ServeChapter(server, QStringLiteral("/y/"), n, 3);

        // Qt WebEngine's own switches come last and pass through.
        Run run = RunProgram({"collect", server.url("/y/1.htm").toString(), "--dir", dir, "--quiet",
                              "--webEngineArgs", "--disable-gpu"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("雨巷旧事：新增 3 章，共 3 章，书已更新")), qPrintable(run.err));
        QVERIFY2(!run.err.contains(QStringLiteral("已保存")), qPrintable(run.err));
        QCOMPARE(Files(dir), (QStringList{"pagewick-log.tsv", "第一章 雨夜.txt", "第三章 地图.txt", "第二章 旧铺.txt",
                                          "雨巷旧事.epub", "雨巷旧事.txt"}));

        // The site adds a chapter; the last one gets its next link.
        ServeChapter(server, QStringLiteral("/y/"), 3, 4);
        ServeChapter(server, QStringLiteral("/y/"), 4, 4);
        run = RunProgram({"update", dir});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("已保存  第四章 船  第四章 船.txt")), qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("雨巷旧事：新增 1 章，共 4 章，书已更新")), qPrintable(run.err));
        QCOMPARE(server.requestCount(QStringLiteral("/y/1.htm")), 1);
        QCOMPARE(Ledger(dir).size(), 5); // the third chapter read again, then the fourth
        const QString book = QString::fromUtf8(Bytes(dir + QStringLiteral("/雨巷旧事.txt")));
        qsizetype at = 0;
        for (const QString &title : kTitles) {
            at = book.indexOf(title, at);
            QVERIFY2(at >= 0, qPrintable(title));
        }
        QVERIFY(book.contains(QStringLiteral("第4章的文字")));

        // Nothing new: the book is left as it is.
        const QByteArray epub = Bytes(dir + QStringLiteral("/雨巷旧事.epub"));
        run = RunProgram({"update", "--quiet", dir});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(run.err.trimmed().split('\n').constLast(), QStringLiteral("雨巷旧事：没有新章节，共 4 章"));
        QCOMPARE(Bytes(dir + QStringLiteral("/雨巷旧事.epub")), epub);
    }

    void interruptedDuringAPage()
    {
        pagewick::testsupport::LoopbackServer server;
        QTemporaryDir library;
        const QString dir = library.filePath(QStringLiteral("书"));
        ServeChapter(server, QStringLiteral("/i/"), 1, 2);
        server.holdPage(QStringLiteral("/i/2.htm"), "<html><head><title>第二章 旧铺</title></head><body><p>");

        const Run run = RunProgram({"collect", server.url("/i/1.htm").toString(), "--dir", dir}, [&](QProcess &p) {
            QVERIFY(waitUntil([&] { return server.requestCount(QStringLiteral("/i/2.htm")) > 0; }, 60000));
            ::kill(pid_t(p.processId()), SIGINT);
        });
        QVERIFY2(run.exitCode == 130, qPrintable(run.err));
        QCOMPARE(Files(dir), (QStringList{"pagewick-log.tsv", "第一章 雨夜.txt"}));
        QCOMPARE(Ledger(dir).size(), 1);

        server.releaseHeld();
        ServeChapter(server, QStringLiteral("/i/"), 2, 2);
        const Run after = RunProgram({"update", dir});
        QVERIFY2(after.exitCode == 0, qPrintable(after.err));
        QVERIFY2(after.err.contains(QStringLiteral("书：新增 1 章，共 2 章，书已更新")), qPrintable(after.err));
        QCOMPARE(Files(dir),
                 (QStringList{"pagewick-log.tsv", "书.epub", "书.txt", "第一章 雨夜.txt", "第二章 旧铺.txt"}));
    }

    void sameFilesAsTheWindowsChain()
    {
        WindowFixture f;
        QVERIFY(f.ready());
        ServeSampleBook(f.server);
        f.setSilentMode(true);
        f.startAt(QStringLiteral("/book/ch01.htm"));
        QVERIFY(f.waitForNotices());

        QTemporaryDir dir;
        const Run run = RunProgram({"collect", f.server.url("/book/ch01.htm").toString(), "--dir", dir.path(),
                                    "--no-book"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QStringList files = Files(dir.path());
        QCOMPARE(files.size(), SampleChapters().size() + 1);
        files.removeOne(QStringLiteral("pagewick-log.tsv"));
        QCOMPARE(files, f.savedFiles());
        for (const QString &file : std::as_const(files))
            QCOMPARE(Bytes(dir.filePath(file)), f.savedBytes(file).value_or("<none>"));
        const QList<LedgerEntry> window = f.ledger();
        const QList<LedgerEntry> command = Ledger(dir.path());
        QCOMPARE(command.size(), window.size());
        for (qsizetype i = 0; i < window.size(); ++i) {
            QCOMPARE(command.at(i).address, window.at(i).address);
            QCOMPARE(command.at(i).file, window.at(i).file);
            QCOMPARE(command.at(i).chars, window.at(i).chars);
            QCOMPARE(command.at(i).status, window.at(i).status);
        }
    }
};

PAGEWICK_ENGINE_TEST_MAIN(TstCommands)
#include "tst_commands.moc"
