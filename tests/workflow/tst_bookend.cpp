#include "workflow/bookend.h"
#include "workflow/throttlepace.h"

#include <QtTest>

using pagewick::workflow::LoadedPage;
using pagewick::workflow::SavedChapters;

Q_DECLARE_METATYPE(LoadedPage)

namespace {

QString Chinese(int characters)
{
    QString text;
    while (text.size() < characters)
        text += QStringLiteral("夜色渐深，他推开门走了出去。");
    return text.left(characters);
}

// A page whose body shows `before`, then its links (text|href, one line
// each), then `after`; `hidden` links (text|href) are not shown.
LoadedPage Page(const QString &before, const QStringList &links, const QString &after,
                const QStringList &hidden = {})
{
    LoadedPage page;
    page.url = QStringLiteral("http://h/book/index.html");
    QStringList shown{before};
    page.document.all.append({QStringLiteral("BODY"), QString(), QString()});
    page.hrefs.append(QString());
    for (const QString &link : links + hidden) {
        const QStringList f = link.split(QLatin1Char('|'));
        page.document.all.append({QStringLiteral("A"), f.value(0), f.value(0)});
        page.hrefs.append(f.value(1));
        if (!hidden.contains(link))
            shown << f.value(0);
    }
    shown << after;
    page.document.bodyText = shown.join(QStringLiteral("\r\n"));
    return page;
}

QStringList ChapterLinks(int first, int last)
{
    QStringList links;
    for (int n = first; n <= last; ++n)
        links << QStringLiteral("第%1章 风雨|http://h/book/%1.html").arg(n);
    return links;
}

const QStringList kNav{QStringLiteral("首页|http://h/"), QStringLiteral("排行|http://h/top"),
                       QStringLiteral("书架|http://h/shelf")};

} // namespace

class TstBookEnd : public QObject
{
    Q_OBJECT

private slots:
    // The chain saved chapters 1 to 3 (http://h/book/N.html).
    void bookEnd_data()
    {
        QTest::addColumn<LoadedPage>("page");
        QTest::addColumn<bool>("hasNextLink");
        QTest::addColumn<bool>("end");

        const QStringList prevNext{QStringLiteral("上一章|http://h/book/3.html"),
                                   QStringLiteral("目录|http://h/book/index.html"),
                                   QStringLiteral("下一章|http://h/book/5.html")};
        QTest::newRow("contents of a short book")
            << Page(QStringLiteral("风雨 作者：某人"), kNav + ChapterLinks(1, 3), QStringLiteral("本站所有小说均来自网络"))
            << false << true;
        QTest::newRow("contents of a long book, nothing saved of it")
            << Page(QStringLiteral("风雨"), kNav + ChapterLinks(101, 160), QString()) << false << true;
        QTest::newRow("information page: synopsis and latest chapters")
            << Page(QStringLiteral("简介：") + Chinese(400), kNav + ChapterLinks(1, 3) + QStringList{"开始阅读|http://h/book/1.html"},
                    QString())
            << false << true;
        QTest::newRow("chapter with a sidebar of saved chapters")
            << Page(Chinese(1500), prevNext + QStringList{"最新章节|http://h/book/index.html"} + ChapterLinks(1, 3),
                    QString())
            << false << false;
        QTest::newRow("chapter text just long enough")
            << Page(Chinese(1000), prevNext + ChapterLinks(1, 3), QString()) << false << false;
        QTest::newRow("own text just short of a chapter")
            << Page(Chinese(999), prevNext + ChapterLinks(1, 3), QString()) << false << true;
        QTest::newRow("short chapter with a sidebar that leads on")
            << Page(Chinese(500), prevNext + ChapterLinks(1, 3), QString()) << true << false;
        QTest::newRow("contents page that leads on to its second page")
            << Page(QStringLiteral("风雨"), kNav + ChapterLinks(1, 60) + QStringList{"下一页|http://h/book/index_2.html"},
                    QString())
            << true << true;
        QTest::newRow("short page linking one saved chapter")
            << Page(Chinese(300), prevNext, QString()) << false << false;
        QTest::newRow("chapter with a hidden menu of many links")
            << Page(Chinese(1200), prevNext, QString(), ChapterLinks(10, 200)) << false << false;
        QTest::newRow("nine links and no text")
            << Page(QString(), kNav + ChapterLinks(20, 25), QString()) << false << false;
        QTest::newRow("ten links, a fifth of the text their own")
            << Page(Chinese(12), kNav + ChapterLinks(20, 26), QString()) << false << true;
        QTest::newRow("ten links, more of the text their own")
            << Page(Chinese(13), kNav + ChapterLinks(20, 26), QString()) << false << false;
    }
    void bookEnd()
    {
        QFETCH(LoadedPage, page);
        QFETCH(bool, hasNextLink);
        QFETCH(bool, end);
        SavedChapters saved;
        for (int n = 1; n <= 3; ++n)
            saved.add(QStringLiteral("http://h/book/%1.html#top").arg(n));
        QCOMPARE(pagewick::workflow::IsBookEnd(page, saved, hasNextLink), end);
    }

    // Signs of throttling (s) and clean pages (c, by the count): the
    // throttle's pause after each step.
    void throttlePace_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QList<int>>("seconds");
        QTest::newRow("first sign") << QStringList{"s"} << QList<int>{2};
        QTest::newRow("doubling up to a minute")
            << QStringList{"s", "s", "s", "s", "s", "s", "s"} << QList<int>{2, 4, 8, 16, 32, 60, 60};
        QTest::newRow("halved after 20 clean pages")
            << QStringList{"s", "s", "s", "19", "1", "20"} << QList<int>{2, 4, 8, 8, 4, 2};
        QTest::newRow("a sign restarts the count")
            << QStringList{"s", "s", "19", "s", "19", "1"} << QList<int>{2, 4, 4, 8, 8, 4};
        QTest::newRow("gone below two seconds") << QStringList{"s", "20", "s"} << QList<int>{2, 0, 2};
        QTest::newRow("clean pages alone do nothing") << QStringList{"40"} << QList<int>{0};
    }
    void throttlePace()
    {
        QFETCH(QStringList, steps);
        QFETCH(QList<int>, seconds);
        pagewick::workflow::ThrottlePace pace;
        QList<int> got;
        for (const QString &step : steps) {
            if (step == QLatin1String("s"))
                pace.sign();
            for (int k = 0; k < step.toInt(); ++k)
                pace.cleanPage();
            got << pace.seconds();
        }
        QCOMPARE(got, seconds);
        QCOMPARE(pace.intervalSeconds(pace.seconds() + 3), pace.seconds() + 3);
    }
};

QTEST_APPLESS_MAIN(TstBookEnd)
#include "tst_bookend.moc"
