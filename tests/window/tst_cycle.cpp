#include "tests/support/enginetestutil.h"
#include "tests/support/windowfixture.h"
#include "tests/window/samplepages.h"
#include "tests/workflow/localescope.h"

#include "browser/webbrowser.h"
#include "text/eventyield.h"
#include "window/programinfo.h"
#include "window/richtextbox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QScopeGuard>
#include <QTest>
#include <QThread>
#include <QTimer>

using pagewick::browser::WebBrowser;
using pagewick::testsupport::WindowFixture;

namespace {

const QString kNotice =
    QStringLiteral("   可能你没有设置当前页的下页链接名称或者设置不对，或者是网页已经提取结束了，请检查!    ");
const QString kLoaded = QStringLiteral("网页加载完毕，要分析本页吗？     ");
const QString kSave = QStringLiteral("本页分析提取完毕，要保存提取结果吗？     ");
const QString kNext = QStringLiteral("提取结果保存完毕，要继续分析下页吗？     ");

// Long enough to be examined (and so to let events run), too short to win.
QString FillerDiv(int i)
{
    return QStringLiteral("<div>%1 这是一段不会入选的短文字，只是凑够五十个字符以上的长度。"
                          "这是一段不会入选的短文字，它比五十个字符长，又不到一百个字符。</div>")
        .arg(i);
}

QString FileOf(const QString &chapter)
{
    return ChapterTitle(chapter) + QStringLiteral(".txt");
}

} // namespace

class TstCycle : public QObject
{
    Q_OBJECT

public:
    static void initMain() { pagewick::testsupport::prepareEngine(); }

private slots:
    void silentModeCollectsTheBook_data()
    {
        QTest::addColumn<bool>("overHttp");
        QTest::newRow("over HTTP") << true;
        QTest::newRow("from files") << false;
    }
    void silentModeCollectsTheBook()
    {
        QFETCH(bool, overHttp);
        WindowFixture f;
        QVERIFY(f.ready());
        ServeSampleBook(f.server);
        f.setSilentMode(true);
        const QString base = overHttp ? f.server.url(QStringLiteral("/book/")).toString()
                                      : QStringLiteral("file://" PAGEWICK_SAMPLES_DIR "/book-utf8/");
        QStringList addressAtCompletion;
        QObject::connect(f.window().WebBrowser1, &WebBrowser::DocumentComplete, &f.window(), [&f, &addressAtCompletion] {
            addressAtCompletion << f.window().Combo1->currentText();
        });
        QString statusAtNotice;
        f.prompt.setWhileOpen([&](const QString &) { statusAtNotice = f.window().Lab_bt->text(); });

        f.window().Combo1->setEditText(base + QStringLiteral("ch01.htm"));
        f.window().Cmd_goto->click();
        QVERIFY(f.waitForNotices());
        pagewick::testsupport::processEventsFor(300);

        QCOMPARE(f.prompt.shown, QStringList{kNotice});
        QStringList expectedFiles;
        for (const QString &chapter : SampleChapters())
            expectedFiles << FileOf(chapter);
        expectedFiles.sort();
        QCOMPARE(f.savedFiles(), expectedFiles);
        for (const QString &chapter : SampleChapters())
            QCOMPARE(QString::fromUtf8(f.savedBytes(FileOf(chapter)).value_or("<none>")), ExpectedChapterText(chapter));
        QCOMPARE(f.window().windowTitle(), ChapterTitle(QStringLiteral("ch05.htm")) + QStringLiteral(" - 提取结束"));
        // Each chapter loaded once; the address box followed every page.
        for (const QString &chapter : SampleChapters())
            QCOMPARE(f.server.requestCount(QStringLiteral("/book/") + chapter), overHttp ? 1 : 0);
        QStringList expectedAddresses;
        for (const QString &chapter : SampleChapters())
            expectedAddresses << base + chapter;
        QCOMPARE(addressAtCompletion, expectedAddresses);
        QCOMPARE(f.window().Text1->text(), ExpectedChapterText(QStringLiteral("ch05.htm")));
        QCOMPARE(statusAtNotice, QStringLiteral("已保存：") + f.saveDirectory() + FileOf(QStringLiteral("ch05.htm")));
        QCOMPARE(f.window().Lab_bt->text(),
                 QStringLiteral("本次提取 5 页：已保存 5，空白 0，重复 0，失败 0（详见 pagewick-log.tsv）"));
    }

    // The book of a collected sample book: "合并成书" after a silent run
    // writes the text file byte for byte as expected, and the EPUB beside it.
    void mergedBookOfTheSampleBook()
    {
        WindowFixture f;
        QVERIFY(f.ready());
        ServeSampleBook(f.server);
        f.setSilentMode(true);
        f.startAt(QStringLiteral("/book/ch01.htm"));
        QVERIFY(f.waitForNotices());

        f.prompt.queueTextAnswers({QStringLiteral("青石巷旧事")});
        f.window().Cmd_setup->click();
        f.window().Cmd_hebing->click();

        QCOMPARE(f.prompt.textQuestions, QStringList{QStringLiteral("请输入书名：")});
        QCOMPARE(f.prompt.offeredTexts, QStringList{QDir(f.saveDirectory()).dirName()});
        QCOMPARE(f.prompt.shown.size(), 2); // the next-page notice, then the name
        QCOMPARE(f.window().Lab_bt->text(), QStringLiteral("已合并：青石巷旧事.txt、青石巷旧事.epub，共 5 章"));
        QFile expected(QStringLiteral(PAGEWICK_SOURCE_DIR "/tests/window/data/samplebook-merged.txt"));
        QVERIFY(expected.open(QIODevice::ReadOnly));
        QCOMPARE(f.savedBytes(QStringLiteral("青石巷旧事.txt")).value_or("<none>"), expected.readAll());
        QVERIFY(f.savedBytes(QStringLiteral("青石巷旧事.epub")).value_or("").startsWith("PK\x03\x04"));
    }

    void savedBytesFollowTheLocale_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<bool>("gbk");
        QTest::newRow("C") << QByteArray("C") << false;
        QTest::newRow("zh_CN.UTF-8") << QByteArray("zh_CN.UTF-8") << false;
        QTest::newRow("zh_CN.GBK") << QByteArray("zh_CN.GBK") << true;
    }
    void savedBytesFollowTheLocale()
    {
        QFETCH(QByteArray, locale);
        QFETCH(bool, gbk);
        LocaleScope scope(locale);
        QVERIFY2(scope.ok(), "locale missing: run scripts/test-locales.sh");
        WindowFixture f;
        QVERIFY(f.ready());
        ServeSampleBook(f.server);
        f.setSilentMode(true);
        f.window().Txt_Next->setText(QString());
        const QString chapter = QStringLiteral("ch01.htm");
        const QByteArray name = gbk ? pagewick::testsupport::encodeGbk(FileOf(chapter)) : FileOf(chapter).toUtf8();
        const QByteArray content = gbk ? pagewick::testsupport::encodeGbk(ExpectedChapterText(chapter))
                                       : ExpectedChapterText(chapter).toUtf8();
        QVERIFY(!name.isEmpty() && !content.isEmpty());

        f.startAt(QStringLiteral("/book/") + chapter);
        QVERIFY(f.waitForNotices());

        QCOMPARE(f.savedBytes(name).value_or("<none>"), content);
        QVERIFY(!content.startsWith("\xEF\xBB\xBF"));
    }

    // Paragraphs indented with &nbsp; keep their indents under GBK, which has
    // no U+00A0; a title too long for one file name is cut in the name only.
    void gbkKeepsNbspIndentsAndCutsLongNames()
    {
        LocaleScope scope("zh_CN.GBK");
        QVERIFY2(scope.ok(), "locale missing: run scripts/test-locales.sh");
        WindowFixture f;
        QVERIFY(f.ready());
        f.setSilentMode(true);
        const QString nbsp4 = QString(4, QChar(0x00A0));
        const QString sentence = QStringLiteral("风从河面上吹过来，带着一点潮湿的凉意。");
        const QString longTitle = QStringLiteral("第二章 ") + QString(140, QChar(0x957F));
        f.server.addPage(QStringLiteral("/nb/1.htm"),
                         ProsePage(QStringLiteral("第一章&nbsp;夜雨_书名"), QStringLiteral("<a href=\"2.htm\">下一页</a>"),
                                   QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;") + sentence));
        f.server.addPage(QStringLiteral("/nb/2.htm"),
                         ProsePage(QString(longTitle).replace(QLatin1Char(' '), QStringLiteral("&nbsp;")), QString(),
                                   nbsp4 + sentence));

        f.startAt(QStringLiteral("/nb/1.htm"));
        QVERIFY(f.waitForNotices());

        const QString crlf = QStringLiteral("\r\n");
        const QString body = QStringList(8, QStringLiteral("    ") + sentence).join(crlf + crlf) + crlf;
        const QByteArray first = f.savedBytes(pagewick::testsupport::encodeGbk(QStringLiteral("第一章 夜雨.txt")))
                                     .value_or("<none>");
        QCOMPARE(first, pagewick::testsupport::encodeGbk(QStringLiteral("第一章 夜雨") + crlf + crlf + body));
        // 255 bytes: "第二章 " takes 7, ".txt" 4, each of the others 2.
        const QByteArray secondName =
            pagewick::testsupport::encodeGbk(QStringLiteral("第二章 ") + QString(122, QChar(0x957F)) + ".txt");
        QCOMPARE(secondName.size(), 255);
        const QByteArray second = f.savedBytes(secondName).value_or("<none>");
        QCOMPARE(second, pagewick::testsupport::encodeGbk(longTitle + crlf + crlf + body));
        QVERIFY(!first.contains('?') && !second.contains('?'));
    }

    void answerModeAsksBeforeEachStep()
    {
        WindowFixture f;
        QVERIFY(f.ready());
        ServeSampleBook(f.server);
        f.setSilentMode(false);
        f.prompt.queueAnswers({true, true, true, true, false, false});

        f.startAt(QStringLiteral("/book/ch01.htm"));
        ENGINE_TRY_COMPARE(f.prompt.questions.size(), 6, 30000);
        pagewick::testsupport::processEventsFor(500);

        QCOMPARE(f.prompt.shown, (QStringList{kLoaded, kSave, kNext, kLoaded, kSave, kNext}));
        QCOMPARE(f.savedFiles(), QStringList{FileOf(QStringLiteral("ch01.htm"))});
        QCOMPARE(f.server.requestCount(QStringLiteral("/book/ch03.htm")), 0);
        QCOMPARE(f.window().Text1->text(), ExpectedChapterText(QStringLiteral("ch02.htm")));
    }

    void pageLoadedCancelLeavesThePage()
    {
        WindowFixture f;
        QVERIFY(f.ready());
        ServeSampleBook(f.server);
        f.prompt.queueAnswers({false});

        f.startAt(QStringLiteral("/book/ch01.htm"));
        ENGINE_TRY_COMPARE(f.prompt.questions.size(), 1, 30000);
        pagewick::testsupport::processEventsFor(300);

        QCOMPARE(f.prompt.shown, QStringList{kLoaded});
        QVERIFY(f.savedFiles().isEmpty());
        QVERIFY(f.window().Text1->text().isEmpty());
    }

    void answerModeSwitchedOnDuringASilentRun()
    {
        WindowFixture f;
        QVERIFY(f.ready());
        ServeSampleBook(f.server);
        f.setSilentMode(true);
        f.prompt.queueAnswers({true, false});
        QObject::connect(&f.window(), &QWidget::windowTitleChanged, &f.window(), [&f](const QString &caption) {
            if (caption.startsWith(QStringLiteral("第三章")) && caption.contains(QStringLiteral("正在处理中")))
                f.setSilentMode(false);
        });

        f.startAt(QStringLiteral("/book/ch01.htm"));
        ENGINE_TRY_COMPARE(f.prompt.questions.size(), 2, 30000);
        pagewick::testsupport::processEventsFor(500);

        QCOMPARE(f.prompt.shown, (QStringList{kSave, kNext}));
        QStringList expected{FileOf(QStringLiteral("ch01.htm")), FileOf(QStringLiteral("ch02.htm")),
                             FileOf(QStringLiteral("ch03.htm"))};
        expected.sort();
        QCOMPARE(f.savedFiles(), expected);
        // The fourth chapter was asked for as the third was read; declined,
        // its load was stopped and asked nothing (the prompts above).
        QVERIFY(f.server.requestCount(QStringLiteral("/book/ch04.htm")) <= 1);
    }

    // A save directory that takes no file stops the run at its first page,
    // instead of fetching the whole book for nothing.
    void failedSaveShowsInTheStatusLineAndStopsTheChain()
    {
        WindowFixture f;
        QVERIFY(f.ready());
        ServeSampleBook(f.server);
        f.setSilentMode(true);
        const QString missing = QStringLiteral("/nonexistent-pagewick-dir/");
        f.window().Txt_dir->setText(missing);
        QStringList statuses;
        f.prompt.setWhileOpen([&](const QString &) { statuses << f.window().Lab_bt->text(); });

        f.startAt(QStringLiteral("/book/ch01.htm"));
        QVERIFY(f.waitForNotices());
        pagewick::testsupport::processEventsFor(300);

        const QString file = missing + FileOf(QStringLiteral("ch01.htm"));
        QCOMPARE(f.prompt.shown.size(), 1);
        QVERIFY(f.prompt.shown.first().contains(file));
        QVERIFY(f.prompt.shown.first().contains(QStringLiteral("保存路径不存在")));
        // Asked for as the first chapter was read, and stopped with the chain.
        QVERIFY(f.server.requestCount(QStringLiteral("/book/ch02.htm")) <= 1);
        QCOMPARE(statuses, QStringList{QStringLiteral("保存失败：") + file});
        QCOMPARE(f.window().Lab_bt->text(), QStringLiteral("本次提取 1 页：已保存 0，空白 0，重复 0，失败 1"
                                                           "（记录文件 pagewick-log.tsv 有的行无法写入）"));
        QVERIFY(f.savedFiles().isEmpty());
    }

    void twoPagesWithOneTitleKeepBothFiles()
    {
        WindowFixture f;
        QVERIFY(f.ready());
        f.setSilentMode(true);
        const QString title = QStringLiteral("第六章 分页");
        f.server.addPage(QStringLiteral("/split/a.htm"),
                         ProsePage(title, QStringLiteral("<a href=\"b.htm\">下一页</a>"), QStringLiteral("上半章的文字，一句接一句。")));
        f.server.addPage(QStringLiteral("/split/b.htm"),
                         ProsePage(title, QString(), QStringLiteral("下半章的文字，一句接一句。")));

        f.startAt(QStringLiteral("/split/a.htm"));
        QVERIFY(f.waitForNotices());

        QCOMPARE(f.savedFiles(), (QStringList{title + QStringLiteral("(2).txt"), title + QStringLiteral(".txt")}));
        QVERIFY(QString::fromUtf8(f.savedBytes(title + QStringLiteral(".txt")).value_or("<none>")).contains(QStringLiteral("上半章")));
        QVERIFY(QString::fromUtf8(f.savedBytes(title + QStringLiteral("(2).txt")).value_or("<none>")).contains(QStringLiteral("下半章")));
    }

    void emptyLinkNameEndsTheChain()
    {
        WindowFixture f;
        QVERIFY(f.ready());
        ServeSampleBook(f.server);
        f.setSilentMode(true);
        f.window().Txt_Next->setText(QString());

        f.startAt(QStringLiteral("/book/ch01.htm"));
        QVERIFY(f.waitForNotices());
        pagewick::testsupport::processEventsFor(300);

        QCOMPARE(f.prompt.shown, QStringList{kNotice});
        QCOMPARE(f.savedFiles(), QStringList{FileOf(QStringLiteral("ch01.htm"))});
        QCOMPARE(f.server.requestCount(QStringLiteral("/book/ch02.htm")), 0);
    }

    // Page a leads to b, whose first next-page link is given.
    void linkBackEndsTheChain_data()
    {
        QTest::addColumn<QString>("lastLink");
        QTest::newRow("to itself, with a fragment") << "<a href=\"b.htm#top\">下一页</a>";
        QTest::newRow("to itself, empty target") << "<a href=\"\">下一页</a>";
        QTest::newRow("without a target") << "<a>下一页</a>";
        QTest::newRow("back to the first page") << "<a href=\"a.htm\">下一页</a>";
    }
    void linkBackEndsTheChain()
    {
        QFETCH(QString, lastLink);
        WindowFixture f;
        QVERIFY(f.ready());
        f.setSilentMode(true);
        f.server.addPage(QStringLiteral("/loop/a.htm"),
                         ProsePage(QStringLiteral("甲页"), QStringLiteral("<a href=\"b.htm\">下一页</a>")));
        f.server.addPage(QStringLiteral("/loop/b.htm"), ProsePage(QStringLiteral("乙页"), lastLink));

        f.startAt(QStringLiteral("/loop/a.htm"));
        QVERIFY(f.waitForNotices());
        pagewick::testsupport::processEventsFor(500);

        QCOMPARE(f.prompt.shown, QStringList{kNotice});
        QCOMPARE(f.server.requestCount(QStringLiteral("/loop/a.htm")), 1);
        QCOMPARE(f.server.requestCount(QStringLiteral("/loop/b.htm")), 1);
        QCOMPARE(f.savedFiles(), (QStringList{QStringLiteral("乙页.txt"), QStringLiteral("甲页.txt")}));
    }

    void closingEndsAWaitingRunPromptly()
    {
        WindowFixture f;
        QVERIFY(f.ready());
        f.server.holdPage(QStringLiteral("/held.htm"),
                          "<html><head><title>慢</title></head><body><p>还没有传完");
        f.startAt(QStringLiteral("/held.htm"));
        ENGINE_TRY_COMPARE(f.server.requestCount(QStringLiteral("/held.htm")), 1, 10000);
        pagewick::testsupport::processEventsFor(300);
        QCOMPARE(f.window().WebBrowser1->ReadyState(), 1);

        QTimer::singleShot(500, &f.window(), [&f] { f.window().close(); });
        QElapsedTimer clock;
        clock.start();
        f.window().Cmd_tiqu->click();
        const qint64 elapsed = clock.elapsed();

        QVERIFY2(elapsed < 3000, qPrintable(QStringLiteral("returned after %1 ms").arg(elapsed)));
        QVERIFY(elapsed >= 400);
        QVERIFY(f.window().Text1->text().isEmpty());
        QVERIFY(f.savedFiles().isEmpty());
        QVERIFY(!f.window().windowTitle().endsWith(QStringLiteral(" - 提取结束")));
    }

    void secondExtractDuringAScanSupersedesTheFirst()
    {
        WindowFixture f;
        QVERIFY(f.ready());
        QString filler;
        for (int i = 0; i < 300; ++i)
            filler += FillerDiv(i);
        f.server.addPage(QStringLiteral("/long.htm"), ProsePage(QStringLiteral("长页"), filler));
        f.prompt.queueAnswers({false, true, false});
        f.startAt(QStringLiteral("/long.htm"));
        ENGINE_TRY_COMPARE(f.prompt.questions.size(), 1, 30000);

        bool clickedAgain = false;
        QStringList captions;
        QObject::connect(&f.window(), &QWidget::windowTitleChanged, &f.window(), [&](const QString &caption) {
            captions << caption;
            if (!clickedAgain && caption.contains(QStringLiteral(" - 正在处理中 5"))) {
                clickedAgain = true;
                QTimer::singleShot(0, f.window().Cmd_tiqu, &QPushButton::click);
            }
        });
        f.window().Cmd_tiqu->click();

        QVERIFY(clickedAgain);
        QCOMPARE(f.prompt.shown, (QStringList{kLoaded, kSave, kNext}));
        QCOMPARE(f.savedFiles(), QStringList{QStringLiteral("长页.txt")});
        QCOMPARE(captions.constLast(), QStringLiteral("长页 - 提取结束"));
        QCOMPARE(captions.count(QStringLiteral("长页 - 提取结束")), 1);
        QVERIFY(f.window().Text1->text().startsWith(QStringLiteral("长页\r\n\r\n风从河面上")));
        QVERIFY(f.window().WebBrowser1->Silent());
    }

    // Another page completes while a silent run still scans the last one:
    // the newer page's run takes over and the chain goes on from there.
    void pageLoadedDuringAScanTakesOver()
    {
        WindowFixture f;
        QVERIFY(f.ready());
        f.setSilentMode(true);
        // A scan slow enough for the other page to arrive in the middle of it.
        pagewick::text::setYieldFunction([] {
            QThread::msleep(2);
            QCoreApplication::processEvents();
        });
        const auto restore = qScopeGuard([] { pagewick::text::setYieldFunction({}); });
        QString filler;
        for (int i = 0; i < 1000; ++i)
            filler += FillerDiv(i);
        f.server.addPage(QStringLiteral("/over/long.htm"), ProsePage(QStringLiteral("长页"), filler));
        f.server.addPage(QStringLiteral("/over/b.htm"),
                         ProsePage(QStringLiteral("乙页"), QStringLiteral("<a href=\"c.htm\">下一页</a>")));
        f.server.addPage(QStringLiteral("/over/c.htm"), ProsePage(QStringLiteral("丙页"), QString()));
        bool navigated = false;
        QObject::connect(&f.window(), &QWidget::windowTitleChanged, &f.window(), [&](const QString &caption) {
            if (!navigated && caption.startsWith(QStringLiteral("长页 - 正在处理中 1"))) {
                navigated = true;
                f.window().WebBrowser1->Navigate(f.server.url(QStringLiteral("/over/b.htm")).toString());
            }
        });

        f.startAt(QStringLiteral("/over/long.htm"));
        QVERIFY(f.waitForNotices());
        pagewick::testsupport::processEventsFor(300);

        QVERIFY(navigated);
        QCOMPARE(f.prompt.shown, QStringList{kNotice});
        QCOMPARE(f.savedFiles(), (QStringList{QStringLiteral("丙页.txt"), QStringLiteral("乙页.txt")}));
        QCOMPARE(f.window().windowTitle(), QStringLiteral("丙页 - 提取结束"));
    }
};

PAGEWICK_ENGINE_TEST_MAIN(TstCycle)
#include "tst_cycle.moc"
