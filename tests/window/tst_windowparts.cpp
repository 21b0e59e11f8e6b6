// The window's parts that need no browser: twips geometry, the result box,
// the start-address list and where the sample book is found, the program's
// icon, the shell-window filter, the save-directory check, the splitter's
// limits, the drop rules and the addresses the box's texts mean.
#include "browser/addressurl.h"
#include "window/drops.h"
#include "window/programinfo.h"
#include "window/richtextbox.h"
#include "window/shellwindows.h"
#include "window/splitterdrag.h"
#include "window/startup.h"
#include "window/twips.h"
#include "window/twipsgeometry.h"
#include "workflow/filesystem.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace pagewick::window;

namespace {

// Records what a drop does, in order.
class RecordingDropTarget : public DropTarget
{
public:
    void setAddressText(const QString &text) override
    {
        address = text;
        calls << QStringLiteral("text:") + text;
    }
    void clearPageTitle() override { calls << QStringLiteral("title"); }
    void navigateToAddressText() override { calls << QStringLiteral("navigate:") + address; }
    void goCommand() override { calls << QStringLiteral("go:") + address; }

    QString address;
    QStringList calls;
};

// A file system whose answers the test sets.
class FakeFileSystem : public pagewick::workflow::FileSystem
{
public:
    bool exists(const QString &) override { return normalFile; }
    bool isNormalFile(const QString &path) override
    {
        askedPath = path;
        return normalFile;
    }
    bool createDirectory(const QString &) override { return false; }
    std::optional<QByteArray> readFile(const QString &) override { return content; }
    bool writeFileReplacing(const QString &, const QByteArray &) override { return false; }
    bool appendFile(const QString &, const QByteArray &) override { return false; }

    bool normalFile = true;
    std::optional<QByteArray> content;
    QString askedPath;
};

} // namespace

class TestWindowParts : public QObject
{
    Q_OBJECT

private slots:
    void twipsRoundTrip_data();
    void twipsRoundTrip();
    void adjacentControlsStayAdjacent();
    void refusedPlacementLeavesControl();

    void resultBoxKeepsLineBreaks_data();
    void resultBoxKeepsLineBreaks();
    void resultBoxEditGivesCrLf();
    void resultBoxTakesLargeText();

    void startAddressLines_data();
    void startAddressLines();
    void startAddressFile();

    void saveDirectoryAtStart_data();
    void saveDirectoryAtStart();

    void sampleBookFound_data();
    void sampleBookFound();
    void programIconDrawnFromItsSvg();

    void browserWindows_data();
    void browserWindows();

    void splitterLimits_data();
    void splitterLimits();

    void drops_data();
    void drops();
    void addressUrl_data();
    void addressUrl();

private:
    QTemporaryDir m_files;
};

void TestWindowParts::twipsRoundTrip_data()
{
    QTest::addColumn<QRect>("twips");
    QTest::newRow("on whole pixels") << QRect(120, 60, 1080, 180);
    QTest::newRow("splitter at start") << QRect(0, 4150, 12975, 80);
    QTest::newRow("between pixels") << QRect(8695, 0, 1000, 300);
    QTest::newRow("zero height") << QRect(0, 320, 12945, 0);
}

void TestWindowParts::twipsRoundTrip()
{
    QFETCH(QRect, twips);
    QWidget parent;
    auto *control = new QWidget(&parent);
    QVERIFY(placeTwips(control, twips));
    QCOMPARE(twipsGeometry(control), twips);
    QCOMPARE(control->geometry(), toPixels(twips));
}

void TestWindowParts::adjacentControlsStayAdjacent()
{
    QWidget parent;
    auto *left = new QWidget(&parent);
    auto *right = new QWidget(&parent);
    placeTwips(left, QRect(7695, 0, 1000, 300));
    placeTwips(right, QRect(8695, 0, 1000, 300));
    QCOMPARE(left->geometry().right() + 1, right->geometry().left());

    // Moved by other means, a control reports where it really is.
    left->setGeometry(10, 10, 20, 20);
    QCOMPARE(twipsGeometry(left), QRect(150, 150, 300, 300));
}

void TestWindowParts::refusedPlacementLeavesControl()
{
    QWidget parent;
    auto *control = new QWidget(&parent);
    placeTwips(control, QRect(0, 4210, 12945, 3770));
    QVERIFY(!placeTwips(control, QRect(0, 2700, 12945, -120)));
    QCOMPARE(twipsGeometry(control), QRect(0, 4210, 12945, 3770));
}

void TestWindowParts::resultBoxKeepsLineBreaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("CR LF pairs") << QStringLiteral("\r\n第一章\r\n\r\n正文。\r\n");
    QTest::newRow("lone CR") << QStringLiteral("a\rb");
    QTest::newRow("lone LF") << QStringLiteral("a\nb");
    QTest::newRow("mixed") << QStringLiteral("a\r\n\rb\n\r\nc");
    QTest::newRow("empty") << QString();
}

void TestWindowParts::resultBoxKeepsLineBreaks()
{
    QFETCH(QString, text);
    RichTextBox box;
    box.setText(QStringLiteral("earlier"));
    box.setText(text);
    QCOMPARE(box.text(), text);
}

void TestWindowParts::resultBoxEditGivesCrLf()
{
    RichTextBox box;
    box.setText(QStringLiteral("ab\r\ncd"));
    box.moveCursor(QTextCursor::End);
    QTest::keyClick(&box, Qt::Key_Return);
    QTest::keyClicks(&box, QStringLiteral("ef"));
    QCOMPARE(box.text(), QStringLiteral("ab\r\ncd\r\nef"));

    // Text set after the edit is again given back exactly.
    box.setText(QStringLiteral("x\ry"));
    QCOMPARE(box.text(), QStringLiteral("x\ry"));
}

void TestWindowParts::resultBoxTakesLargeText()
{
    QString text;
    const QString line = QStringLiteral("这是一行用来测试的正文，长度大约五十个字符左右。这是一行用来测试的正文。\r\n");
    while (text.size() < 512 * 1024) // 1 MB of UTF-16
        text += line;
    RichTextBox box;
    box.resize(600, 400);
    box.show();
    QElapsedTimer timer;
    timer.start();
    box.setText(text);
    const qint64 elapsed = timer.elapsed();
    QCOMPARE(box.text(), text);
    QVERIFY2(elapsed < 3000, qPrintable(QStringLiteral("took %1 ms").arg(elapsed)));
}

void TestWindowParts::startAddressLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("CR LF, last without end")
        << QStringLiteral("http://a/\r\nhttp://b/") << QStringList{"http://a/", "http://b/"};
    QTest::newRow("final end adds nothing")
        << QStringLiteral("http://a/\r\n") << QStringList{"http://a/"};
    QTest::newRow("lone CR") << QStringLiteral("a\rb\r") << QStringList{"a", "b"};
    QTest::newRow("lone LF") << QStringLiteral("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("empty line in the middle")
        << QStringLiteral("a\r\n\r\nc\r\n") << QStringList{"a", "", "c"};
    QTest::newRow("LF CR is two ends") << QStringLiteral("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("kept verbatim")
        << QStringLiteral("[favorites]\r\n  spaced  \r\n")
        << QStringList{"[favorites]", "  spaced  "};
    QTest::newRow("only an end") << QStringLiteral("\r\n") << QStringList{""};
    QTest::newRow("empty file") << QString() << QStringList{};
}

void TestWindowParts::startAddressLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, entries);
    QCOMPARE(splitStartAddressLines(text), entries);
}

void TestWindowParts::startAddressFile()
{
    FakeFileSystem fs;
    fs.content = QByteArrayLiteral("http://a/\r\nhttp://b/");
    QCOMPARE(readStartAddresses(fs, QStringLiteral("/p/favorites.ini")),
             (QStringList{"http://a/", "http://b/"}));
    QCOMPARE(fs.askedPath, QStringLiteral("/p/favorites.ini"));

    fs.content.reset();
    QVERIFY(readStartAddresses(fs, QStringLiteral("/p/favorites.ini")).isEmpty());

    fs.content = QByteArrayLiteral("http://a/");
    fs.normalFile = false;
    QVERIFY(readStartAddresses(fs, QStringLiteral("/p/favorites.ini")).isEmpty());
}

void TestWindowParts::saveDirectoryAtStart_data()
{
    QTest::addColumn<QString>("programDirectory");
    QTest::addColumn<QString>("saveDirectory");
    QTest::newRow("ordinary") << QStringLiteral("/opt/pagewick") << QStringLiteral("/opt/pagewick/");
    QTest::newRow("root") << QStringLiteral("/") << QStringLiteral("/");
}

void TestWindowParts::saveDirectoryAtStart()
{
    QFETCH(QString, programDirectory);
    QFETCH(QString, saveDirectory);
    QCOMPARE(initialSaveDirectory(programDirectory), saveDirectory);
}

void TestWindowParts::sampleBookFound_data()
{
    // Paths relative to a temporary directory standing for the prefix or build folder.
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("samples");
    const QString chapter = QStringLiteral("/book-utf8/ch01.htm");
    QTest::newRow("build folder: beside the program")
        << QStringList{"samples" + chapter} << QStringLiteral("") << QStringLiteral("samples");
    QTest::newRow("installed: the prefix's data directory")
        << QStringList{"bin/pagewick", "share/pagewick/samples" + chapter} << QStringLiteral("bin")
        << QStringLiteral("share/pagewick/samples");
    QTest::newRow("a copy beside the program comes first")
        << QStringList{"bin/samples" + chapter, "share/pagewick/samples" + chapter} << QStringLiteral("bin")
        << QStringLiteral("bin/samples");
    QTest::newRow("a book without its first chapter is not taken")
        << QStringList{"bin/samples/book-utf8/index.htm", "share/pagewick/samples" + chapter}
        << QStringLiteral("bin") << QStringLiteral("share/pagewick/samples");
    QTest::newRow("a directory named as the chapter is not taken")
        << QStringList{"share/pagewick/samples" + chapter + "/x"} << QStringLiteral("bin")
        << QStringLiteral("bin/samples");
    QTest::newRow("nowhere: beside the program, as before")
        << QStringList{"bin/pagewick"} << QStringLiteral("bin") << QStringLiteral("bin/samples");
}

void TestWindowParts::sampleBookFound()
{
    QFETCH(QStringList, files);
    QFETCH(QString, program);
    QFETCH(QString, samples);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QDir dir(root.path());
    for (const QString &file : files) {
        QVERIFY(dir.mkpath(QFileInfo(file).path()));
        QFile f(dir.filePath(file));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QVERIFY(dir.mkpath(program.isEmpty() ? QStringLiteral(".") : program));
    const QString programDirectory = QDir::cleanPath(dir.filePath(program));
    const QString expected = QDir::cleanPath(dir.filePath(samples));

    auto &fs = pagewick::workflow::realFileSystem();
    QCOMPARE(sampleDirectory(fs, programDirectory), expected);
    QCOMPARE(defaultStartAddresses(fs, programDirectory),
             (QStringList{"file://" + expected + "/book-utf8/ch01.htm", "file://" + expected + "/book-utf8/index.htm"}));
}

void TestWindowParts::programIconDrawnFromItsSvg()
{
    const QIcon icon = programIcon();
    QVERIFY(!icon.isNull());
    for (int size : {16, 256}) {
        QVERIFY(icon.availableSizes().contains(QSize(size, size)));
        const QImage image = icon.pixmap(size).toImage();
        QCOMPARE(image.size(), QSize(size, size));
        // Transparent around the page, drawn inside it.
        QCOMPARE(qAlpha(image.pixel(size - 1, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(size / 2, size * 3 / 4)), 255);
    }
}

void TestWindowParts::browserWindows_data()
{
    QTest::addColumn<QVector<ShellWindow>>("windows");
    QTest::addColumn<QStringList>("addresses");
    const QString ie = QStringLiteral("C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE");
    QTest::newRow("two browsers in order")
        << QVector<ShellWindow>{{ie, QStringLiteral("http://a/")}, {ie, QStringLiteral("http://b/")}}
        << QStringList{"http://a/", "http://b/"};
    QTest::newRow("file explorer in mixed case")
        << QVector<ShellWindow>{{QStringLiteral("C:\\Windows\\Explorer.EXE"), QStringLiteral("file:///C:/")},
                                {ie, QStringLiteral("http://b/")}}
        << QStringList{"http://b/"};
    QTest::newRow("program ending otherwise")
        << QVector<ShellWindow>{{QStringLiteral("C:\\x\\myexplorer.exe.bak"), QStringLiteral("http://c/")}}
        << QStringList{"http://c/"};
    QTest::newRow("unreadable program counts as a browser")
        << QVector<ShellWindow>{{std::nullopt, QStringLiteral("http://d/")}}
        << QStringList{"http://d/"};
    QTest::newRow("unreadable address gives nothing")
        << QVector<ShellWindow>{{ie, std::nullopt}, {std::nullopt, std::nullopt}} << QStringList{};
    QTest::newRow("none") << QVector<ShellWindow>{} << QStringList{};
}

void TestWindowParts::browserWindows()
{
    QFETCH(QVector<ShellWindow>, windows);
    QFETCH(QStringList, addresses);
    QCOMPARE(browserWindowAddresses(windows), addresses);
}

void TestWindowParts::splitterLimits_data()
{
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("grab");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("expected");
    // The window's own drags cover the ordinary cases; its client area cannot get this low.
    QTest::newRow("exactly at the bottom limit") << 4150 << 2990 << 0 << 8340 << 7140;
    QTest::newRow("low client: bottom limit wins") << 1500 << -900 << 0 << 2000 << 800;
}

void TestWindowParts::splitterLimits()
{
    QFETCH(int, top);
    QFETCH(int, y);
    QFETCH(int, grab);
    QFETCH(int, height);
    QFETCH(int, expected);
    QCOMPARE(draggedSplitterTop(top, y, grab, height), expected);
}

void TestWindowParts::drops_data()
{
    QTest::addColumn<QString>("text"); // null: no text offered
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<int>("action"); // -1: left as proposed

    const QString f1 = QStringLiteral("/home/u/第一章.htm");
    const QString f2 = QStringLiteral("/home/u/a b.htm");
    const QString f3 = QStringLiteral("/home/u/c.htm");
    const QString a1 = QStringLiteral("file:///home/u/第一章.htm");
    const QString a2 = QStringLiteral("file:///home/u/a b.htm");
    const QString a3 = QStringLiteral("file:///home/u/c.htm");
    const QList<QUrl> three{QUrl::fromLocalFile(f1), QUrl::fromLocalFile(f2), QUrl::fromLocalFile(f3)};

    QTest::newRow("text moved") << QStringLiteral("http://x/1.htm") << QList<QUrl>{}
                                << Qt::KeyboardModifiers() << QStringList{"text:http://x/1.htm", "go:http://x/1.htm"}
                                << int(Qt::MoveAction);
    QTest::newRow("text copied with Ctrl")
        << QStringLiteral("not an address") << QList<QUrl>{} << Qt::KeyboardModifiers(Qt::ControlModifier)
        << QStringList{"text:not an address", "go:not an address"} << int(Qt::CopyAction);
    QTest::newRow("text wins over files and a web address")
        << QStringLiteral("http://x/") << (QList<QUrl>{QUrl(QStringLiteral("http://x/"))} + three)
        << Qt::KeyboardModifiers() << QStringList{"text:http://x/", "go:http://x/"} << int(Qt::MoveAction);
    QTest::newRow("link dragged out of a page")
        << QStringLiteral("http://x/y.htm") << QList<QUrl>{QUrl(QStringLiteral("http://x/y.htm"))}
        << Qt::KeyboardModifiers() << QStringList{"text:http://x/y.htm", "go:http://x/y.htm"}
        << int(Qt::MoveAction);
    // File managers offer the files' addresses as text as well.
    QTest::newRow("files from a file manager")
        << a1 + "\r\n" + a3 << QList<QUrl>{QUrl::fromLocalFile(f1), QUrl::fromLocalFile(f3)}
        << Qt::KeyboardModifiers() << QStringList{"title", "text:" + a1, "navigate:" + a1, "title", "text:" + a3,
                                                  "navigate:" + a3, "go:" + a3}
        << -1;
    QTest::newRow("file name with # ? %")
        << QString() << QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/home/u/a#1?b%41.htm"))}
        << Qt::KeyboardModifiers()
        << QStringList{"title", "text:file:///home/u/a#1?b%41.htm", "navigate:file:///home/u/a#1?b%41.htm",
                       "go:file:///home/u/a#1?b%41.htm"}
        << -1;
    QTest::newRow("one file") << QString() << QList<QUrl>{QUrl::fromLocalFile(f1)} << Qt::KeyboardModifiers()
                              << QStringList{"title", "text:" + a1, "navigate:" + a1, "go:" + a1} << -1;
    QTest::newRow("three files")
        << QString() << three << Qt::KeyboardModifiers(Qt::ControlModifier)
        << QStringList{"title", "text:" + a1, "navigate:" + a1, "title", "text:" + a2, "navigate:" + a2,
                       "title", "text:" + a3, "navigate:" + a3, "go:" + a3}
        << -1;
    QTest::newRow("remote address in the list is no file")
        << QString() << QList<QUrl>{QUrl(QStringLiteral("http://x/y.htm")), QUrl::fromLocalFile(f3)}
        << Qt::KeyboardModifiers() << QStringList{"title", "text:" + a3, "navigate:" + a3, "go:" + a3} << -1;
    QTest::newRow("neither") << QString() << QList<QUrl>{} << Qt::KeyboardModifiers()
                             << QStringList{"go:"} << -1;
}

void TestWindowParts::drops()
{
    QFETCH(QString, text);
    QFETCH(QList<QUrl>, urls);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QStringList, calls);
    QFETCH(int, action);

    QMimeData data;
    if (!urls.isEmpty())
        data.setUrls(urls);
    if (!text.isNull())
        data.setText(text);
    RecordingDropTarget target;
    const std::optional<Qt::DropAction> result = applyDrop(data, modifiers, target);
    QCOMPARE(target.calls, calls);
    QCOMPARE(result ? int(*result) : -1, action);
}

void TestWindowParts::addressUrl_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QUrl>("expected");
    QVERIFY(m_files.isValid());
    const QString dir = m_files.path() + QLatin1Char('/');
    for (const char *name : {"a#1.htm", "b?2.htm", "c%41.htm", "第一章 d.htm"}) {
        QFile file(dir + QString::fromUtf8(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString cwd = QStringLiteral("/");

    QTest::newRow("file with #") << "file://" + dir + "a#1.htm" << QUrl::fromLocalFile(dir + "a#1.htm");
    QTest::newRow("file with ?") << "file://" + dir + "b?2.htm" << QUrl::fromLocalFile(dir + "b?2.htm");
    QTest::newRow("file with %41 is no A") << "file://" + dir + "c%41.htm" << QUrl::fromLocalFile(dir + "c%41.htm");
    QTest::newRow("scheme in capitals") << "FILE://" + dir + "a#1.htm" << QUrl::fromLocalFile(dir + "a#1.htm");
    QTest::newRow("plain file") << "file://" + dir + "第一章 d.htm" << QUrl::fromLocalFile(dir + "第一章 d.htm");
    // As the box shows a loaded file's address afterwards: encoded.
    QTest::newRow("encoded address of a file") << "file://" + dir + "c%2541.htm"
                                               << QUrl::fromLocalFile(dir + "c%41.htm");
    QTest::newRow("no such file: a fragment") << "file://" + dir + "x#y.htm"
                                              << QUrl::fromUserInput("file://" + dir + "x#y.htm", cwd);
    QTest::newRow("web address") << QStringLiteral("http://x/a b#c") << QUrl(QStringLiteral("http://x/a%20b#c"));
    QTest::newRow("bare host") << QStringLiteral("example.com") << QUrl(QStringLiteral("http://example.com"));
}

void TestWindowParts::addressUrl()
{
    QFETCH(QString, text);
    QFETCH(QUrl, expected);
    QCOMPARE(pagewick::browser::AddressUrl(text, QStringLiteral("/")), expected);
}

QTEST_MAIN(TestWindowParts)
#include "tst_windowparts.moc"
