// Start-up, the address box, the Go button and drops on the real window, with
// the browser loading the sample book from file addresses.
#include "tests/support/enginetestutil.h"
#include "windowtesting.h"

#include "browser/webbrowser.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>
#include <QUrl>

#include "../support/scriptedprompt.h"

using namespace pagewick::window;
using namespace windowtesting;

namespace {

constexpr int kLoadTimeout = 20000;
const QString kIe = QStringLiteral("C:\\Program Files\\Internet Explorer\\iexplore.exe");

// As a real drag does: the drop goes where the drag was let in.
void dropOnto(QWidget *target, QDropEvent &drop)
{
    QDragEnterEvent enter(drop.position().toPoint(), drop.possibleActions(), drop.mimeData(), drop.buttons(),
                          drop.modifiers());
    QApplication::sendEvent(target, &enter);
    QApplication::sendEvent(target, &drop);
}

// The start page has loaded and the address box shows it: typing into the box
// before then would be overwritten.
bool startPageShown(const Frmmain &w)
{
    return pagewick::testsupport::waitUntil(
        [&] {
            return w.WebBrowser1->LocationURL() == QLatin1String("about:blank") && w.WebBrowser1->ReadyState() == 4
                && w.Combo1->currentText() == QLatin1String("about:blank");
        },
        kLoadTimeout);
}

QStringList items(const QComboBox *box)
{
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list << box->itemText(i);
    return list;
}

} // namespace

class TestFrmmainNavigation : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void favorites_data();
    void favorites();
    void shellWindows_data();
    void shellWindows();

    void goResetsAndNavigates();
    void goWithEmptyBox();
    void listChoice();
    void enterNavigatesOtherKeysDoNot();
    void leavingBoxOnEntryTextIsNoChoice();

    void dropText_data();
    void dropText();
    void dropFiles_data();
    void dropFiles();
    void dropFileWithAddressCharacters_data();
    void dropFileWithAddressCharacters();
    void dragIsAccepted();
    void wheelOverTheBox();

private:
    Frmmain &makeWindow(const QString &programDirectory);

    std::unique_ptr<Frmmain> m_window;
    ProgramDirectory m_program;
    ScriptedPrompt m_prompt;
    FakeShellWindows m_shell;
};

void TestFrmmainNavigation::init()
{
    m_shell.list = QVector<ShellWindow>{};
}

void TestFrmmainNavigation::cleanup()
{
    m_window.reset();
}

Frmmain &TestFrmmainNavigation::makeWindow(const QString &programDirectory)
{
    FrmmainSeams seams;
    seams.programDirectory = programDirectory;
    seams.prompt = &m_prompt;
    seams.shellWindows = &m_shell;
    m_window = std::make_unique<Frmmain>(seams);
    return *m_window;
}

void TestFrmmainNavigation::favorites_data()
{
    QTest::addColumn<QByteArray>("file"); // null: no favorites.ini
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("none") << QByteArray() << QStringList{};
    QTest::newRow("three lines, the second empty")
        << QByteArray("http://a/\r\n\r\nhttp://c/\r\n") << QStringList{"http://a/", "", "http://c/"};
    QTest::newRow("lone CR and lone LF")
        << QByteArray("http://a/\rhttp://b/\nhttp://c/") << QStringList{"http://a/", "http://b/", "http://c/"};
    QTest::newRow("section header and duplicates")
        << QByteArray("[start]\r\nhttp://a/\r\nhttp://a/") << QStringList{"[start]", "http://a/", "http://a/"};
}

void TestFrmmainNavigation::favorites()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, entries);
    QTemporaryDir program;
    QVERIFY(program.isValid());
    if (!file.isNull()) {
        QFile ini(program.filePath(QStringLiteral("favorites.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(file);
        ini.close();
    }
    Frmmain &w = makeWindow(program.path());
    QVERIFY(showActive(w));

    QCOMPARE(w.Txt_dir->text(), program.path() + QLatin1Char('/'));
    const QStringList list = items(w.Combo1);
    QCOMPARE(list.size(), 2 + entries.size());
    QCOMPARE(list.mid(2), entries);
    QCOMPARE(list.first(), QStringLiteral("file://") + program.path() + "/samples/book-utf8/ch01.htm");
    // Entries of the file are offered, not opened.
    QCOMPARE(w.Combo1->currentText(), QString());
    QVERIFY(startPageShown(w));
}

void TestFrmmainNavigation::shellWindows_data()
{
    QTest::addColumn<std::optional<QVector<ShellWindow>>>("windows");
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QString>("loaded"); // empty: stays blank
    const QString ch2 = samplePage("ch02.htm");
    const QString ch3 = samplePage("ch03.htm");
    QTest::newRow("two browser windows, the last loaded")
        << std::optional(QVector<ShellWindow>{{kIe, ch2}, {kIe, ch3}}) << QStringList{ch2, ch3} << ch3;
    QTest::newRow("file explorer in mixed case skipped")
        << std::optional(QVector<ShellWindow>{{kIe, ch2}, {QStringLiteral("C:\\WINDOWS\\ExPlOrEr.ExE"), ch3}})
        << QStringList{ch2} << ch2;
    QTest::newRow("no collection") << std::optional<QVector<ShellWindow>>() << QStringList{} << QString();
}

void TestFrmmainNavigation::shellWindows()
{
    QFETCH(std::optional<QVector<ShellWindow>>, windows);
    QFETCH(QStringList, added);
    QFETCH(QString, loaded);
    m_shell.list = windows;
    Frmmain &w = makeWindow(m_program.path());
    QVERIFY(showActive(w));

    QCOMPARE(items(w.Combo1).mid(2), added);
    QCOMPARE(w.Combo1->currentText(), loaded);
    ENGINE_TRY_COMPARE(w.WebBrowser1->LocationURL(), loaded.isEmpty() ? QStringLiteral("about:blank") : loaded, kLoadTimeout);
}

void TestFrmmainNavigation::goResetsAndNavigates()
{
    Frmmain &w = makeWindow(m_program.path());
    QVERIFY(showActive(w));
    w.PageTitle = QStringLiteral("第一章 雨夜来客");
    w.Candidates.CandidateLog = QStringLiteral("10445|42.3|0.0022|DIV:\r\n...");
    w.Combo1->setEditText(samplePage("ch02.htm"));
    QTest::mouseClick(w.Cmd_goto, Qt::LeftButton);
    QCOMPARE(w.PageTitle, QString());
    QCOMPARE(w.Candidates.CandidateLog, QString());
    ENGINE_TRY_COMPARE(w.WebBrowser1->LocationURL(), samplePage("ch02.htm"), kLoadTimeout);
}

void TestFrmmainNavigation::goWithEmptyBox()
{
    Frmmain &w = makeWindow(m_program.path());
    QVERIFY(showActive(w));
    w.PageTitle = QStringLiteral("x");
    w.Candidates.CandidateLog = QStringLiteral("y");
    QTest::mouseClick(w.Cmd_goto, Qt::LeftButton);
    QCOMPARE(w.PageTitle, QString());
    QCOMPARE(w.Candidates.CandidateLog, QString());
    // The engine decides what an empty address means; the window goes on.
    pagewick::testsupport::processEventsFor(500);
    QVERIFY(w.isVisible());
}

void TestFrmmainNavigation::listChoice()
{
    Frmmain &w = makeWindow(m_program.path());
    QVERIFY(showActive(w));
    QVERIFY(startPageShown(w));
    w.PageTitle = QStringLiteral("x");
    w.Candidates.CandidateLog = QStringLiteral("y");
    w.Combo1->setFocus();
    QTest::keyClick(w.Combo1, Qt::Key_Down); // picks the first entry of the list
    QCOMPARE(w.Combo1->currentText(), m_program.samplePage("ch01.htm"));
    QCOMPARE(w.PageTitle, QString());
    QCOMPARE(w.Candidates.CandidateLog, QString());
    ENGINE_TRY_COMPARE(w.WebBrowser1->LocationURL(), m_program.samplePage("ch01.htm"), kLoadTimeout);
}

void TestFrmmainNavigation::enterNavigatesOtherKeysDoNot()
{
    Frmmain &w = makeWindow(m_program.path());
    QVERIFY(showActive(w));
    QVERIFY(startPageShown(w));
    w.Combo1->setFocus();
    w.Combo1->setEditText(QString()); // the browser wrote its address into it

    // Enter in an empty box does nothing.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    const QString address = samplePage("ch04.htm");
    QTest::keyClicks(QApplication::focusWidget(), address);
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End})
        QTest::keyClick(QApplication::focusWidget(), key);
    QCOMPARE(w.Combo1->currentText(), address);
    pagewick::testsupport::processEventsFor(1000);
    QCOMPARE(w.WebBrowser1->LocationURL(), QStringLiteral("about:blank"));

    w.PageTitle = QStringLiteral("x");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    QCOMPARE(w.PageTitle, QString());
    ENGINE_TRY_COMPARE(w.WebBrowser1->LocationURL(), address, kLoadTimeout);
    QCOMPARE(w.Combo1->count(), 2); // a typed address is not added to the list
}

void TestFrmmainNavigation::leavingBoxOnEntryTextIsNoChoice()
{
    Frmmain &w = makeWindow(m_program.path());
    QVERIFY(showActive(w));
    QVERIFY(startPageShown(w));
    w.Combo1->setFocus();
    w.Combo1->setEditText(QString());
    QTest::keyClicks(QApplication::focusWidget(), w.Combo1->itemText(1));
    w.PageTitle = QStringLiteral("x");
    w.Cmd_next->setFocus();
    QCoreApplication::processEvents();
    QCOMPARE(w.PageTitle, QStringLiteral("x"));
    pagewick::testsupport::processEventsFor(1000);
    QCOMPARE(w.WebBrowser1->LocationURL(), QStringLiteral("about:blank"));
}

void TestFrmmainNavigation::dropText_data()
{
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("withFiles");
    QTest::addColumn<int>("action");
    QTest::newRow("without Ctrl: move") << Qt::KeyboardModifiers() << false << int(Qt::MoveAction);
    QTest::newRow("with Ctrl: copy") << Qt::KeyboardModifiers(Qt::ControlModifier) << false << int(Qt::CopyAction);
    QTest::newRow("text and a link: text wins") << Qt::KeyboardModifiers() << true << int(Qt::MoveAction);
}

void TestFrmmainNavigation::dropText()
{
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, withFiles);
    QFETCH(int, action);
    Frmmain &w = makeWindow(m_program.path());
    QVERIFY(showActive(w));
    w.Combo1->setEditText(QStringLiteral("earlier"));
    w.Candidates.CandidateLog = QStringLiteral("y");

    const QString address = samplePage("ch05.htm");
    QMimeData data;
    // As a link dragged out of a web page: its address and a file.
    if (withFiles)
        data.setUrls({QUrl(QStringLiteral("http://127.0.0.1:9/")),
                      QUrl::fromLocalFile(sourceDirectory() + "/samples/book-utf8/ch01.htm")});
    data.setText(address);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, modifiers);
    dropOnto(w.Combo1->lineEdit(), drop);

    QVERIFY(drop.isAccepted());
    QCOMPARE(int(drop.dropAction()), action);
    QCOMPARE(w.Combo1->currentText(), address);
    QCOMPARE(w.Candidates.CandidateLog, QString());
    ENGINE_TRY_COMPARE(w.WebBrowser1->LocationURL(), address, kLoadTimeout);
}

void TestFrmmainNavigation::dropFiles_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("asText"); // the file manager offers the addresses as text too
    QTest::newRow("one file") << QStringList{"第一章.htm"} << false;
    QTest::newRow("three files") << QStringList{"a.htm", "b.htm", "c d.htm"} << false;
    QTest::newRow("three files, also as text") << QStringList{"a.htm", "b.htm", "c d.htm"} << true;
}

void TestFrmmainNavigation::dropFiles()
{
    QFETCH(QStringList, names);
    QFETCH(bool, asText);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QList<QUrl> urls;
    for (const QString &name : names) {
        QFile page(dir.filePath(name));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<html><head><title>" + name.toUtf8() + "</title></head><body>x</body></html>");
        page.close();
        urls << QUrl::fromLocalFile(dir.filePath(name));
    }
    Frmmain &w = makeWindow(m_program.path());
    QVERIFY(showActive(w));
    w.PageTitle = QStringLiteral("x");
    w.Candidates.CandidateLog = QStringLiteral("y");

    QMimeData data;
    data.setUrls(urls);
    if (asText) {
        QStringList lines;
        for (const QUrl &url : urls)
            lines << url.toString();
        data.setText(lines.join(QLatin1Char('\n')));
    }
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::ControlModifier);
    dropOnto(w.Combo1->lineEdit(), drop);

    // Not percent-encoded: the box shows the path as it is.
    const QString last = QStringLiteral("file://") + dir.path() + QLatin1Char('/') + names.last();
    QVERIFY(drop.isAccepted());
    QCOMPARE(int(drop.dropAction()), int(Qt::CopyAction));
    QCOMPARE(w.Combo1->currentText(), last);
    QCOMPARE(w.PageTitle, QString());
    QCOMPARE(w.Candidates.CandidateLog, QString());
    ENGINE_TRY_COMPARE(QUrl(w.WebBrowser1->LocationURL()), QUrl::fromLocalFile(dir.filePath(names.last())), kLoadTimeout);
}

void TestFrmmainNavigation::dropFileWithAddressCharacters_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("#") << QStringLiteral("第#1.htm");
    QTest::newRow("?") << QStringLiteral("第?1.htm");
    QTest::newRow("%") << QStringLiteral("100%.htm");
    QTest::newRow("% before hex digits") << QStringLiteral("第%41章.htm");
}

// The box shows the file as dropped; the file itself is loaded, by the
// drop and by the Go command after it, and by Go again with the address the
// box shows once the page is in.
void TestFrmmainNavigation::dropFileWithAddressCharacters()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile page(dir.filePath(name));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<html><body>x</body></html>");
    page.close();
    // What the engine would load if the name were read as an address.
    QFile decoy(dir.filePath(QStringLiteral("第A章.htm")));
    QVERIFY(decoy.open(QIODevice::WriteOnly));
    decoy.close();
    Frmmain &w = makeWindow(m_program.path());
    QVERIFY(showActive(w));
    const QUrl file = QUrl::fromLocalFile(dir.filePath(name));
    int requests = 0;
    QObject::connect(w.WebBrowser1, &pagewick::browser::WebBrowser::NavigateComplete2, &w,
                     [&](pagewick::browser::FrameId, const QString &url) { requests += QUrl(url) == file; });

    QMimeData data;
    data.setUrls({file});
    data.setText(file.toString());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    dropOnto(w.Combo1->lineEdit(), drop);

    QCOMPARE(w.Combo1->currentText(), QStringLiteral("file://") + dir.path() + QLatin1Char('/') + name);
    ENGINE_TRY_COMPARE(QUrl(w.WebBrowser1->LocationURL()), file, kLoadTimeout);
    ENGINE_TRY_COMPARE(w.Combo1->currentText(), w.WebBrowser1->LocationURL(), kLoadTimeout);
    ENGINE_TRY_COMPARE(w.WebBrowser1->ReadyState(), 4, kLoadTimeout);
    const int afterDrop = requests;
    QVERIFY(afterDrop >= 1);

    QTest::mouseClick(w.Cmd_goto, Qt::LeftButton);
    ENGINE_TRY_COMPARE(requests, afterDrop + 1, kLoadTimeout);
    ENGINE_TRY_COMPARE(w.WebBrowser1->ReadyState(), 4, kLoadTimeout);
    QCOMPARE(QUrl(w.WebBrowser1->LocationURL()), file);
}

void TestFrmmainNavigation::dragIsAccepted()
{
    Frmmain &w = makeWindow(m_program.path());
    QVERIFY(showActive(w));
    QMimeData data;
    data.setText(QStringLiteral("http://x/"));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.Combo1->lineEdit(), &enter);
    QVERIFY(enter.isAccepted());
    // Only a drop changes the box.
    QCOMPARE(w.Combo1->currentText(), QString());
}

void TestFrmmainNavigation::wheelOverTheBox()
{
    Frmmain &w = makeWindow(m_program.path());
    QVERIFY(showActive(w));
    QVERIFY(startPageShown(w));
    w.Cmd_next->setFocus();
    w.PageTitle = QStringLiteral("x");
    // As the mouse delivers it: to the widget under the pointer, free to
    // move the focus and to travel on to the parents.
    const auto turn = [](QWidget *target) {
        const QPointF centre = QRectF(target->rect()).center();
        QWheelEvent wheel(centre, target->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&wheel);
        qApp->notify(target, &wheel);
    };

    const QString shown = w.Combo1->currentText();
    turn(w.Combo1->lineEdit());
    turn(w.Combo1);
    QCOMPARE(w.Combo1->currentIndex(), -1);
    QCOMPARE(w.Combo1->currentText(), shown);
    QVERIFY(!w.Combo1->hasFocus());
    QCOMPARE(w.PageTitle, QStringLiteral("x"));
    pagewick::testsupport::processEventsFor(1000);
    QCOMPARE(w.WebBrowser1->LocationURL(), QStringLiteral("about:blank"));

    // With the focus in the box a turn chooses the next entry.
    w.Combo1->setFocus();
    turn(w.Combo1->lineEdit());
    QCOMPARE(w.Combo1->currentText(), m_program.samplePage("ch01.htm"));
    QCOMPARE(w.PageTitle, QString());
    ENGINE_TRY_COMPARE(w.WebBrowser1->LocationURL(), m_program.samplePage("ch01.htm"), kLoadTimeout);
}

QTEST_MAIN(TestFrmmainNavigation)
#include "tst_frmmain_navigation.moc"
