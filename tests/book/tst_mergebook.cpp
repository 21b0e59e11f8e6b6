// The "合并成书" command over a temporary save directory: what it asks, what
// it tells, which files it writes and what the status line then says.
#include "book/mergebook.h"
#include "tests/book/bookdir.h"
#include "tests/support/scriptedprompt.h"
#include "tests/workflow/localescope.h"
#include "workflow/filesystem.h"

#include <QFile>
#include <QStringEncoder>
#include <QTest>

using namespace pagewick::book;

namespace {

const QDateTime kNow(QDate(2026, 12, 8), QTime(13, 30), Qt::UTC);

QString Run(BookDir &dir, ScriptedPrompt &prompt)
{
    return MergeBookCommand(pagewick::workflow::realFileSystem(), prompt, dir.path(), kNow);
}

void WriteTwoChapters(BookDir &dir)
{
    dir.writeLedger({"http://h/1|第一章|第一章.txt|saved", "http://h/2|第二章|第二章.txt|saved",
                     "http://h/3|第二章|第二章(2).txt|saved"});
    dir.writeFile("第一章.txt", "第一章\r\n\r\n甲。\r\n");
    dir.writeFile("第二章.txt", "第二章\r\n\r\n乙。\r\n");
    dir.writeFile("第二章(2).txt", "第二章\r\n\r\n丙。\r\n");
}

} // namespace

class TestMergeBook : public QObject
{
    Q_OBJECT

private slots:
    void writesBothFiles();
    void nameQuestion_data();
    void nameQuestion();
    void nothingToMerge_data();
    void nothingToMerge();
    void failedWriteInTheStatusLine();
    void keepEverything();
    void textFileInTheLocaleCharacterSet_data();
    void textFileInTheLocaleCharacterSet();
    void defaultName_data();
    void defaultName();
};

void TestMergeBook::writesBothFiles()
{
    BookDir dir;
    WriteTwoChapters(dir);
    dir.writeFile("青石巷旧事.txt", "an earlier book, longer than the new one .........................................");
    dir.writeFile("青石巷旧事.epub", "not an EPUB");
    ScriptedPrompt prompt;
    prompt.queueTextAnswers({QStringLiteral("青石巷旧事")});

    QCOMPARE(Run(dir, prompt), QStringLiteral("已合并：青石巷旧事.txt、青石巷旧事.epub，共 2 章"));
    QCOMPARE(prompt.textQuestions, QStringList{kBookNameQuestion});
    QVERIFY(prompt.notices.isEmpty());
    QCOMPARE(dir.readFile("青石巷旧事.txt").value_or("<none>"),
             QStringLiteral("青石巷旧事\r\n\r\n第一章\r\n\r\n甲。\r\n\r\n\r\n第二章\r\n\r\n乙。\r\n\r\n丙。\r\n").toUtf8());
    QVERIFY(dir.readFile("青石巷旧事.epub").value_or(QByteArray()).startsWith("PK\x03\x04"));
    // No temporary file is left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 6);
}

void TestMergeBook::nameQuestion_data()
{
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::addColumn<QString>("file"); // empty: nothing written
    QTest::addColumn<QString>("notice");
    QTest::newRow("Cancel") << std::optional<QString>() << QString() << QString();
    QTest::newRow("empty name") << std::optional<QString>(QString()) << QString() << QString();
    QTest::newRow("blanks only") << std::optional<QString>(QStringLiteral("  \u3000")) << QString() << QString();
    QTest::newRow("blanks around the name")
        << std::optional<QString>(QStringLiteral(" 旧事 ")) << QStringLiteral("旧事") << QString();
    QTest::newRow("slash in the name")
        << std::optional<QString>(QStringLiteral("上/下")) << QStringLiteral("上\u2571下") << QString();
    QTest::newRow("name of a chapter file")
        << std::optional<QString>(QStringLiteral("第二章(2)")) << QString() << kNameTakenNotice;
}

void TestMergeBook::nameQuestion()
{
    QFETCH(std::optional<QString>, answer);
    QFETCH(QString, file);
    QFETCH(QString, notice);
    BookDir dir;
    WriteTwoChapters(dir);
    const QByteArray chapter = dir.readFile("第二章(2).txt").value_or("<none>");
    ScriptedPrompt prompt;
    prompt.queueTextAnswers({answer});

    const QString status = Run(dir, prompt);

    QCOMPARE(prompt.offeredTexts, QStringList{QDir(dir.path()).dirName()});
    QCOMPARE(prompt.notices, notice.isEmpty() ? QStringList{} : QStringList{notice});
    QCOMPARE(dir.readFile("第二章(2).txt").value_or("<none>"), chapter);
    if (file.isEmpty()) {
        QCOMPARE(status, QString());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 4);
        return;
    }
    QCOMPARE(status, QStringLiteral("已合并：%1.txt、%1.epub，共 2 章").arg(file));
    QVERIFY(dir.readFile(file + ".txt").value_or("").startsWith(file.toUtf8() + "\r\n\r\n第一章"));
    QVERIFY(dir.exists(file + ".epub"));
}

void TestMergeBook::nothingToMerge_data()
{
    QTest::addColumn<bool>("withLedger");
    QTest::addColumn<QString>("notice");
    QTest::newRow("no ledger") << false << kNoLedgerNotice;
    QTest::newRow("no saved page left") << true << kNoPagesNotice;
}

void TestMergeBook::nothingToMerge()
{
    QFETCH(bool, withLedger);
    QFETCH(QString, notice);
    BookDir dir;
    if (withLedger)
        dir.writeLedger({"http://h/1|第一章|第一章.txt|saved", "http://h/2|第二章||save-failed"});
    ScriptedPrompt prompt;
    prompt.queueTextAnswers({QStringLiteral("书")});

    QCOMPARE(Run(dir, prompt), QString());
    QCOMPARE(prompt.shown, QStringList{notice});
    QVERIFY(!dir.exists("书.txt"));
    QVERIFY(!dir.exists("书.epub"));
}

void TestMergeBook::failedWriteInTheStatusLine()
{
    BookDir dir;
    WriteTwoChapters(dir);
    dir.writeFile("书.epub", "kept");
    QVERIFY(QFile::setPermissions(dir.path() + "书.epub", QFile::ReadOwner));
    ScriptedPrompt prompt;
    prompt.queueTextAnswers({QStringLiteral("书")});

    QCOMPARE(Run(dir, prompt), QStringLiteral("合并失败：") + dir.path() + QStringLiteral("书.epub"));
    QVERIFY(dir.readFile("书.txt").value_or("").startsWith("\xE4\xB9\xA6\r\n"));
    QCOMPARE(dir.readFile("书.epub").value_or(""), QByteArray("kept"));
}

// Left out, listed, then kept with the tick box: the earlier list is
// replaced, since it no longer tells what the book lacks.
void TestMergeBook::keepEverything()
{
    const QString ad = QStringLiteral("一秒记住【某某小说网 www.xxxx.com】，精彩小说无弹窗免费阅读！");
    BookDir dir;
    dir.writeLedger({"http://h/1|第一章|1.txt|saved", "http://h/2|第二章|2.txt|saved", "http://h/3|第三章|3.txt|saved"});
    dir.writeFile("1.txt", ("第一章\r\n\r\n甲。\r\n\r\n" + ad + "\r\n").toUtf8());
    dir.writeFile("2.txt", ("第二章\r\n\r\n" + ad + "\r\n\r\n乙。\r\n").toUtf8());
    dir.writeFile("3.txt", ("第三章\r\n\r\n丙。\r\n\r\n" + ad + "\r\n\r\n丁。\r\n").toUtf8());
    ScriptedPrompt prompt;
    prompt.queueTextAnswers({QStringLiteral("书"), QStringLiteral("书")});
    prompt.queueChoiceAnswers({false, true});

    QCOMPARE(Run(dir, prompt), QStringLiteral("已合并：书.txt、书.epub，共 3 章，略去 1 种行（见 书.removed.txt）"));
    QCOMPARE(dir.readFile("书.txt").value_or(""),
             QByteArray("\xE4\xB9\xA6\r\n\r\n第一章\r\n\r\n甲。\r\n\r\n\r\n第二章\r\n\r\n乙。\r\n\r\n\r\n"
                        "第三章\r\n\r\n丙。\r\n\r\n丁。\r\n"));
    const QString listed = QString::fromUtf8(dir.readFile("书.removed.txt").value_or(""));
    QVERIFY2(listed.contains("\r\n" + ad + "\r\n    略去 3 次，在 3 章中：第 1–3 章\r\n"), qPrintable(listed));

    QCOMPARE(Run(dir, prompt), QStringLiteral("已合并：书.txt、书.epub，共 3 章"));
    QCOMPARE(prompt.choices, (QStringList{kKeepEverythingChoice, kKeepEverythingChoice}));
    QCOMPARE(QString::fromUtf8(dir.readFile("书.txt").value_or("")).count(ad), 3);
    QVERIFY(dir.readFile("书.removed.txt").value_or("").startsWith("《书》合并成书时略去的行：0 种\r\n"));
}

void TestMergeBook::textFileInTheLocaleCharacterSet_data()
{
    QTest::addColumn<QByteArray>("locale");
    QTest::addColumn<QByteArray>("charset");
    QTest::newRow("zh_CN.GBK") << QByteArray("zh_CN.GBK") << QByteArray("GBK");
    QTest::newRow("zh_CN.UTF-8") << QByteArray("zh_CN.UTF-8") << QByteArray("UTF-8");
}

void TestMergeBook::textFileInTheLocaleCharacterSet()
{
    QFETCH(QByteArray, locale);
    QFETCH(QByteArray, charset);
    LocaleScope scope(locale);
    QVERIFY2(scope.ok(), "locale missing: run scripts/test-locales.sh");
    QStringEncoder encode(charset.constData());

    // ASCII file names: the test writes names in UTF-8 whatever the locale.
    BookDir dir;
    dir.writeLedger({"http://h/1|第一章 雨夜来客|1.txt|saved"});
    dir.writeFile("1.txt", encode(QStringLiteral("第一章 雨夜来客\r\n\r\n雨下了一夜。\r\n")));
    ScriptedPrompt prompt;
    prompt.queueTextAnswers({QStringLiteral("book")});

    QCOMPARE(Run(dir, prompt), QStringLiteral("已合并：book.txt、book.epub，共 1 章"));
    const QByteArray expected = encode(QStringLiteral("book\r\n\r\n第一章 雨夜来客\r\n\r\n雨下了一夜。\r\n"));
    QCOMPARE(dir.readFile("book.txt").value_or("<none>"), expected);
}

void TestMergeBook::defaultName_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("name");
    QTest::newRow("final slash") << "/home/reader/书/青石巷旧事/" << "青石巷旧事";
    QTest::newRow("no final slash") << "/home/reader/青石巷旧事" << "青石巷旧事";
    QTest::newRow("doubled slashes") << "/home/reader//青石巷旧事//" << "青石巷旧事";
    QTest::newRow("root") << "/" << "";
}

void TestMergeBook::defaultName()
{
    QFETCH(QString, directory);
    QFETCH(QString, name);
    QCOMPARE(DefaultBookName(directory), name);
}

QTEST_APPLESS_MAIN(TestMergeBook)
#include "tst_mergebook.moc"
