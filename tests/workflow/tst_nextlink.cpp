#include "workflow/nextlink.h"
#include "workflow/pageaddress.h"

#include <QtTest>

using pagewick::extract::PageElement;
using pagewick::workflow::ChainMemory;
using pagewick::workflow::ChooseNextLink;
using pagewick::workflow::LoadedPage;
using pagewick::workflow::NextLinkChoice;

namespace {

// The link ChooseNextLink picks, as -1, its index, or its index followed by
// "#" when it is to be clicked only if written as a fragment.
QString Chosen(const NextLinkChoice &choice)
{
    if (choice.index < 0)
        return QStringLiteral("-1");
    return QString::number(choice.index) + (choice.onlyIfWrittenAsFragment ? QStringLiteral("#") : QString());
}

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
    void nextLinkNames_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("one name") << "下一页" << QStringList{"下一页"};
        QTest::newRow("two names in order") << "下一页|下一章" << QStringList{"下一页", "下一章"};
        QTest::newRow("order as written") << "下一章|下一页" << QStringList{"下一章", "下一页"};
        QTest::newRow("blanks kept") << " 下一页 | 下一章" << QStringList{" 下一页 ", " 下一章"};
        QTest::newRow("empty between bars left out") << "a||b" << QStringList{"a", "b"};
        QTest::newRow("leading and trailing bar") << "|a|" << QStringList{"a"};
        QTest::newRow("bars only") << "||" << QStringList{};
        QTest::newRow("empty text is one empty name") << "" << QStringList{""};
        QTest::newRow("full-width bar is no separator") << "下一页｜下一章" << QStringList{"下一页｜下一章"};
    }
    void nextLinkNames()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, names);
        QCOMPARE(pagewick::workflow::NextLinkNames(text), names);
    }

    // Several names: the first name that some link contains decides, and
    // within it the first link in document order.
    void firstLinkOfNames_data()
    {
        QTest::addColumn<QStringList>("elements");
        QTest::addColumn<QString>("names");
        QTest::addColumn<int>("index");

        const QStringList chapterEnd{"A|目录|目录|http://h/0", "A|下一章|下一章|http://h/c2",
                                     "A|上一页|上一页|http://h/p1"};
        const QStringList withinChapter{"A|下一章|下一章|http://h/c2", "A|下一页|下一页|http://h/p3"};
        QTest::newRow("first name absent, second found") << chapterEnd << "下一页|下一章" << 1;
        QTest::newRow("first name wins over an earlier link of the second")
            << withinChapter << "下一页|下一章" << 1;
        QTest::newRow("order written decides") << withinChapter << "下一章|下一页" << 0;
        QTest::newRow("neither name") << chapterEnd << "下页|下章" << -1;
        QTest::newRow("empty names left out") << chapterEnd << "||下一章|" << 1;
        QTest::newRow("first link of the deciding name")
            << QStringList{"A|下一章|下一章|http://h/c2", "A|下一章 >|下一章 &gt;|http://h/c2b"} << "下一页|下一章"
            << 0;
        QTest::newRow("markup of the second name")
            << QStringList{"A|目录|目录|http://h/0", "A||<IMG alt=\"下一章\">|http://h/c2"} << "下一页|下一章" << 1;
        QTest::newRow("one name as before") << withinChapter << "下一章" << 0;
    }
    void firstLinkOfNames()
    {
        QFETCH(QStringList, elements);
        QFETCH(QString, names);
        QFETCH(int, index);
        const LoadedPage page = Page(QStringLiteral("http://h/1"), elements);
        QCOMPARE(Chosen(ChooseNextLink(page, names, ChainMemory())), index < 0 ? QStringLiteral("-1") : QString::number(index));
    }

    // With the link-name box at its starting value, the usual names in
    // their order; chosen: the index, then the usual name it went by
    // ("rel" for rel="next"), none when found by the name in the box.
    void usualNames_data()
    {
        QTest::addColumn<QStringList>("elements");
        QTest::addColumn<QString>("names");
        QTest::addColumn<int>("relNext");
        QTest::addColumn<QString>("chosen");

        const QString start = QStringLiteral("下一页");
        const QStringList chapterSite{"A|上一章|上一章|http://h/0", "A|目录|目录|http://h/toc",
                                      "A|下一章|下一章|http://h/2"};
        QTest::newRow("下一章 when no 下一页") << chapterSite << start << -1 << "2 下一章";
        QTest::newRow("下一页 still first")
            << QStringList{"A|下一章|下一章|http://h/c2", "A|下一页|下一页|http://h/p2"} << start << -1 << "1";
        QTest::newRow("下一章 before an earlier 下一篇")
            << QStringList{"A|下一篇|下一篇|http://h/b", "A|下一章|下一章|http://h/c"} << start << -1 << "1 下一章";
        QTest::newRow("下章 before 下一篇")
            << QStringList{"A|下一篇|下一篇|http://h/b", "A|下章|下章|http://h/c"} << start << -1 << "1 下章";
        QTest::newRow("traditional 下一頁") << QStringList{"A|下一頁|下一頁|http://h/c"} << start << -1 << "0 下一頁";
        QTest::newRow("a typed name is used as typed") << chapterSite << "下一节" << -1 << "-1";
        QTest::newRow("start name with a blank is typed") << chapterSite << "下一页 " << -1 << "-1";
        QTest::newRow("Next<br>Chapter")
            << QStringList{"A|Previous\r\nChapter|Previous<BR>Chapter|http://h/0",
                           "A|Next\r\nChapter|Next<BR>Chapter|http://h/2"}
            << start << -1 << "1 Next Chapter";
        QTest::newRow("markup inside, runs of blanks")
            << QStringList{"A|Next  Chapter|<SPAN>Next</SPAN>\n   <SPAN>Chapter</SPAN>|http://h/2"} << start << -1
            << "0 Next Chapter";
        QTest::newRow("Next Chapter before an earlier Next")
            << QStringList{"A|Next|Next|http://h/comments2", "A|NEXT CHAPTER|NEXT CHAPTER|http://h/2"} << start
            << -1 << "1 Next Chapter";
        QTest::newRow("Next with an arrow")
            << QStringList{"A|« Prev|&laquo; Prev|http://h/0", "A|Next »|Next&nbsp;&raquo;|http://h/2"} << start
            << -1 << "1 Next";
        QTest::newRow("Next Work leads to another book")
            << QStringList{"A|Next Work →|Next Work →|http://h/w2"} << start << -1 << "-1";
        QTest::newRow("next story, any case")
            << QStringList{"A|next  story|next story|http://h/s2"} << start << -1 << "-1";
        QTest::newRow("Next inside a word") << QStringList{"A|Nextdoor|Nextdoor|http://h/n"} << start << -1 << "-1";
        QTest::newRow("rel=next last")
            << QStringList{"A|Older|Older|http://h/0", "A|»|»|http://h/2"} << start << 1 << "1 rel";
        QTest::newRow("a name before rel=next")
            << QStringList{"A|下一章|下一章|http://h/c", "A|»|»|http://h/2"} << start << 1 << "0 下一章";
    }
    void usualNames()
    {
        QFETCH(QStringList, elements);
        QFETCH(QString, names);
        QFETCH(int, relNext);
        QFETCH(QString, chosen);
        LoadedPage page = Page(QStringLiteral("http://h/1"), elements);
        page.relNextIndex = relNext;
        const NextLinkChoice choice = ChooseNextLink(page, names, ChainMemory());
        QString got = QString::number(choice.index);
        if (choice.usualName)
            got += QLatin1Char(' ') + (choice.usualName->isEmpty() ? QStringLiteral("rel") : *choice.usualName);
        QCOMPARE(got, chosen);
    }

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
    // reaching the page http://h/3, whose first next link leads to target
    // (resolved; empty without one). chosen: as Chosen() gives it.
    void leadingBack_data()
    {
        QTest::addColumn<QStringList>("followed");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("chosen");

        QTest::newRow("a new page") << QStringList{} << "http://h/4" << "0";
        QTest::newRow("the page itself") << QStringList{} << "http://h/3" << "-1";
        QTest::newRow("itself with a fragment: only if written #…") << QStringList{} << "http://h/3#end" << "0#";
        QTest::newRow("bare # on itself") << QStringList{} << "http://h/3#" << "0#";
        QTest::newRow("no target: a script link") << QStringList{} << "" << "0";
        QTest::newRow("same path, other query") << QStringList{} << "http://h/3?p=2" << "0";
        QTest::newRow("back to a page left earlier")
            << QStringList{"http://h/1", "http://h/2", "http://h/2", "http://h/3"} << "http://h/1" << "-1";
        QTest::newRow("to a link target followed earlier")
            << QStringList{"http://h/1", "http://h/go?2"} << "http://h/go?2" << "-1";
        QTest::newRow("script link on every page")
            << QStringList{"http://h/2", "javascript:next()"} << "javascript:next()" << "0";
        QTest::newRow("script link in any letter case") << QStringList{} << "JavaScript:void(0)" << "0";
        QTest::newRow("forward after several pages")
            << QStringList{"http://h/1", "http://h/2", "http://h/2", "http://h/3"} << "http://h/4" << "0";
        // A script link that brought the chain round to a page it had left.
        QTest::newRow("script link on a page left before")
            << QStringList{"http://h/3", "javascript:next()", "http://h/4", "javascript:next()"}
            << "javascript:next()" << "-1";
        QTest::newRow("no target on a page left before") << QStringList{"http://h/3", ""} << "" << "-1";
        QTest::newRow("fragment on a page left before") << QStringList{"http://h/3#top", ""} << "http://h/3#" << "-1";
        QTest::newRow("a page reached by a script link goes on")
            << QStringList{"http://h/2", ""} << "http://h/3#next" << "0#";
    }
    void leadingBack()
    {
        QFETCH(QStringList, followed);
        QFETCH(QString, target);
        QFETCH(QString, chosen);
        ChainMemory chain;
        for (int i = 0; i + 1 < followed.size(); i += 2)
            chain.recordFollowed(followed.at(i), followed.at(i + 1));
        const LoadedPage page = Page(QStringLiteral("http://h/3"),
                                     {QStringLiteral("A|下一页|下一页|") + target,
                                      QStringLiteral("A|下一页|下一页|http://h/9")});

        QCOMPARE(Chosen(ChooseNextLink(page, QStringLiteral("下一页"), chain)), chosen);
    }

    // By hand (no chain) only the page itself is refused: script links are clicked.
    void byHand_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("the page itself") << "http://h/3" << "-1";
        QTest::newRow("fragment") << "http://h/3#p" << "0#";
        QTest::newRow("no target") << "" << "0";
        QTest::newRow("javascript") << "javascript:;" << "0";
        QTest::newRow("a page left by hand before") << "http://h/1" << "0";
    }
    void byHand()
    {
        QFETCH(QString, target);
        QFETCH(QString, chosen);
        const LoadedPage page = Page(QStringLiteral("http://h/3"), {QStringLiteral("A|下一页|下一页|") + target});
        QCOMPARE(Chosen(ChooseNextLink(page, QStringLiteral("下一页"), ChainMemory())), chosen);
    }

    void clearedChainFollowsAgain()
    {
        ChainMemory chain;
        chain.recordFollowed(QStringLiteral("http://h/1"), QStringLiteral("http://h/2"));
        chain.clear();
        const LoadedPage page = Page(QStringLiteral("http://h/2"), {QStringLiteral("A|下一页|下一页|http://h/1")});

        QCOMPARE(ChooseNextLink(page, QStringLiteral("下一页"), chain).index, 0);
    }

    // Which next-page targets the chain may open by their address when the
    // click on them went unanswered.
    void opensAnotherPage_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("opens");
        QTest::newRow("another page") << "http://h/4.html" << true;
        QTest::newRow("https, Chinese path") << "https://h/%E7%AC%AC4%E7%AB%A0.html" << true;
        QTest::newRow("a file") << "file:///tmp/%E7%AC%AC4.htm" << true;
        QTest::newRow("a query of the page") << "http://h/3.html?p=2" << true;
        QTest::newRow("the page itself") << "http://h/3.html" << false;
        QTest::newRow("a place within the page") << "http://h/3.html#next" << false;
        QTest::newRow("script") << "javascript:next()" << false;
        QTest::newRow("no target") << "" << false;
        QTest::newRow("mail") << "mailto:a@h" << false;
    }
    void opensAnotherPage()
    {
        QFETCH(QString, target);
        QFETCH(bool, opens);
        QCOMPARE(pagewick::workflow::OpensAnotherPage(target, QStringLiteral("http://h/3.html")), opens);
    }
};

QTEST_GUILESS_MAIN(TstNextLink)
#include "tst_nextlink.moc"
