#include "workflow/nextlink.h"

#include <QtTest>

using pagewick::extract::PageElement;
using pagewick::workflow::ChainMemory;
using pagewick::workflow::LoadedPage;
using pagewick::workflow::NextLinkToFollow;

namespace {

// "TAG|innerText|innerHTML|href" per element.
LoadedPage Page(const QString &url, const QStringList &elements)
{
    LoadedPage page;
    page.url = url;
    for (const QString &e : elements) {
        const QStringList f = e.split(QLatin1Char('|'));
        page.document.all.append(PageElement{f.value(0), f.value(1), f.value(2)});
        page.hrefs.append(f.value(3));
    }
    return page;
}

} // namespace

class TstNextLink : public QObject
{
    Q_OBJECT

private slots:
    void firstLinkNamed_data()
    {
        QTest::addColumn<QStringList>("elements");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");

        const QString next = QStringLiteral("下一页");
        QTest::newRow("text of a link")
            << QStringList{"BODY|目录 下一页|x|", "A|目录|目录|http://h/0", "A|下一页|下一页|http://h/2"}
            << next << 2;
        QTest::newRow("among other characters")
            << QStringList{"A|【下一页】→|【下一页】→|http://h/2"} << next << 0;
        QTest::newRow("image alternative text in the markup")
            << QStringList{"A||<IMG alt=\"下一页\" src=\"n.gif\">|http://h/2"} << next << 0;
        QTest::newRow("image file name in the markup")
            << QStringList{"A||<IMG src=\"next.gif\">|http://h/2"} << "next.gif" << 0;
        QTest::newRow("escaped in the markup, plain in the text")
            << QStringList{"A|下页>>|下页&gt;&gt;|http://h/2"} << "下页>>" << 0;
        QTest::newRow("ampersand only through the text")
            << QStringList{"A|下&页|下&amp;页|http://h/2"} << "下&页" << 0;
        QTest::newRow("escaped form matches the markup")
            << QStringList{"A|下&页|下&amp;页|http://h/2"} << "&amp;" << 0;
        QTest::newRow("lower-case tag name") << QStringList{"a|下一页|下一页|http://h/2"} << next << 0;
        QTest::newRow("button never matches")
            << QStringList{"BUTTON|下一页|下一页|", "SPAN|下一页|下一页|"} << next << -1;
        QTest::newRow("ABBR is not A") << QStringList{"ABBR|下一页|下一页|"} << next << -1;
        QTest::newRow("first of several wins")
            << QStringList{"A|下一页|下一页|http://h/ad", "A|下一页|下一页|http://h/2"} << next << 0;
        QTest::newRow("case-sensitive") << QStringList{"A|Next|Next|http://h/2"} << "next" << -1;
        QTest::newRow("full-width is not half-width")
            << QStringList{"A|Ｎｅｘｔ|Ｎｅｘｔ|http://h/2"} << "Next" << -1;
        QTest::newRow("white space not collapsed")
            << QStringList{"A|下 一页|下 一页|http://h/2"} << next << -1;
        QTest::newRow("name kept untrimmed")
            << QStringList{"A|下一页|下一页|http://h/2"} << " 下一页" << -1;
        QTest::newRow("empty name matches nothing")
            << QStringList{"A|目录|目录|http://h/0"} << "" << -1;
        QTest::newRow("no link at all") << QStringList{"BODY|下一页|下一页|"} << next << -1;
        QTest::newRow("empty page") << QStringList{} << next << -1;
    }
    void firstLinkNamed()
    {
        QFETCH(QStringList, elements);
        QFETCH(QString, name);
        QFETCH(int, index);
        QCOMPARE(pagewick::workflow::FirstLinkNamed(Page(QStringLiteral("http://h/1"), elements).document, name),
                 index);
    }

    // The chain followed "followed" (pairs of page and target) before
    // reaching the page http://h/3, whose first next link leads to target.
    void leadingBack_data()
    {
        QTest::addColumn<QStringList>("followed");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("follows");

        QTest::newRow("a new page") << QStringList{} << "http://h/4" << true;
        QTest::newRow("the page itself") << QStringList{} << "http://h/3" << false;
        QTest::newRow("itself with a fragment") << QStringList{} << "http://h/3#end" << false;
        QTest::newRow("no target") << QStringList{} << "" << false;
        QTest::newRow("same path, other query") << QStringList{} << "http://h/3?p=2" << true;
        QTest::newRow("back to a page left earlier")
            << QStringList{"http://h/1", "http://h/2", "http://h/2", "http://h/3"} << "http://h/1" << false;
        QTest::newRow("to a link target followed earlier")
            << QStringList{"http://h/1", "http://h/go?2"} << "http://h/go?2" << false;
        QTest::newRow("script link on every page")
            << QStringList{"http://h/2", "javascript:next()"} << "javascript:next()" << true;
        QTest::newRow("forward after several pages")
            << QStringList{"http://h/1", "http://h/2", "http://h/2", "http://h/3"} << "http://h/4" << true;
    }
    void leadingBack()
    {
        QFETCH(QStringList, followed);
        QFETCH(QString, target);
        QFETCH(bool, follows);
        ChainMemory chain;
        for (int i = 0; i + 1 < followed.size(); i += 2)
            chain.recordFollowed(followed.at(i), followed.at(i + 1));
        const LoadedPage page = Page(QStringLiteral("http://h/3"),
                                     {QStringLiteral("A|下一页|下一页|") + target,
                                      QStringLiteral("A|下一页|下一页|http://h/9")});

        QCOMPARE(NextLinkToFollow(page, QStringLiteral("下一页"), chain), follows ? 0 : -1);
    }

    void clearedChainFollowsAgain()
    {
        ChainMemory chain;
        chain.recordFollowed(QStringLiteral("http://h/1"), QStringLiteral("http://h/2"));
        chain.clear();
        const LoadedPage page = Page(QStringLiteral("http://h/2"), {QStringLiteral("A|下一页|下一页|http://h/1")});

        QCOMPARE(NextLinkToFollow(page, QStringLiteral("下一页"), chain), 0);
    }
};

QTEST_GUILESS_MAIN(TstNextLink)
#include "tst_nextlink.moc"
