// The ledger in the program's real window: the lines a chain leaves, its
// summary, files kept apart across program runs, and "接着上次".
#include "tests/support/enginetestutil.h"
#include "tests/support/windowfixture.h"
#include "tests/window/samplepages.h"

#include "workflow/ledger.h"
#include "workflow/workflowcontroller.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using pagewick::testsupport::WindowFixture;
using pagewick::workflow::LedgerEntry;

namespace {

const QString kNotice =
    QStringLiteral("   可能你没有设置当前页的下页链接名称或者设置不对，或者是网页已经提取结束了，请检查!    ");

QString NextLink(int page)
{
    return QStringLiteral("<a href=\"%1.htm\">下一页</a>").arg(page);
}

// Nothing the detection takes: the page is saved with its title alone.
QByteArray EmptyPage(const QString &title, const QString &extraBody)
{
    return (QStringLiteral("<html><head><meta charset=\"utf-8\"><title>") + title
            + QStringLiteral("</title></head><body><p>本章缺失</p>") + extraBody + QStringLiteral("</body></html>"))
        .toUtf8();
}

// Chapter n of a book whose every page cleans to one title.
void ServeSameTitleChapter(WindowFixture &f, const QString &prefix, int n, int last)
{
    f.server.addPage(prefix + QStringLiteral("%1.htm").arg(n),
                     ProsePage(QStringLiteral("同名书"), n < last ? NextLink(n + 1) : QString(),
                               QStringLiteral("第%1章的文字，一句接一句，写得很长。").arg(n)));
}

QStringList Column(const QList<LedgerEntry> &lines, QString LedgerEntry::*field)
{
    QStringList values;
    for (const LedgerEntry &line : lines)
        values << line.*field;
    return values;
}

// The address of each saved file, by its content's sentence.
bool HoldsChapter(WindowFixture &f, const QString &file, int n)
{
    return QString::fromUtf8(f.savedBytes(file).value_or("<none>"))
        .contains(QStringLiteral("第%1章的文字").arg(n));
}

} // namespace

class TstLedgerChain : public QObject
{
    Q_OBJECT

public:
    static void initMain() { pagewick::testsupport::prepareEngine(); }

private slots:
    void chainWithAnEmptyAndARepeatedPage()
    {
        WindowFixture f;
        QVERIFY(f.ready());
        f.setSilentMode(true);
        const QString same = QStringLiteral("同一段文字，一句接一句，写得很长。");
        f.server.addPage(QStringLiteral("/r/1.htm"), ProsePage(QStringLiteral("第一章"), NextLink(2), same));
        f.server.addPage(QStringLiteral("/r/2.htm"), ProsePage(QStringLiteral("第二章"), NextLink(3), same));
        f.server.addPage(QStringLiteral("/r/3.htm"), EmptyPage(QStringLiteral("第三章"), NextLink(4)));
        f.server.addPage(QStringLiteral("/r/4.htm"), ProsePage(QStringLiteral("第四章"), QString()));
        QString statusAtNotice;
        f.prompt.setWhileOpen([&](const QString &) { statusAtNotice = f.window().Lab_bt->text(); });

        f.startAt(QStringLiteral("/r/1.htm"));
        QVERIFY(f.waitForNotices());

        const QList<LedgerEntry> lines = f.ledger();
        QCOMPARE(Column(lines, &LedgerEntry::status), (QStringList{"saved", "repeat", "empty", "saved"}));
        QCOMPARE(Column(lines, &LedgerEntry::file),
                 (QStringList{"第一章.txt", "第二章.txt", "第三章.txt", "第四章.txt"}));
        QCOMPARE(Column(lines, &LedgerEntry::title), (QStringList{"第一章", "第二章", "第三章", "第四章"}));
        QStringList addresses;
        for (int n = 1; n <= 4; ++n)
            addresses << f.server.url(QStringLiteral("/r/%1.htm").arg(n)).toString();
        QCOMPARE(Column(lines, &LedgerEntry::address), addresses);
        QCOMPARE(lines.at(2).chars, qint64(0));
        QVERIFY(lines.at(0).chars > 100);
        QCOMPARE(lines.at(1).chars, lines.at(0).chars);
        QCOMPARE(lines.at(0).time.size(), QStringLiteral("2026-12-08T13:05:09+08:00").size());
        // The notice is as ever; the summary follows it.
        QCOMPARE(f.prompt.notices, QStringList{kNotice});
        QCOMPARE(statusAtNotice, QStringLiteral("已保存：") + f.saveDirectory() + QStringLiteral("第四章.txt"));
        QCOMPARE(f.window().Lab_bt->text(),
                 QStringLiteral("本次提取 4 页：已保存 2，空白 1，重复 1，失败 0（详见 pagewick-log.tsv）"));
    }

    void twoRunsOnOneDirectoryKeepEveryFile()
    {
        WindowFixture f;
        QVERIFY(f.ready());
        for (int n = 1; n <= 3; ++n)
            ServeSameTitleChapter(f, QStringLiteral("/a/"), n, 3);
        for (int n = 4; n <= 5; ++n)
            ServeSameTitleChapter(f, QStringLiteral("/b/"), n, 5);
        f.setSilentMode(true);
        f.startAt(QStringLiteral("/a/1.htm"));
        QVERIFY(f.waitForNotices(1));
        QCOMPARE(f.savedFiles(), (QStringList{"同名书(2).txt", "同名书(3).txt", "同名书.txt"}));

        QVERIFY(f.reopenWindow());
        f.setSilentMode(true);
        f.startAt(QStringLiteral("/b/4.htm"));
        QVERIFY(f.waitForNotices(2));

        QCOMPARE(f.savedFiles(),
                 (QStringList{"同名书(2).txt", "同名书(3).txt", "同名书(4).txt", "同名书(5).txt", "同名书.txt"}));
        QVERIFY(HoldsChapter(f, QStringLiteral("同名书.txt"), 1));
        QVERIFY(HoldsChapter(f, QStringLiteral("同名书(2).txt"), 2));
        QVERIFY(HoldsChapter(f, QStringLiteral("同名书(3).txt"), 3));
        QVERIFY(HoldsChapter(f, QStringLiteral("同名书(4).txt"), 4));
        QVERIFY(HoldsChapter(f, QStringLiteral("同名书(5).txt"), 5));
        QCOMPARE(f.ledger().size(), 5);
        QCOMPARE(f.window().Lab_bt->text(),
                 QStringLiteral("本次提取 2 页：已保存 2，空白 0，重复 0，失败 0（详见 pagewick-log.tsv）"));
    }

    void continueLaterFetchesTheNewChapters()
    {
        WindowFixture f;
        QVERIFY(f.ready());
        f.setSilentMode(true);
        f.window().Cmd_jiezhe->click();
        QCOMPARE(f.prompt.notices, QStringList{pagewick::workflow::NothingCollectedNotice()});
        for (int n = 1; n <= 3; ++n)
            ServeSameTitleChapter(f, QStringLiteral("/c/"), n, 3);
        f.startAt(QStringLiteral("/c/1.htm"));
        QVERIFY(f.waitForNotices(2));
        QCOMPARE(f.savedFiles(), (QStringList{"同名书(2).txt", "同名书(3).txt", "同名书.txt"}));

        // The site adds two chapters; the last one gets its next link.
        for (int n = 3; n <= 5; ++n)
            ServeSameTitleChapter(f, QStringLiteral("/c/"), n, 5);
        QVERIFY(f.reopenWindow());
        f.setSilentMode(true);
        f.window().Cmd_jiezhe->click();
        QVERIFY(f.waitForNotices(3));

        QCOMPARE(f.prompt.notices.constLast(), kNotice);
        QCOMPARE(f.server.requestCount(QStringLiteral("/c/3.htm")), 2);
        QCOMPARE(f.server.requestCount(QStringLiteral("/c/1.htm")), 1);
        QCOMPARE(f.savedFiles(),
                 (QStringList{"同名书(2).txt", "同名书(3).txt", "同名书(4).txt", "同名书(5).txt", "同名书.txt"}));
        QVERIFY(HoldsChapter(f, QStringLiteral("同名书(3).txt"), 3));
        QVERIFY(HoldsChapter(f, QStringLiteral("同名书(4).txt"), 4));
        QVERIFY(HoldsChapter(f, QStringLiteral("同名书(5).txt"), 5));
        QCOMPARE(Column(f.ledger(), &LedgerEntry::file),
                 (QStringList{"同名书.txt", "同名书(2).txt", "同名书(3).txt", "同名书(3).txt", "同名书(4).txt",
                              "同名书(5).txt"}));
        QCOMPARE(f.window().Lab_bt->text(),
                 QStringLiteral("本次提取 3 页：已保存 3，空白 0，重复 0，失败 0（详见 pagewick-log.tsv）"));
    }
};

PAGEWICK_ENGINE_TEST_MAIN(TstLedgerChain)
#include "tst_ledgerchain.moc"
