// The options panel on the real window: showing and hiding, the keyword boxes
// following custom-condition extraction, and the save-directory check with
// the focus moving as a user moves it.
#include "windowtesting.h"

#include "browser/webbrowser.h"
#include "window/clicklabel.h"
#include "window/optionspanel.h"

#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include "../support/scriptedprompt.h"

using namespace pagewick::window;
using namespace windowtesting;

class TestFrmmainOptions : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void setupToggles();
    void closeLabelHides();

    void keywordBoxesFollowCustomMode_data();
    void keywordBoxesFollowCustomMode();
    void tickingAloneChangesNothing();

    void saveDirectory_data();
    void saveDirectory();
    void boxTakingFocusDoesNotRecheck();
    void realBoxOpensOnce();
    void deactivationDoesNotCheck();
    void tipFollowsText();
    void pageIntervalRowBelowTheKeywords();

    void mergeBookWithoutLedger();
    void mergeBookAsksWithTheRealBox();

private:
    void moveFocus(QWidget *to);

    std::unique_ptr<Frmmain> m_window;
    ScriptedPrompt m_prompt;
    FakeShellWindows m_shell;
    QTemporaryDir m_temp;
};

void TestFrmmainOptions::init()
{
    QVERIFY(m_temp.isValid());
    m_prompt = ScriptedPrompt();
    FrmmainSeams seams;
    seams.programDirectory = m_temp.path();
    seams.prompt = &m_prompt;
    seams.shellWindows = &m_shell;
    m_window = std::make_unique<Frmmain>(seams);
    QVERIFY(showActive(*m_window));
    m_window->Cmd_setup->click();
    QVERIFY(m_window->Frame1->isVisible());
}

void TestFrmmainOptions::cleanup()
{
    m_window.reset();
}

void TestFrmmainOptions::moveFocus(QWidget *to)
{
    to->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
}

void TestFrmmainOptions::setupToggles()
{
    Frmmain &w = *m_window;
    w.Cmd_setup->click();
    QVERIFY(w.Frame1->isHidden());
    QTest::mouseClick(w.Cmd_setup, Qt::LeftButton);
    QVERIFY(w.Frame1->isVisible());
    QTest::mouseClick(w.Cmd_setup, Qt::LeftButton);
    QVERIFY(w.Frame1->isHidden());
}

void TestFrmmainOptions::closeLabelHides()
{
    Frmmain &w = *m_window;
    QTest::mouseClick(w.Lab_close, Qt::LeftButton);
    QVERIFY(w.Frame1->isHidden());
    QTest::mouseClick(w.Lab_close, Qt::LeftButton);
    QVERIFY(w.Frame1->isHidden());
    w.Cmd_setup->click();
    QVERIFY(w.Frame1->isVisible());
}

void TestFrmmainOptions::keywordBoxesFollowCustomMode_data()
{
    QTest::addColumn<int>("left"); // the check box that loses the focus
    QTest::addColumn<bool>("custom");
    QTest::newRow("custom box ticked") << 3 << true;
    QTest::newRow("custom box unticked") << 3 << false;
    QTest::newRow("pop-up box, custom ticked") << 0 << true;
    QTest::newRow("mode box, custom ticked") << 1 << true;
    QTest::newRow("re-flow box, custom unticked") << 2 << false;
}

void TestFrmmainOptions::keywordBoxesFollowCustomMode()
{
    QFETCH(int, left);
    QFETCH(bool, custom);
    Frmmain &w = *m_window;

    // Start from the opposite state, with keywords typed in.
    w.Check1[3]->setChecked(!custom);
    moveFocus(w.Check1[3]);
    moveFocus(w.Txt_Next);
    QCOMPARE(w.Txt_gjz[0]->isEnabled(), !custom);
    w.Txt_gjz[0]->setText(QStringLiteral("正文开始"));
    w.Txt_gjz[1]->setText(QStringLiteral("正文结束"));

    moveFocus(w.Check1[left]);
    w.Check1[3]->setChecked(custom);
    moveFocus(w.Txt_Next);
    QCOMPARE(w.Txt_gjz[0]->isEnabled(), custom);
    QCOMPARE(w.Txt_gjz[1]->isEnabled(), custom);
    QCOMPARE(w.Txt_gjz[0]->text(), QStringLiteral("正文开始"));
    QCOMPARE(w.Txt_gjz[1]->text(), QStringLiteral("正文结束"));
}

void TestFrmmainOptions::tickingAloneChangesNothing()
{
    Frmmain &w = *m_window;
    moveFocus(w.Check1[3]);
    QTest::mouseClick(w.Check1[3], Qt::LeftButton);
    QCOMPARE(w.Check1[3]->checkState(), Qt::Checked);
    QVERIFY(!w.Txt_gjz[0]->isEnabled());
    moveFocus(w.Cmd_goto);
    QVERIFY(w.Txt_gjz[0]->isEnabled());
    QVERIFY(w.Txt_gjz[1]->isEnabled());
}

void TestFrmmainOptions::saveDirectory_data()
{
    QTest::addColumn<QString>("typed"); // below the temp dir
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("refused");
    QTest::newRow("existing, no slash") << "books" << "books/" << false;
    QTest::newRow("existing, slash") << "books/" << "books/" << false;
    QTest::newRow("one new level") << "books/new" << "books/new/" << false;
    QTest::newRow("two new levels") << "books/a/b" << "books/a/b" << true;
    QTest::newRow("existing file") << "books/note.txt" << "books/note.txt/" << false;
}

void TestFrmmainOptions::saveDirectory()
{
    QFETCH(QString, typed);
    QFETCH(QString, result);
    QFETCH(bool, refused);
    Frmmain &w = *m_window;
    QVERIFY(QDir(m_temp.path()).mkpath(QStringLiteral("books")));
    QFile note(m_temp.filePath(QStringLiteral("books/note.txt")));
    QVERIFY(note.open(QIODevice::WriteOnly));
    note.close();
    const QString base = m_temp.path() + QLatin1Char('/');

    moveFocus(w.Txt_dir);
    w.Txt_dir->setText(base + typed);
    moveFocus(w.Txt_Next);

    QCOMPARE(w.Txt_dir->text(), base + result);
    QCOMPARE(m_prompt.notices,
             refused ? QStringList{QStringLiteral("输入目录非法，请重输!     ")} : QStringList{});
    QCOMPARE(QApplication::focusWidget(), refused ? w.Txt_dir : w.Txt_Next);
    QVERIFY(QFileInfo::exists(base + typed) != refused);

    // Leaving the box again repeats the check, once per leaving.
    moveFocus(w.Txt_Next);
    QCOMPARE(m_prompt.notices.size(), refused ? 2 : 0);
}

void TestFrmmainOptions::boxTakingFocusDoesNotRecheck()
{
    Frmmain &w = *m_window;
    // Stands in for the message box: a window of its own that takes the focus.
    QLineEdit box;
    box.setWindowTitle(QStringLiteral("提示"));
    m_prompt.setWhileOpen([&](const QString &) {
        box.show();
        box.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        box.setFocus();
        QCoreApplication::processEvents();
        box.hide();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    });

    moveFocus(w.Txt_dir);
    w.Txt_dir->setText(m_temp.filePath(QStringLiteral("x/y/z")));
    moveFocus(w.Txt_Next);
    QTest::qWait(300);
    QCOMPARE(m_prompt.notices.size(), 1);
    QTRY_COMPARE(QApplication::focusWidget(), w.Txt_dir);
    QTest::qWait(300);
    QCOMPARE(m_prompt.notices.size(), 1);
}

void TestFrmmainOptions::realBoxOpensOnce()
{
    // The window's own message boxes this time.
    FrmmainSeams seams;
    seams.programDirectory = m_temp.path();
    seams.shellWindows = &m_shell;
    m_window = std::make_unique<Frmmain>(seams);
    Frmmain &w = *m_window;
    QVERIFY(showActive(w));
    w.Cmd_setup->click();

    QStringList texts;
    qint64 boxIcon = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            if (!box->property("seen").toBool()) {
                box->setProperty("seen", true);
                texts << box->text();
                boxIcon = box->windowIcon().cacheKey();
                QTimer::singleShot(200, box, [box] { box->button(QMessageBox::Ok)->click(); });
            }
        }
    });
    closer.start(20);

    moveFocus(w.Txt_dir);
    w.Txt_dir->setText(m_temp.filePath(QStringLiteral("x/y/z")));
    moveFocus(w.Txt_Next);
    QTRY_COMPARE(texts.size(), 1);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    // The offscreen platform has no window manager to hand the activation
    // back once the box is gone.
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTRY_COMPARE(QApplication::focusWidget(), w.Txt_dir);
    QTest::qWait(1000);
    QCOMPARE(texts, QStringList{QStringLiteral("输入目录非法，请重输!     ")});
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(w.Txt_dir->text(), m_temp.filePath(QStringLiteral("x/y/z")));
    // The box carries the program's icon, as the window does.
    QVERIFY(!w.windowIcon().isNull());
    QCOMPARE(boxIcon, w.windowIcon().cacheKey());
}

void TestFrmmainOptions::deactivationDoesNotCheck()
{
    Frmmain &w = *m_window;
    moveFocus(w.Txt_dir);
    w.Txt_dir->setText(m_temp.filePath(QStringLiteral("x/y/z")));

    QLineEdit other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QTest::qWait(100);
    QVERIFY(m_prompt.notices.isEmpty());

    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTRY_COMPARE(QApplication::focusWidget(), w.Txt_dir);
    QVERIFY(m_prompt.notices.isEmpty());
    moveFocus(w.Txt_Next);
    QCOMPARE(m_prompt.notices.size(), 1);
}

void TestFrmmainOptions::tipFollowsText()
{
    Frmmain &w = *m_window;
    QCOMPARE(w.Txt_dir->text(), m_temp.path() + QLatin1Char('/'));
    const QString edited = m_temp.path() + QStringLiteral("/一个很长的目录名/下一层");
    w.Txt_dir->setText(edited);
    QTest::mouseMove(w.Txt_dir, QPoint(5, 5));
    QTRY_COMPARE(w.Txt_dir->toolTip(), edited);

    w.Txt_dir->setText(QStringLiteral("/tmp/"));
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(w.Txt_dir, &enter);
    QCOMPARE(w.Txt_dir->toolTip(), QStringLiteral("/tmp/"));
}

void TestFrmmainOptions::mergeBookWithoutLedger()
{
    Frmmain &w = *m_window;
    const QString status = w.Lab_bt->text();
    w.Cmd_hebing->click();
    QCOMPARE(m_prompt.shown,
             QStringList{QStringLiteral("保存路径中还没有提取记录 pagewick-log.tsv，无法合并成书!     ")});
    QCOMPARE(w.Lab_bt->text(), status);
    QVERIFY(!QFile::exists(m_temp.filePath(QDir(m_temp.path()).dirName() + QStringLiteral(".txt"))));
}

void TestFrmmainOptions::mergeBookAsksWithTheRealBox()
{
    QTemporaryDir program;
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile file(program.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write(QStringLiteral("pagewick-log.tsv"),
          "time\taddress\ttitle\tfile\tchars\tstatus\n"
          "2026-12-08T13:05:09+08:00\thttp://h/1\t\xE7\xAC\xAC\xE4\xB8\x80\xE7\xAB\xA0\t"
          "\xE7\xAC\xAC\xE4\xB8\x80\xE7\xAB\xA0.txt\t3\tsaved\n");
    write(QStringLiteral("第一章.txt"), QStringLiteral("第一章\r\n\r\n雨夜。\r\n").toUtf8());

    FrmmainSeams seams;
    seams.programDirectory = program.path();
    seams.shellWindows = &m_shell;
    m_window = std::make_unique<Frmmain>(seams);
    Frmmain &w = *m_window;
    QVERIFY(showActive(w));
    w.Cmd_setup->click();

    QStringList seen;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!box || box->property("seen").toBool())
            return;
        box->setProperty("seen", true);
        auto *label = box->findChild<QLabel *>();
        auto *name = box->findChild<QLineEdit *>();
        auto *keep = box->findChild<QCheckBox *>();
        if (!label || !name || !keep)
            return;
        seen << box->windowTitle() << label->text() << name->text() << keep->text()
             << (keep->isChecked() ? "ticked" : "not ticked");
        name->setText(QStringLiteral("雨夜集"));
        keep->setChecked(true);
        box->accept();
    });
    answerer.start(20);
    w.Cmd_hebing->click();

    QCOMPARE(seen, (QStringList{QStringLiteral("提示"), QStringLiteral("请输入书名："), QDir(program.path()).dirName(),
                                QStringLiteral("保留全部原文（不略去网站附加的行和重复的标题）"),
                                QStringLiteral("not ticked")}));
    QCOMPARE(w.Lab_bt->text(), QStringLiteral("已合并：雨夜集.txt、雨夜集.epub，共 1 章"));
    QFile book(program.filePath(QStringLiteral("雨夜集.txt")));
    QVERIFY(book.open(QIODevice::ReadOnly));
    QCOMPARE(book.readAll(), QStringLiteral("雨夜集\r\n\r\n第一章\r\n\r\n雨夜。\r\n").toUtf8());
    QVERIFY(QFile::exists(program.filePath(QStringLiteral("雨夜集.epub"))));
}

// The page interval row lies inside the grown panel, below the keyword
// boxes, on nothing else.
void TestFrmmainOptions::pageIntervalRowBelowTheKeywords()
{
    Frmmain &w = *m_window;
    const QRect panel = QRect(QPoint(), w.Frame1->size());
    const int keywordsEnd = w.Txt_gjz[1]->geometry().bottom();
    for (QWidget *control : {static_cast<QWidget *>(w.Lab_jiange), static_cast<QWidget *>(w.Spn_jiange),
                             static_cast<QWidget *>(w.Lab_miao)}) {
        QVERIFY(control->isVisible());
        QCOMPARE(control->parentWidget(), static_cast<QWidget *>(w.Frame1));
        QVERIFY(panel.contains(control->geometry()));
        QVERIFY(control->geometry().top() > keywordsEnd);
    }
    QVERIFY(!w.Lab_jiange->geometry().intersects(w.Spn_jiange->geometry()));
    QVERIFY(!w.Spn_jiange->geometry().intersects(w.Lab_miao->geometry()));
    // Typed in, as a user would; out-of-range input is held to the range.
    w.Spn_jiange->setFocus();
    w.Spn_jiange->selectAll();
    QTest::keyClicks(w.Spn_jiange, QStringLiteral("700"));
    QCOMPARE(w.Spn_jiange->value(), 70);
    w.Spn_jiange->setValue(700);
    QCOMPARE(w.Spn_jiange->value(), 600);
}

QTEST_MAIN(TestFrmmainOptions)
#include "tst_frmmain_options.moc"
