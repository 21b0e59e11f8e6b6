// The document read in bounded pieces: the assembly of fabricated answers,
// and the real scripts in the engine, whose result must equal the
// one-round-trip read whatever the piece size.
#include "browser/chunkedread.h"
#include "browser/documentscripts.h"
#include "tests/support/enginetestutil.h"
#include "tests/support/loopbackserver.h"

#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>

namespace chunked = pagewick::browser::chunked;
namespace scripts = pagewick::browser::scripts;
using pagewick::workflow::LoadedPage;
using pagewick::workflow::ReadParts;

namespace {

const quint32 kWorld = QWebEngineScript::ApplicationWorld;

// Surrogate pairs, LF breaks and empty elements at many offsets, so that
// small pieces cut everywhere.
QByteArray TrickyPage()
{
    QString body;
    for (int i = 0; i < 3; ++i)
        body += QStringLiteral("<div>行%1😀a<br>b😀😀<br><br>c</div><p></p><a href=\"/n%1\">下一页😀</a>").arg(i);
    return (QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>标题😀</title>"
                           "</head><body>")
            + body + QStringLiteral("<pre>x\ny\r\nz</pre></body></html>"))
        .toUtf8();
}

void ComparePages(const LoadedPage &actual, const LoadedPage &expected)
{
    QCOMPARE(actual.url, expected.url);
    QCOMPARE(actual.document.title, expected.document.title);
    QCOMPARE(actual.document.bodyText, expected.document.bodyText);
    QCOMPARE(actual.hrefs, expected.hrefs);
    QCOMPARE(actual.document.all.size(), expected.document.all.size());
    for (qsizetype i = 0; i < actual.document.all.size(); ++i) {
        const auto &a = actual.document.all.at(i);
        const auto &e = expected.document.all.at(i);
        QCOMPARE(a.tagName, e.tagName);
        QCOMPARE(a.innerText, e.innerText);
        QCOMPARE(a.innerHTML, e.innerHTML);
        QCOMPARE(a.measures.has_value(), e.measures.has_value());
    }
}

QVariantList List(std::initializer_list<QVariant> items)
{
    return QVariantList(items);
}

// An answer as the page sends it: the first `head` items as they are, the
// pieces after them as their comma-separated lengths and their joined text.
QVariantList Packed(const QVariantList &items, int head)
{
    QVariantList out = items.mid(0, head);
    QStringList lengths;
    QString data;
    for (const QVariant &piece : items.mid(head)) {
        lengths << QString::number(piece.toString().size());
        data += piece.toString();
    }
    out << lengths.join(QLatin1Char(',')) << data;
    return out;
}
// The first answer: token, field count, stamp, next field, next offset, pieces.
QVariantList First(std::initializer_list<QVariant> items)
{
    return Packed(QVariantList(items), 5);
}
// A later answer: next field, next offset, pieces.
QVariantList Later(std::initializer_list<QVariant> items)
{
    return Packed(QVariantList(items), 2);
}

} // namespace

class TestChunkedRead : public QObject
{
    Q_OBJECT

public:
    static void initMain() { pagewick::testsupport::prepareEngine(); }

private slots:
    void assemblesPiecesAcrossFields();
    void breakCutBetweenPiecesStaysOne_data();
    void breakCutBetweenPiecesStaysOne();
    void rejectsMalformedAnswers_data();
    void rejectsMalformedAnswers();

    void initTestCase();
    void matchesOneRoundTripRead_data();
    void matchesOneRoundTripRead();
    void loneSurrogateHalvesBecomeReplacements_data();
    void loneSurrogateHalvesBecomeReplacements();
    void keptAnswerIsDroppedAndHiddenFromPage();
    void replacedDocumentEndsRead();
    void selectedReadKeepsPositions_data();
    void selectedReadKeepsPositions();

private:
    std::optional<LoadedPage> readInPieces(QWebEnginePage &page, int budget, int *trips,
                                           const ReadParts &parts = ReadParts::everything());

    pagewick::testsupport::LoopbackServer m_server;
};

void TestChunkedRead::assemblesPiecesAcrossFields()
{
    chunked::Assembler read;
    // 9 fields: url, title, body flag, body text, one element.
    QVERIFY(read.begin(First({"tok", 9, "s", 1, 2, "http://h/", "ti"})));
    QVERIFY(!read.finished());
    QCOMPARE(read.token(), QStringLiteral("tok"));
    QCOMPARE(read.stamp(), QStringLiteral("s"));
    QCOMPARE(read.nextField(), 1);
    QCOMPARE(read.nextOffset(), 2);
    QVERIFY(read.feed(Later({3, 0, "tle", "1"})));
    QVERIFY(read.feed(Later({5, 0, "a\nb", "DIV"})));
    QVERIFY(read.feed(Later({6, 0, "x\ny"})));
    QVERIFY(read.feed(Later({8, 0, "<BR>", "http://h/n"})));
    QVERIFY(!read.finished());
    QVERIFY(read.feed(Later({9, 0, "2,3,1,0,0,1,0,0"})));
    QVERIFY(read.finished());
    const auto doc = read.take();
    QVERIFY(doc);
    QCOMPARE(doc->url, QStringLiteral("http://h/"));
    QCOMPARE(doc->document.title, QStringLiteral("title"));
    QCOMPARE(doc->document.bodyText, std::optional<QString>(QStringLiteral("a\r\nb")));
    QCOMPARE(doc->document.all.size(), 1);
    QCOMPARE(doc->hrefs, QStringList{QStringLiteral("http://h/n")});
    const auto &e = doc->document.all.at(0);
    QCOMPARE(e.tagName, QStringLiteral("DIV"));
    QCOMPARE(e.innerText, QStringLiteral("x\r\ny"));
    QCOMPARE(e.innerHTML, QStringLiteral("<BR>"));
    QVERIFY(e.measures);
    QCOMPARE(e.measures->trimmedLength, 2);
    QCOMPARE(e.measures->textLength, 3);
    QCOMPARE(e.measures->hyphens, 1);
    QCOMPARE(e.measures->tagCount, 1);
    // Taken once.
    QVERIFY(!read.take());
}

void TestChunkedRead::breakCutBetweenPiecesStaysOne_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("expected");
    QTest::newRow("CR | LF") << "a\r" << "\nb" << "a\r\nb";
    QTest::newRow("text | LF") << "a" << "\nb" << "a\r\nb";
    QTest::newRow("LF | LF") << "a\n" << "\nb" << "a\r\n\r\nb";
    QTest::newRow("CR | text") << "a\r" << "b" << "a\rb";
}

void TestChunkedRead::breakCutBetweenPiecesStaysOne()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, expected);
    chunked::Assembler read;
    QVERIFY(read.begin(First({"t", 4, "s", 3, first.size(), "u", "t", "1", first})));
    QVERIFY(read.feed(Later({4, 0, second})));
    const auto doc = read.take();
    QVERIFY(doc);
    QCOMPARE(doc->document.bodyText, std::optional<QString>(expected));
}

void TestChunkedRead::rejectsMalformedAnswers_data()
{
    QTest::addColumn<QVariant>("first");
    QTest::addColumn<QVariant>("second"); // invalid: no second answer
    QTest::newRow("no answer") << QVariant() << QVariant();
    QTest::newRow("not a list") << QVariant(QStringLiteral("x")) << QVariant();
    QTest::newRow("stamp not text") << QVariant(First({"t", 4, 1, 4, 0, "u", "t", "", ""})) << QVariant();
    QTest::newRow("token not text") << QVariant(First({1, 4, "s", 4, 0, "u", "t", "", ""})) << QVariant();
    QTest::newRow("field count not 4 + 4n") << QVariant(First({"", 6, "s", 6, 0, "u", "t", "", "", "A", "x"}))
                                            << QVariant();
    QTest::newRow("negative count") << QVariant(First({"", -4, "s", 0, 0, "u"})) << QVariant();
    QTest::newRow("no pieces") << QVariant(First({"t", 4, "s", 0, 0})) << QVariant();
    QTest::newRow("more pieces than fields") << QVariant(First({"", 4, "s", 4, 0, "u", "t", "", "", "x"}))
                                             << QVariant();
    QTest::newRow("next field disagrees") << QVariant(First({"", 4, "s", 3, 0, "u", "t", "", ""})) << QVariant();
    QTest::newRow("offset disagrees") << QVariant(First({"t", 4, "s", 0, 5, "ab"})) << QVariant();
    // Each would be a whole answer if its pieces and lengths agreed.
    QTest::newRow("pieces not text") << QVariant(List({"", 4, "s", 4, 0, "1,1,0,0", 7})) << QVariant();
    QTest::newRow("lengths not text") << QVariant(List({"", 4, "s", 4, 0, 1, "ut"})) << QVariant();
    QTest::newRow("lengths beyond the text") << QVariant(List({"", 4, "s", 4, 0, "1,2,0,0", "ut"})) << QVariant();
    QTest::newRow("lengths short of the text") << QVariant(List({"", 4, "s", 4, 0, "1,0,0,0", "ut"})) << QVariant();
    QTest::newRow("negative length") << QVariant(List({"", 4, "s", 4, 0, "-1,3,0,0", "ut"})) << QVariant();
    QTest::newRow("length not a number") << QVariant(List({"", 4, "s", 4, 0, "1,x,0,0", "ut"})) << QVariant();
    QTest::newRow("extra item") << QVariant(List({"", 4, "s", 4, 0, "1,1,0,0", "ut", "v"})) << QVariant();
    QTest::newRow("measures too few") << QVariant(First({"", 9, "s", 9, 0, "u", "t", "", "", "DIV", "", "", "",
                                                        "1,2,0,0,0,0,0"})) << QVariant();
    QTest::newRow("measures too many") << QVariant(First({"", 9, "s", 9, 0, "u", "t", "", "", "DIV", "", "", "",
                                                         "1,2,0,0,0,0,0,0,0"})) << QVariant();
    QTest::newRow("measure negative") << QVariant(First({"", 9, "s", 9, 0, "u", "t", "", "", "DIV", "", "", "",
                                                        "1,2,-1,0,0,0,0,0"})) << QVariant();
    QTest::newRow("trimmed text longer than the text")
        << QVariant(First({"", 9, "s", 9, 0, "u", "t", "", "", "DIV", "", "", "", "3,2,0,0,0,0,0,0"})) << QVariant();
    QTest::newRow("unfinished without token") << QVariant(First({"", 4, "s", 1, 0, "u"})) << QVariant();
    QTest::newRow("kept answer gone") << QVariant(First({"t", 4, "s", 1, 0, "u"})) << QVariant();
    QTest::newRow("later answer stands still") << QVariant(First({"t", 4, "s", 1, 0, "u"}))
                                               << QVariant(Later({1, 0}));
    QTest::newRow("later answer goes back") << QVariant(First({"t", 4, "s", 2, 0, "u", "t"}))
                                            << QVariant(Later({2, 0, "x"}));
}

void TestChunkedRead::rejectsMalformedAnswers()
{
    QFETCH(QVariant, first);
    QFETCH(QVariant, second);
    chunked::Assembler read;
    const bool begun = read.begin(first);
    if (begun) {
        QVERIFY(!read.finished());
        QVERIFY(!read.feed(second));
    }
    QVERIFY(!read.take());
}

void TestChunkedRead::initTestCase()
{
    QVERIFY(m_server.isListening());
    m_server.addPage(QStringLiteral("/tricky.html"), TrickyPage());
    m_server.addPage(QStringLiteral("/other.html"), QByteArrayLiteral("<html><body>other</body></html>"));
}

std::optional<LoadedPage> TestChunkedRead::readInPieces(QWebEnginePage &page, int budget, int *trips,
                                                        const ReadParts &parts)
{
    chunked::Assembler read;
    auto answer = pagewick::testsupport::runScript(page, chunked::beginRead(budget, parts), kWorld);
    *trips = 1;
    if (!answer || !read.begin(*answer))
        return std::nullopt;
    // Bounded: every answer moves on by at least one code unit.
    for (int guard = 0; !read.finished() && guard < 100000; ++guard) {
        answer = pagewick::testsupport::runScript(
            page, chunked::readChunk(read.token(), read.nextField(), read.nextOffset(), budget), kWorld);
        ++*trips;
        if (!answer || !read.feed(*answer))
            return std::nullopt;
    }
    return read.take();
}

void TestChunkedRead::matchesOneRoundTripRead_data()
{
    QTest::addColumn<int>("budget");
    QTest::newRow("1") << 1;
    QTest::newRow("3") << 3;
    QTest::newRow("7") << 7;
    QTest::newRow("64") << 64;
    QTest::newRow("default") << chunked::kDefaultBudget;
}

void TestChunkedRead::matchesOneRoundTripRead()
{
    QFETCH(int, budget);
    QWebEnginePage page;
    QVERIFY(pagewick::testsupport::loadPage(page, m_server.url(QStringLiteral("/tricky.html"))));
    const auto whole = pagewick::testsupport::runScript(page, scripts::readDocument(), kWorld);
    QVERIFY(whole);
    const auto expected = scripts::parseDocument(*whole);
    QVERIFY(expected);
    QVERIFY(expected->document.bodyText.value_or(QString()).contains(QStringLiteral("😀")));

    int trips = 0;
    const auto actual = readInPieces(page, budget, &trips);
    QVERIFY(actual);
    ComparePages(*actual, *expected);
    if (budget == chunked::kDefaultBudget)
        QCOMPARE(trips, 1);
    else
        QVERIFY(trips > 10);
}

void TestChunkedRead::loneSurrogateHalvesBecomeReplacements_data()
{
    QTest::addColumn<int>("budget");
    QTest::newRow("1") << 1;
    QTest::newRow("2") << 2;
    QTest::newRow("default") << chunked::kDefaultBudget;
}

void TestChunkedRead::loneSurrogateHalvesBecomeReplacements()
{
    // No markup can hold a lone half; a script can. One U+FFFD each, and a
    // whole pair next to them is kept.
    QFETCH(int, budget);
    QWebEnginePage page;
    QVERIFY(pagewick::testsupport::loadPage(page, m_server.url(QStringLiteral("/other.html"))));
    QVERIFY(pagewick::testsupport::runScript(
        page, QStringLiteral("document.body.textContent = 'a\\uD800b\\uDC00\\uDC00c\\uD83D\\uDE00\\uD83D'; 1"),
        QWebEngineScript::MainWorld));
    int trips = 0;
    const auto doc = readInPieces(page, budget, &trips);
    QVERIFY(doc);
    const QString expected = QStringLiteral("a\uFFFDb\uFFFD\uFFFDc😀\uFFFD");
    QCOMPARE(doc->document.bodyText, std::optional<QString>(expected));
    QCOMPARE(doc->document.all.last().tagName, QStringLiteral("BODY"));
    QCOMPARE(doc->document.all.last().innerText, expected);
    QCOMPARE(doc->document.all.last().innerHTML, expected);
}

void TestChunkedRead::keptAnswerIsDroppedAndHiddenFromPage()
{
    QWebEnginePage page;
    QVERIFY(pagewick::testsupport::loadPage(page, m_server.url(QStringLiteral("/tricky.html"))));
    const QString kept = QStringLiteral(
        "(function () { var k = window.__pagewickReads; return k ? Object.keys(k).length : -1; })()");

    auto first = pagewick::testsupport::runScript(page, chunked::beginRead(16), kWorld);
    QVERIFY(first);
    chunked::Assembler read;
    QVERIFY(read.begin(*first));
    QCOMPARE(pagewick::testsupport::runScript(page, kept, kWorld).value_or(-2).toInt(), 1);
    // The page's own scripts do not see it.
    QCOMPARE(pagewick::testsupport::runScript(page, QStringLiteral("typeof window.__pagewickReads"),
                                              QWebEngineScript::MainWorld)
                 .value_or(QString())
                 .toString(),
             QStringLiteral("undefined"));

    // An abandoned read is released.
    pagewick::testsupport::runScript(page, chunked::releaseRead(read.token()), kWorld);
    QCOMPARE(pagewick::testsupport::runScript(page, kept, kWorld).value_or(-2).toInt(), 0);

    // A finished read leaves nothing behind.
    int trips = 0;
    QVERIFY(readInPieces(page, 16, &trips));
    QCOMPARE(pagewick::testsupport::runScript(page, kept, kWorld).value_or(-2).toInt(), 0);
}

void TestChunkedRead::replacedDocumentEndsRead()
{
    QWebEnginePage page;
    QVERIFY(pagewick::testsupport::loadPage(page, m_server.url(QStringLiteral("/tricky.html"))));
    auto first = pagewick::testsupport::runScript(page, chunked::beginRead(16), kWorld);
    QVERIFY(first);
    chunked::Assembler read;
    QVERIFY(read.begin(*first));
    QVERIFY(pagewick::testsupport::loadPage(page, m_server.url(QStringLiteral("/other.html"))));
    const auto answer = pagewick::testsupport::runScript(
        page, chunked::readChunk(read.token(), read.nextField(), read.nextOffset(), 16), kWorld);
    QVERIFY(answer);
    QVERIFY(!read.feed(*answer));
    QVERIFY(!read.take());
}

void TestChunkedRead::selectedReadKeepsPositions_data()
{
    QTest::addColumn<int>("budget");
    QTest::addColumn<QStringList>("tags");
    QTest::addColumn<bool>("bodyText");
    QTest::addColumn<int>("fullElements");
    QTest::addColumn<int>("textOnlyBelow"); // for DIV
    QTest::addColumn<bool>("measureDivs");
    QTest::newRow("links, in pieces") << 16 << QStringList{"A"} << false << 3 << 0 << false;
    QTest::newRow("links, at once") << chunked::kDefaultBudget << QStringList{"A"} << false << 3 << 0 << false;
    QTest::newRow("blocks and links with body, in pieces")
        << 16 << QStringList{"td", "div", "a"} << true << 6 << 0 << false;
    QTest::newRow("blocks with body, at once") << chunked::kDefaultBudget << QStringList{"Div"} << true << 3 << 0 << false;
    // The blocks' texts are 17 units long with their CR LF breaks, 14 in the page.
    QTest::newRow("short blocks without markup") << 16 << QStringList{"div", "a"} << true << 6 << 18 << false;
    QTest::newRow("long enough blocks keep markup") << 16 << QStringList{"div", "a"} << true << 6 << 17 << false;
    // Measured blocks bring counts in place of texts: these are too short to be carried.
    QTest::newRow("measured blocks, in pieces") << 16 << QStringList{"div", "a"} << true << 3 << 0 << true;
    QTest::newRow("measured blocks, at once") << chunked::kDefaultBudget << QStringList{"div", "a"} << true << 3 << 0
                                              << true;
}

void TestChunkedRead::selectedReadKeepsPositions()
{
    QFETCH(int, budget);
    QFETCH(QStringList, tags);
    QFETCH(bool, bodyText);
    QFETCH(int, fullElements);
    QFETCH(int, textOnlyBelow);
    QFETCH(bool, measureDivs);
    QWebEnginePage page;
    QVERIFY(pagewick::testsupport::loadPage(page, m_server.url(QStringLiteral("/tricky.html"))));
    const auto whole = pagewick::testsupport::runScript(page, scripts::readDocument(), kWorld);
    QVERIFY(whole);
    const auto full = scripts::parseDocument(*whole);
    QVERIFY(full);
    int trips = 0;
    auto parts = ReadParts::elements(tags, bodyText);
    parts.textOnlyTags = QStringList{"DIV"};
    parts.textOnlyBelow = textOnlyBelow;
    if (measureDivs) {
        parts.measuredTags = QStringList{"DIV"};
        parts.carryBounds.minTrimmedLength = 51;
    }
    const auto part = readInPieces(page, budget, &trips, parts);
    QVERIFY(part);

    QCOMPARE(part->url, full->url);
    QCOMPARE(part->document.title, full->document.title);
    QCOMPARE(part->document.bodyText.has_value(), full->document.bodyText.has_value());
    QCOMPARE(part->document.bodyText.value_or(QString()),
             bodyText ? full->document.bodyText.value_or(QString()) : QString());
    QCOMPARE(part->document.all.size(), full->document.all.size());
    int selected = 0;
    for (qsizetype i = 0; i < full->document.all.size(); ++i) {
        const auto &a = part->document.all.at(i);
        const auto &b = full->document.all.at(i);
        QCOMPARE(a.tagName, b.tagName);
        if (measureDivs && b.tagName == QLatin1String("DIV")) {
            QVERIFY(a.measures);
            QCOMPARE(a.measures->textLength, b.innerText.size());
            QCOMPARE(a.measures->tagCount, b.innerHTML.count(QLatin1Char('>')));
            QCOMPARE(a.innerText, QString());
            QCOMPARE(a.innerHTML, QString());
            continue;
        }
        QVERIFY(!a.measures);
        if (tags.contains(b.tagName, Qt::CaseInsensitive)) {
            ++selected;
            QCOMPARE(a.innerText, b.innerText);
            const bool textOnly = b.tagName == QLatin1String("DIV") && b.innerText.size() < textOnlyBelow;
            QCOMPARE(a.innerHTML, textOnly ? QString() : b.innerHTML);
            QCOMPARE(part->hrefs.at(i), full->hrefs.at(i));
            QVERIFY(!a.innerText.isEmpty());
        } else {
            QCOMPARE(a.innerText, QString());
            QCOMPARE(a.innerHTML, QString());
            QCOMPARE(part->hrefs.at(i), QString());
        }
    }
    QCOMPARE(selected, fullElements);
}

QTEST_MAIN(TestChunkedRead)
#include "tst_chunkedread.moc"
