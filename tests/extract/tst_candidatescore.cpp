#include "extract/candidatescore.h"

#include <QtTest>

using namespace pagewick::extract;

Q_DECLARE_METATYPE(pagewick::extract::PunctuationMode)

class TestCandidateScore : public QObject
{
    Q_OBJECT

private slots:
    void punctuationMode_data();
    void punctuationMode();
    void preFilter_data();
    void preFilter();
    void metrics_data();
    void metrics();
    void hyphenPairs_data();
    void hyphenPairs();
    void key_data();
    void key();
    void acceptanceBounds_data();
    void acceptanceBounds();
};

void TestCandidateScore::punctuationMode_data()
{
    QTest::addColumn<bool>("hasBody");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("html");
    QTest::addColumn<PunctuationMode>("mode");
    QTest::addColumn<int>("marks");

    const QString text = QStringLiteral("甲，乙，丙。a,b.c.d.");
    const QString html = QStringLiteral("<P>一</P><P>二</P><p>三</p></P ><P>");
    QTest::newRow("both Chinese marks") << true << "说，好。" << text << html
                                        << PunctuationMode::Chinese << 3;
    QTest::newRow("Chinese wins over Western") << true << "，。,." << text << html
                                               << PunctuationMode::Chinese << 3;
    QTest::newRow("comma without stop, Western present") << true << "，,." << text << html
                                                         << PunctuationMode::Western << 4;
    QTest::newRow("comma without stop, no Western") << true << "说，好" << text << html
                                                    << PunctuationMode::ParagraphMarks << 2;
    QTest::newRow("stop without comma") << true << "好。." << text << html
                                        << PunctuationMode::ParagraphMarks << 2;
    QTest::newRow("no body") << false << "" << text << html << PunctuationMode::ParagraphMarks
                             << 2;
}

void TestCandidateScore::punctuationMode()
{
    QFETCH(bool, hasBody);
    QFETCH(QString, body);
    QFETCH(QString, text);
    QFETCH(QString, html);
    QFETCH(PunctuationMode, mode);
    QFETCH(int, marks);

    const PunctuationMode chosen =
        ChoosePunctuationMode(hasBody ? std::optional<QString>(body) : std::nullopt);
    QCOMPARE(chosen, mode);
    QCOMPARE(MeasureElement({QStringLiteral("DIV"), text, html}, chosen).markCount, marks);
    // Measures made elsewhere count in the mode chosen here.
    const PageElement measured{QStringLiteral("DIV"), QString(), QString(), MeasureTexts(text, html)};
    QCOMPARE(MeasureElement(measured, chosen).markCount, marks);
}

void TestCandidateScore::preFilter_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("passes");

    const QString s50(50, QChar(0x6587));
    const QString s51(51, QChar(0x6587));
    const QString sp(30, QLatin1Char(' '));
    const QString ideo(30, QChar(0x3000));
    QTest::newRow("DIV, 51") << "DIV" << s51 << true;
    QTest::newRow("DIV, 50") << "DIV" << s50 << false;
    QTest::newRow("td lower case") << "td" << s51 << true;
    QTest::newRow("Td mixed case") << "Td" << s51 << true;
    QTest::newRow("TABLE") << "TABLE" << s51 << false;
    QTest::newRow("P") << "P" << s51 << false;
    QTest::newRow("DIVX") << "DIVX" << s51 << false;
    QTest::newRow("50 inside spaces") << "DIV" << sp + s50 + sp << false;
    QTest::newRow("50 inside ideographic spaces") << "DIV" << ideo + s50 + ideo << false;
    QTest::newRow("50 inside mixed spaces") << "DIV" << sp + ideo + s50 + ideo + sp << false;
    QTest::newRow("inner spaces count") << "DIV" << s50.left(25) + u' ' + s50.left(25) << true;
    QTest::newRow("tab is not trimmed") << "DIV" << u'\t' + s50 << true;
    QTest::newRow("CR LF is not trimmed") << "DIV" << s50 + QStringLiteral("\r\n") << true;
    QTest::newRow("only spaces") << "DIV" << sp + sp << false;
}

void TestCandidateScore::preFilter()
{
    QFETCH(QString, tag);
    QFETCH(QString, text);
    QFETCH(bool, passes);
    QCOMPARE(PassesPreFilter({tag, text, QString()}), passes);
    QCOMPARE(PassesPreFilter({tag, QString(), QString(), MeasureTexts(text, QString())}), passes);
}

void TestCandidateScore::metrics_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("html");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("tags");
    QTest::addColumn<int>("pairs");
    QTest::addColumn<int>("links");

    QTest::newRow("lower-case link") << "ab" << "<a href=#>x</a>" << 2 << 2 << 0 << 1;
    QTest::newRow("upper-case A is no link") << "ab" << "<A href=#>x</A>" << 2 << 2 << 0 << 0;
    QTest::newRow("any tag starting <a") << "" << "<abbr>x</abbr><area>" << 0 << 3 << 0 << 2;
    QTest::newRow("every > counts") << "" << "a>b>>" << 0 << 3 << 0 << 0;
    QTest::newRow("untrimmed UTF-16 length") << "  \r\n文𠀀 " << "" << 8 << 0 << 0 << 0;
    QTest::newRow("19 hyphens") << QString(19, QLatin1Char('-')) << "" << 19 << 0 << 10 << 0;
}

void TestCandidateScore::metrics()
{
    QFETCH(QString, text);
    QFETCH(QString, html);
    const ElementMetrics m =
        MeasureElement({QStringLiteral("DIV"), text, html}, PunctuationMode::Chinese);
    QTEST(int(m.textLength), "length");
    QTEST(int(m.tagCount), "tags");
    QTEST(int(m.hyphenPairs), "pairs");
    QTEST(int(m.linkCount), "links");
    const ElementMetrics f = MeasureElement({QStringLiteral("DIV"), QString(), QString(), MeasureTexts(text, html)},
                                            PunctuationMode::Chinese);
    QCOMPARE(f.textLength, m.textLength);
    QCOMPARE(f.tagCount, m.tagCount);
    QCOMPARE(f.hyphenPairs, m.hyphenPairs);
    QCOMPARE(f.linkCount, m.linkCount);
}

void TestCandidateScore::hyphenPairs_data()
{
    QTest::addColumn<int>("hyphens");
    QTest::addColumn<int>("pairs");
    const int rows[][2] = {{0, 0},  {1, 0},  {2, 1},  {3, 2},   {4, 2},  {5, 2},
                           {17, 8}, {18, 9}, {19, 10}, {21, 10}, {23, 12}};
    for (const auto &r : rows)
        QTest::addRow("%d", r[0]) << r[0] << r[1];
}

void TestCandidateScore::hyphenPairs()
{
    QFETCH(int, hyphens);
    QTEST(int(HyphenPairs(hyphens)), "pairs");
}

void TestCandidateScore::key_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("tags");
    QTest::addColumn<int>("marks");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("key");

    QTest::newRow("worked example") << 1269 << 30 << 22 << 10000 << "DIV"
                                    << "10445|42.3|0.0022|DIV";
    QTest::newRow("fractional score") << 847 << 20 << 22 << 10000 << "DIV"
                                      << "10445.5|42.35|0.0022|DIV";
    QTest::newRow("six-digit score") << 99000 << 11 << 22 << 10000 << "TD"
                                     << "100022|9000|0.0022|TD";
    QTest::newRow("ties to even in both ratios") << 1001 << 32 << 6 << 192 << "td"
                                                 << "10624.812|31.2812|0.0312|td";
    QTest::newRow("rounded ratios") << 101 << 11 << 6 << 10000 << "Div"
                                    << "10097.818|9.1818|0.0006|Div";
}

void TestCandidateScore::key()
{
    QFETCH(int, length);
    QFETCH(int, tags);
    QFETCH(int, marks);
    QFETCH(int, page);
    QFETCH(QString, tag);
    ElementMetrics m;
    m.textLength = length;
    m.tagCount = tags;
    m.markCount = marks;
    QTEST(CandidateKey(m, page, tag), "key");
}

void TestCandidateScore::acceptanceBounds_data()
{
    // An element at every bound is accepted; one step beyond any is not.
    QTest::addColumn<int>("field"); // which measure moves, -1 none
    QTest::addColumn<int>("step");
    QTest::addColumn<PunctuationMode>("mode");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("at the bounds, Chinese") << -1 << 0 << PunctuationMode::Chinese << true;
    QTest::newRow("at the bounds, Western") << -1 << 0 << PunctuationMode::Western << true;
    QTest::newRow("at the bounds, paragraphs") << -1 << 0 << PunctuationMode::ParagraphMarks << true;
    QTest::newRow("text one short") << 0 << -1 << PunctuationMode::Chinese << false;
    QTest::newRow("tags one short") << 1 << -1 << PunctuationMode::Chinese << false;
    QTest::newRow("one hyphen more") << 2 << 1 << PunctuationMode::Chinese << false;
    QTest::newRow("one link more") << 3 << 1 << PunctuationMode::Chinese << false;
    QTest::newRow("marks one short") << 4 << -1 << PunctuationMode::Western << false;
    QTest::newRow("trimmed text one short") << 5 << -1 << PunctuationMode::Chinese << false;
}

void TestCandidateScore::acceptanceBounds()
{
    QFETCH(int, field);
    QFETCH(int, step);
    QFETCH(PunctuationMode, mode);
    QFETCH(bool, accepted);
    const AcceptanceBounds b = CandidateAcceptanceBounds();
    TextMeasures m;
    m.textLength = b.minTextLength + (field == 0 ? step : 0);
    m.tagCount = b.minTagCount + (field == 1 ? step : 0);
    m.hyphens = b.maxHyphens + (field == 2 ? step : 0);
    m.linkCount = b.maxLinkCount + (field == 3 ? step : 0);
    m.chineseMarks = m.westernMarks = m.paragraphMarks = b.minMarkCount + (field == 4 ? step : 0);
    m.trimmedLength = b.minTrimmedLength + (field == 5 ? step : 0);
    const PageElement element{QStringLiteral("DIV"), QString(), QString(), m};
    QCOMPARE(PassesPreFilter(element) && IsAccepted(MeasureElement(element, mode)), accepted);
}

QTEST_APPLESS_MAIN(TestCandidateScore)
#include "tst_candidatescore.moc"
