// Whether a page read already made holds what a new read asks for.
#include "workflow/browserport.h"

#include <QTest>

using pagewick::workflow::ReadParts;

Q_DECLARE_METATYPE(ReadParts)

class TestReadParts : public QObject
{
    Q_OBJECT

private slots:
    void covers_data();
    void covers();
};

void TestReadParts::covers_data()
{
    QTest::addColumn<ReadParts>("held");
    QTest::addColumn<ReadParts>("asked");
    QTest::addColumn<bool>("covers");
    const ReadParts all = ReadParts::everything();
    const ReadParts links = ReadParts::linksOnly();
    const ReadParts blocks = ReadParts::elements({"TD", "DIV", "A"}, true);
    QTest::newRow("everything covers links") << all << links << true;
    QTest::newRow("links do not cover everything") << links << all << false;
    QTest::newRow("blocks cover links, any case") << blocks << ReadParts::elements({"a"}, false) << true;
    QTest::newRow("links do not cover the body text") << links << ReadParts::elements({"A"}, true) << false;
    QTest::newRow("a tag missing") << blocks << ReadParts::elements({"P"}, false) << false;
    auto shortBlocksBare = [](int below) {
        ReadParts p = ReadParts::elements({"TD", "DIV", "A"}, true);
        p.textOnlyTags = QStringList{"TD", "DIV"};
        p.textOnlyBelow = below;
        return p;
    };
    QTest::newRow("without short markup covers links") << shortBlocksBare(51) << links << true;
    QTest::newRow("without short markup covers the same") << shortBlocksBare(51) << shortBlocksBare(51) << true;
    QTest::newRow("without short markup covers a laxer read") << shortBlocksBare(20) << shortBlocksBare(51) << true;
    QTest::newRow("without short markup does not cover a stricter read")
        << shortBlocksBare(51) << shortBlocksBare(20) << false;
    QTest::newRow("without short markup does not cover blocks") << shortBlocksBare(51) << blocks << false;
    auto measured = [](int minMarks) {
        ReadParts p = ReadParts::elements({"A"}, true);
        p.measuredTags = QStringList{"TD", "DIV"};
        p.carryBounds.minTrimmedLength = 51;
        p.carryBounds.maxHyphens = 18;
        p.carryBounds.minMarkCount = minMarks;
        return p;
    };
    QTest::newRow("measured covers links") << measured(6) << links << true;
    QTest::newRow("measured covers the same") << measured(6) << measured(6) << true;
    QTest::newRow("measured covers a read carrying fewer texts") << measured(6) << measured(7) << true;
    QTest::newRow("measured does not cover a read carrying more texts") << measured(7) << measured(6) << false;
    QTest::newRow("measured does not cover the blocks' texts") << measured(6) << blocks << false;
    QTest::newRow("texts do not cover measures") << all << measured(6) << false;
    ReadParts everythingWithoutBody = ReadParts::everything();
    everythingWithoutBody.bodyText = false;
    QTest::newRow("everything without body text")
        << everythingWithoutBody << ReadParts::elements({"A"}, true) << false;
}

void TestReadParts::covers()
{
    QFETCH(ReadParts, held);
    QFETCH(ReadParts, asked);
    QFETCH(bool, covers);
    QCOMPARE(held.covers(asked), covers);
}

QTEST_APPLESS_MAIN(TestReadParts)
#include "tst_readparts.moc"
