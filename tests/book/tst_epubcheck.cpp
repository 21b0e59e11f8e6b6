// The EPUBs of the sample book and of a generated 300-chapter book pass
// epubcheck without any error or warning. epubcheck is a Java program that
// takes a second or two to start, so it runs once per book.
#include "book/mergebook.h"
#include "extract/titleclean.h"
#include "tests/book/bookdir.h"
#include "tests/support/scriptedprompt.h"
#include "workflow/filesystem.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace pagewick::book;

namespace {

const QDateTime kNow(QDate(2026, 12, 8), QTime(13, 30), Qt::UTC);

// The chapter files the save command leaves for the sample book: the cleaned
// title, an empty line, the paragraphs of the content block with empty lines
// between them.
void WriteSampleBook(BookDir &dir)
{
    QStringList ledger;
    for (int n = 1; n <= 5; ++n) {
        QFile page(QStringLiteral(PAGEWICK_SOURCE_DIR "/samples/book-utf8/ch%1.htm").arg(n, 2, 10, QLatin1Char('0')));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(page.readAll());
        static const QRegularExpression titleTag(QStringLiteral("<title>(.*?)</title>"));
        static const QRegularExpression block(QStringLiteral("<div id=\"content\">(.*?)</div>"),
                                              QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression paragraph(QStringLiteral("<p>(.*?)</p>"));
        const QString title = pagewick::extract::CleanPageTitle(titleTag.match(html).captured(1));
        QStringList paragraphs;
        for (auto it = paragraph.globalMatch(block.match(html).captured(1)); it.hasNext();)
            paragraphs << it.next().captured(1);
        QVERIFY(!title.isEmpty() && paragraphs.size() >= 10);
        dir.writeFile(title + ".txt", (title + "\r\n\r\n" + paragraphs.join("\r\n\r\n") + "\r\n").toUtf8());
        ledger << QStringLiteral("file:///book/ch%1.htm|%2|%2.txt|saved").arg(n).arg(title);
    }
    dir.writeLedger(ledger);
}

// Titles and text with what a web page can bring along: markup characters,
// controls, emoji, an empty title, an empty page, split chapters.
void WriteGeneratedBook(BookDir &dir, int chapters)
{
    QStringList ledger;
    int page = 0;
    for (int n = 1; n <= chapters; ++n) {
        QString title = QStringLiteral("第%1章 <风> & “雨”").arg(n);
        if (n == 7)
            title.clear();
        const int pages = n % 10 == 0 ? 3 : 1;
        for (int p = 0; p < pages; ++p) {
            const QString file = QStringLiteral("p%1.txt").arg(++page);
            QString text;
            for (int line = 0; line < 20; ++line)
                text += QStringLiteral("\u3000\u3000第%1行：他说“a<b && c>d”，\x01\x7f\u0085 😀 然后走了。\r\n\r\n").arg(line);
            if (n == 9)
                text.clear();
            dir.writeFile(file, ((n % 2 ? title : QStringLiteral("    ")) + "\r\n\r\n" + text).toUtf8());
            ledger << QStringLiteral("http://example.com/%1|%2|%3|%4")
                          .arg(QString::number(page), title, file, n == 9 ? QStringLiteral("empty") : QStringLiteral("saved"));
        }
    }
    dir.writeLedger(ledger);
}

// Runs epubcheck; its whole report when it is not clean.
QString EpubcheckProblems(const QString &epub)
{
    const QString jar = QStringLiteral(PAGEWICK_EPUBCHECK_JAR);
    const QString java = QStringLiteral(PAGEWICK_JAVA);
    if (jar.isEmpty() || java.isEmpty())
        return QStringLiteral("epubcheck or java missing: run scripts/install-deps.sh");
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    // A short run: the quick compiler alone and the simplest collector halve
    // the time the Java machine takes.
    process.start(java, {QStringLiteral("-XX:TieredStopAtLevel=1"), QStringLiteral("-XX:+UseSerialGC"),
                         QStringLiteral("-jar"), jar, epub});
    if (!process.waitForFinished(240000))
        return QStringLiteral("epubcheck did not finish");
    const QString report = QString::fromUtf8(process.readAll());
    const bool clean = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0
        && report.contains(QStringLiteral("No errors or warnings detected"))
        && !report.contains(QStringLiteral("WARNING")) && !report.contains(QStringLiteral("ERROR"));
    return clean ? QString() : report;
}

} // namespace

class TestEpubcheck : public QObject
{
    Q_OBJECT

private slots:
    void book_data();
    void book();
};

void TestEpubcheck::book_data()
{
    QTest::addColumn<int>("chapters"); // 0: the sample book
    QTest::addColumn<int>("expectedChapters");
    QTest::newRow("sample book") << 0 << 5;
    QTest::newRow("generated book of 300 chapters") << 300 << 300;
}

void TestEpubcheck::book()
{
    QFETCH(int, chapters);
    QFETCH(int, expectedChapters);
    BookDir dir;
    if (chapters == 0)
        WriteSampleBook(dir);
    else
        WriteGeneratedBook(dir, chapters);
    ScriptedPrompt prompt;
    prompt.queueTextAnswers({QStringLiteral("青石巷旧事")});

    QCOMPARE(MergeBookCommand(pagewick::workflow::realFileSystem(), prompt, dir.path(), kNow),
             QStringLiteral("已合并：青石巷旧事.txt、青石巷旧事.epub，共 %1 章").arg(expectedChapters));
    const QString problems = EpubcheckProblems(dir.path() + QStringLiteral("青石巷旧事.epub"));
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

QTEST_GUILESS_MAIN(TestEpubcheck)
#include "tst_epubcheck.moc"
