// The whole collecting chain over a generated book served from 127.0.0.1:
// first the bare engine loads every chapter page one after another by its
// address, then it follows the book by clicking each page's next link from a
// script as soon as the page has loaded (the kind of navigation the chain
// makes), then Pagewick collects the same book in silent mode in its real
// window. Prints the three page rates, CPU time per page, memory, and
// whether every saved file is byte-identical to the expected one.
//
//     bench_chain [pages]      (default 300)
//     bench_chain --breakdown  (the steps of one page, timed one at a time)
#include "bench/chainbreakdown.h"
#include "bench/generatedbook.h"
#include "bench/processstats.h"
#include "browser/webbrowser.h"
#include "tests/support/enginetestutil.h"
#include "tests/support/loopbackserver.h"
#include "tests/support/scriptedprompt.h"
#include "window/frmmain.h"
#include "workflow/filesystem.h"
#include "workflow/ledger.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace pagewick;

namespace {

constexpr int kDefaultPages = 300;
constexpr int kEarlyMark = 50;
// A chain that makes no progress for this long is stuck.
constexpr int kStallMs = 60000;

struct PhaseFigures
{
    double seconds = 0;
    int pages = 0;
    bench::CpuTimes cpu;
    bool finished = false;
};

bench::CpuTimes operator-(const bench::CpuTimes &a, const bench::CpuTimes &b)
{
    return {a.selfSeconds - b.selfSeconds, a.childrenSeconds - b.childrenSeconds};
}

// The real file system, with the memory taken when the early-mark and the
// last file have been written.
class MeasuringFileSystem : public workflow::FileSystem
{
public:
    explicit MeasuringFileSystem(int lastPage) : m_lastPage(lastPage) {}

    bool exists(const QString &path) override { return real().exists(path); }
    bool isNormalFile(const QString &path) override { return real().isNormalFile(path); }
    bool createDirectory(const QString &path) override { return real().createDirectory(path); }
    std::optional<QByteArray> readFile(const QString &path) override { return real().readFile(path); }
    bool writeFileReplacing(const QString &path, const QByteArray &bytes) override
    {
        const bool written = real().writeFileReplacing(path, bytes);
        if (written)
            ++m_writes;
        if (m_writes == qMin(kEarlyMark, m_lastPage) && m_rssEarly == 0) {
            m_rssEarly = bench::ResidentMb();
            m_childrenEarly = bench::DescendantsResidentMb();
        }
        if (m_writes == m_lastPage && m_rssLast == 0) {
            m_rssLast = bench::ResidentMb();
            m_childrenLast = bench::DescendantsResidentMb();
        }
        m_writeTimes.push_back(m_clock.nsecsElapsed());
        return written;
    }

    bool appendFile(const QString &path, const QByteArray &bytes) override
    {
        QElapsedTimer clock;
        clock.start();
        const bool ok = real().appendFile(path, bytes);
        m_appendNs += clock.nsecsElapsed();
        ++m_appends;
        return ok;
    }

    int writes() const { return m_writes; }
    int appends() const { return m_appends; }
    // Mean milliseconds of one ledger line's append.
    double appendMs() const { return m_appends ? double(m_appendNs) / 1e6 / m_appends : 0; }
    double rssEarly() const { return m_rssEarly; }
    double rssLast() const { return m_rssLast; }
    double childrenEarly() const { return m_childrenEarly; }
    double childrenLast() const { return m_childrenLast; }
    const std::vector<qint64> &writeTimes() const { return m_writeTimes; }
    void startClock(const QElapsedTimer &clock) { m_clock = clock; }

private:
    static workflow::FileSystem &real() { return workflow::realFileSystem(); }

    int m_lastPage = 0;
    int m_writes = 0;
    double m_rssEarly = 0;
    double m_rssLast = 0;
    double m_childrenEarly = 0;
    double m_childrenLast = 0;
    QElapsedTimer m_clock;
    std::vector<qint64> m_writeTimes; // ns on m_clock
    int m_appends = 0;
    qint64 m_appendNs = 0;
};

QString PagePath(const QString &prefix, int number)
{
    return prefix + QString::number(number) + QStringLiteral(".html");
}

// The next link of a chapter page, clicked as soon as the page has loaded;
// answers whether there was one.
const char kClickNextLink[] = R"JS(
(function () {
  var links = document.getElementsByTagName('a');
  for (var i = 0; i < links.length; i++) {
    if (links[i].textContent === '\u4e0b\u4e00\u9875') { links[i].click(); return true; }
  }
  return false;
})()
)JS";

// How a bare phase moves from the page it has just loaded (1-based) to the next.
enum class Advance { ByAddress, ByClick };

// Goes through the book in a plain view of the given size, from its first
// page, loading each next page by its address or by clicking its next link.
PhaseFigures RunBare(testsupport::LoopbackServer &server, const QString &prefix, int pages,
                     const QSize &size, Advance advance)
{
    const char *name = advance == Advance::ByAddress ? "bare engine" : "bare clicks";
    QWebEngineView view;
    view.resize(size);
    view.show();

    PhaseFigures figures;
    QEventLoop loop;
    int loaded = 0;
    QElapsedTimer clock;
    QTimer stall;
    stall.setSingleShot(true);
    stall.setInterval(kStallMs);
    QObject::connect(&stall, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(view.page(), &QWebEnginePage::loadFinished, &loop, [&](bool ok) {
        if (!ok) {
            std::fprintf(stderr, "%s: page %d failed to load\n", name, loaded + 1);
            loop.quit();
            return;
        }
        ++loaded;
        stall.start();
        if (loaded == pages) {
            figures.finished = true;
            loop.quit();
            return;
        }
        if (advance == Advance::ByAddress) {
            view.page()->load(server.url(PagePath(prefix, loaded + 1)));
            return;
        }
        const int clicked = loaded;
        view.page()->runJavaScript(QString::fromUtf8(kClickNextLink), [&, clicked](const QVariant &found) {
            if (!found.toBool() && loaded == clicked) {
                std::fprintf(stderr, "%s: no next link on page %d\n", name, clicked);
                loop.quit();
            }
        });
    });

    const bench::CpuTimes before = bench::SampleCpu();
    clock.start();
    stall.start();
    view.page()->load(server.url(PagePath(prefix, 1)));
    loop.exec();
    figures.seconds = double(clock.nsecsElapsed()) / 1e9;
    figures.cpu = bench::SampleCpu() - before;
    figures.pages = loaded;
    return figures;
}

struct ChainResult
{
    PhaseFigures figures;
    int questions = 0;
    int notices = 0;
    // Mean milliseconds per page: the engine's load, from its end to the
    // file saved, and from the file saved to the next load's start.
    double loadMs = 0;
    double extractMs = 0;
    double advanceMs = 0;
};

// Splits each page's time into its three stretches, from the load starts and
// ends of the window's page and the moments the files were written.
void SplitPageTimes(const std::vector<qint64> &starts, const std::vector<qint64> &finishes,
                    const std::vector<qint64> &writes, ChainResult &result)
{
    double load = 0, extract = 0, advance = 0;
    int loads = 0, extracts = 0, advances = 0;
    size_t s = 0, f = 0;
    for (size_t w = 0; w < writes.size(); ++w) {
        // The load that ended last before this write, and the one it started from.
        while (f + 1 < finishes.size() && finishes[f + 1] < writes[w])
            ++f;
        while (s + 1 < starts.size() && starts[s + 1] < finishes[f])
            ++s;
        if (f < finishes.size() && s < starts.size() && starts[s] < finishes[f]
            && finishes[f] < writes[w]) {
            load += double(finishes[f] - starts[s]) / 1e6;
            extract += double(writes[w] - finishes[f]) / 1e6;
            ++loads;
            ++extracts;
        }
        for (size_t k = 0; k < starts.size(); ++k) {
            if (starts[k] > writes[w]) {
                advance += double(starts[k] - writes[w]) / 1e6;
                ++advances;
                break;
            }
        }
    }
    result.loadMs = loads ? load / loads : 0;
    result.extractMs = extracts ? extract / extracts : 0;
    result.advanceMs = advances ? advance / advances : 0;
}

// Collects the book in silent mode in the program's window, from the Go
// button to the notice that no next page is left.
ChainResult RunPagewick(testsupport::LoopbackServer &server, const QString &prefix, int pages,
                        window::Frmmain &window, ScriptedPrompt &prompt,
                        MeasuringFileSystem &files)
{
    ChainResult result;
    QEventLoop loop;
    QElapsedTimer clock;
    std::vector<qint64> starts, finishes;
    auto *view = qobject_cast<QWebEngineView *>(window.WebBrowser1->widget());
    if (view) {
        QObject::connect(view->page(), &QWebEnginePage::loadStarted, &loop,
                         [&] { starts.push_back(clock.nsecsElapsed()); });
        QObject::connect(view->page(), &QWebEnginePage::loadFinished, &loop,
                         [&] { finishes.push_back(clock.nsecsElapsed()); });
    }
    prompt.setWhileOpen([&](const QString &) { loop.quit(); });
    QTimer stall;
    stall.setInterval(1000);
    QElapsedTimer sinceProgress;
    int lastWrites = 0;
    QObject::connect(&stall, &QTimer::timeout, &loop, [&] {
        if (files.writes() != lastWrites) {
            lastWrites = files.writes();
            sinceProgress.start();
        } else if (sinceProgress.elapsed() > kStallMs) {
            std::fprintf(stderr, "pagewick: no file saved for %d s, giving up at \"%s\" (%s, ready state %d), "
                                 "status \"%s\"\n",
                         kStallMs / 1000, qPrintable(window.windowTitle()),
                         qPrintable(window.WebBrowser1->LocationURL()), window.WebBrowser1->ReadyState(),
                         qPrintable(window.Lab_bt->text()));
            loop.quit();
        }
    });

    window.Combo1->setEditText(server.url(PagePath(prefix, 1)).toString());
    const bench::CpuTimes before = bench::SampleCpu();
    clock.start();
    files.startClock(clock);
    sinceProgress.start();
    stall.start();
    window.Cmd_goto->click();
    loop.exec();
    result.figures.seconds = double(clock.nsecsElapsed()) / 1e9;
    result.figures.cpu = bench::SampleCpu() - before;
    result.figures.pages = files.writes();
    result.questions = int(prompt.questions.size());
    result.notices = int(prompt.notices.size());
    result.figures.finished = result.notices > 0 && files.writes() == pages;
    SplitPageTimes(starts, finishes, files.writeTimes(), result);
    prompt.setWhileOpen({});
    return result;
}

bool AllFilesIdentical(const QString &directory, const std::vector<bench::GeneratedChapter> &book)
{
    bool identical = true;
    int reported = 0;
    for (const bench::GeneratedChapter &chapter : book) {
        QFile file(directory + chapter.fileTitle + QStringLiteral(".txt"));
        const QByteArray expected = chapter.expected.toUtf8();
        const QByteArray actual = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        if (actual == expected)
            continue;
        identical = false;
        if (reported++ < 3)
            std::fprintf(stderr, "differs: %s (%lld bytes, expected %lld)\n",
                         qPrintable(file.fileName()), qlonglong(actual.size()),
                         qlonglong(expected.size()));
    }
    QStringList names = QDir(directory).entryList(QDir::Files);
    names.removeAll(workflow::LedgerFileName());
    if (names.size() != qsizetype(book.size())) {
        std::fprintf(stderr, "%lld files saved, expected %zu\n", qlonglong(names.size()), book.size());
        identical = false;
    }
    QFile ledger(directory + workflow::LedgerFileName());
    const QList<workflow::LedgerEntry> lines =
        workflow::ParseLedger(ledger.open(QIODevice::ReadOnly) ? ledger.readAll() : QByteArray());
    const qsizetype saved = std::count_if(lines.begin(), lines.end(), [](const workflow::LedgerEntry &e) {
        return e.status == QLatin1String("saved");
    });
    if (lines.size() != qsizetype(book.size()) || saved != lines.size()) {
        std::fprintf(stderr, "ledger: %lld lines, %lld saved, expected %zu\n", qlonglong(lines.size()),
                     qlonglong(saved), book.size());
        identical = false;
    }
    return identical;
}

double Rate(const PhaseFigures &f)
{
    return f.seconds > 0 ? f.pages / f.seconds : 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // Saved files and their names are in the locale's character set; the C
    // locale writes UTF-8, which the expected files are written in.
    qputenv("LC_ALL", "C");
    testsupport::prepareEngine();
    // The engine holds back a page that navigates more than 200 times in 10
    // s; the bare click baseline goes faster than that on a quick machine.
    // Every phase runs in this one process, so all of them get the switch.
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") + " --disable-ipc-flooding-protection");
    QApplication app(argc, argv);

    const bool breakdown = argc > 1 && QByteArray(argv[1]) == "--breakdown";
    int pages = kDefaultPages;
    if (breakdown)
        pages = 2;
    else if (argc > 1)
        pages = qMax(1, QByteArray(argv[1]).toInt());

    QTemporaryDir saveDir;
    QTemporaryDir programDir;
    if (!saveDir.isValid() || !programDir.isValid()) {
        std::fprintf(stderr, "no temporary directory\n");
        return 1;
    }

    testsupport::LoopbackServer server;
    std::vector<bench::GeneratedChapter> book;
    book.reserve(size_t(pages));
    const QString barePrefix = QStringLiteral("/bare/");
    const QString bookPrefix = QStringLiteral("/book/");
    const QString clickPrefix = QStringLiteral("/click/");
    qint64 pageBytes = 0;
    for (int n = 1; n <= pages; ++n) {
        // The same pages at three addresses, so no phase gets anything from
        // an earlier one's cache.
        book.push_back(bench::GenerateChapter(n, pages, bookPrefix));
        server.addPage(PagePath(bookPrefix, n), book.back().html);
        server.addPage(PagePath(barePrefix, n), bench::GenerateChapter(n, pages, barePrefix).html);
        server.addPage(PagePath(clickPrefix, n), bench::GenerateChapter(n, pages, clickPrefix).html);
        pageBytes += book.back().html.size();
    }
    std::printf("book: %d pages, %lld KB per page, %d elements per page\n", pages,
                pageBytes / pages / 1024, bench::ChapterElementCount(book.front().html));

    if (breakdown) {
        bench::PrintChainBreakdown(server, "/book/1.html");
        return 0;
    }

    ScriptedPrompt prompt;
    MeasuringFileSystem files(pages);
    window::FrmmainSeams seams;
    seams.programDirectory = programDir.path();
    seams.prompt = &prompt;
    seams.fileSystem = &files;
    window::Frmmain window(seams);
    window.resize(1024, 768);
    window.show();
    QCoreApplication::processEvents();
    // Both phases render into a view of the same size.
    const QSize viewSize = window.WebBrowser1->widget()->size();

    const PhaseFigures bare = RunBare(server, barePrefix, pages, viewSize, Advance::ByAddress);
    std::printf("engine:   %d pages in %.2f s, %.2f pages/s, cpu/page self %.1f ms, "
                "engine processes %.1f ms\n",
                bare.pages, bare.seconds, Rate(bare), 1000 * bare.cpu.selfSeconds / qMax(1, bare.pages),
                1000 * bare.cpu.childrenSeconds / qMax(1, bare.pages));
    if (!bare.finished)
        std::fprintf(stderr, "bare engine did not load every page\n");

    const PhaseFigures clicks = RunBare(server, clickPrefix, pages, viewSize, Advance::ByClick);
    std::printf("clicks:   %d pages in %.2f s, %.2f pages/s, cpu/page self %.1f ms, "
                "engine processes %.1f ms\n",
                clicks.pages, clicks.seconds, Rate(clicks),
                1000 * clicks.cpu.selfSeconds / qMax(1, clicks.pages),
                1000 * clicks.cpu.childrenSeconds / qMax(1, clicks.pages));
    if (!clicks.finished)
        std::fprintf(stderr, "bare engine did not click through every page\n");

    window.Check1[1]->setChecked(true);
    window.Txt_dir->setText(QDir(saveDir.path()).absolutePath() + QLatin1Char('/'));
    const ChainResult chain = RunPagewick(server, bookPrefix, pages, window, prompt, files);
    const PhaseFigures &pw = chain.figures;
    std::printf("pagewick: %d pages in %.2f s, %.2f pages/s, cpu/page self %.1f ms, "
                "engine processes %.1f ms; %d questions, %d notices\n",
                pw.pages, pw.seconds, Rate(pw), 1000 * pw.cpu.selfSeconds / qMax(1, pw.pages),
                1000 * pw.cpu.childrenSeconds / qMax(1, pw.pages), chain.questions, chain.notices);
    std::printf("per page: engine load %.1f ms, load end to file saved %.1f ms, "
                "file saved to next load %.1f ms\n",
                chain.loadMs, chain.extractMs, chain.advanceMs);
    std::printf("ledger:   %d lines appended, %.3f ms per append\n", files.appends(), files.appendMs());
    std::printf("memory:   this process VmRSS %.1f MB after %d pages, %.1f MB after %d, "
                "VmHWM %.1f MB; engine processes %.1f MB -> %.1f MB\n",
                files.rssEarly(), qMin(kEarlyMark, pages), files.rssLast(), pages,
                bench::PeakResidentMb(), files.childrenEarly(), files.childrenLast());

    const bool identical = pw.finished && AllFilesIdentical(saveDir.path() + QLatin1Char('/'), book);
    const double ratio = Rate(bare) > 0 ? Rate(pw) / Rate(bare) : 0;
    const double clickRatio = Rate(clicks) > 0 ? Rate(pw) / Rate(clicks) : 0;
    std::printf("chain: pages=%d engine_pps=%.2f pagewick_pps=%.2f ratio=%.3f rss50_mb=%.1f "
                "rss300_mb=%.1f identical=%s click_pps=%.2f click_ratio=%.3f\n",
                pages, Rate(bare), Rate(pw), ratio, files.rssEarly(), files.rssLast(),
                identical ? "yes" : "no", Rate(clicks), clickRatio);
    std::fflush(stdout);
    return identical ? 0 : 1;
}
