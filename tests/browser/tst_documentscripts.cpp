#include "browser/documentscripts.h"

#include <QTest>

namespace scripts = pagewick::browser::scripts;

class TestDocumentScripts : public QObject
{
    Q_OBJECT

private slots:
    void toCrLf_data();
    void toCrLf();
    void parseDocument();
    void parseDocumentWithoutBody();
    void parseDocumentRejects_data();
    void parseDocumentRejects();
    void parseSmallAnswers();
};

void TestDocumentScripts::toCrLf_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << "" << "";
    QTest::newRow("no break") << "abc" << "abc";
    QTest::newRow("one break") << "a\nb" << "a\r\nb";
    QTest::newRow("leading and trailing") << "\na\n" << "\r\na\r\n";
    QTest::newRow("empty lines") << "a\n\n\nb" << "a\r\n\r\n\r\nb";
    QTest::newRow("already CR LF") << "a\r\nb" << "a\r\nb";
    QTest::newRow("lone CR kept") << "a\rb" << "a\rb";
    QTest::newRow("CR then CR LF") << "a\r\r\nb" << "a\r\r\nb";
    QTest::newRow("LF CR") << "a\n\rb" << "a\r\n\rb";
    QTest::newRow("wide text") << QStringLiteral("第一行\n第二行") << QStringLiteral("第一行\r\n第二行");
}

void TestDocumentScripts::toCrLf()
{
    QFETCH(QString, engine);
    QFETCH(QString, expected);
    QCOMPARE(scripts::toCrLf(engine), expected);
}

namespace {

QVariantList answerOf(std::initializer_list<QVariant> items)
{
    return QVariantList(items);
}

} // namespace

void TestDocumentScripts::parseDocument()
{
    const QVariantList answer = answerOf({
        "http://127.0.0.1/a.html", QStringLiteral("标题"), true, "line1\nline2",
        "HTML", "line1\nline2", "<HEAD></HEAD><BODY>x</BODY>", "", "",
        "A", "next\npage", "<B>next</B>\n", "http://127.0.0.1/b.html", "",
        "DIV", "", "", "", "60,62,1,2,3,4,5,6",
    });
    const auto doc = scripts::parseDocument(answer);
    QVERIFY(doc);
    QCOMPARE(doc->url, QStringLiteral("http://127.0.0.1/a.html"));
    QCOMPARE(doc->document.title, QStringLiteral("标题"));
    QCOMPARE(doc->document.bodyText, std::optional<QString>(QStringLiteral("line1\r\nline2")));
    QCOMPARE(doc->document.all.size(), 3);
    QCOMPARE(doc->hrefs, (QStringList{QString(), QStringLiteral("http://127.0.0.1/b.html"), QString()}));
    QCOMPARE(doc->document.all.at(0).tagName, QStringLiteral("HTML"));
    QCOMPARE(doc->document.all.at(1).innerText, QStringLiteral("next\r\npage"));
    // Markup is passed on as the page gave it: its breaks are not text breaks.
    QCOMPARE(doc->document.all.at(1).innerHTML, QStringLiteral("<B>next</B>\n"));
    QVERIFY(!doc->document.all.at(1).measures);
    const auto m = doc->document.all.at(2).measures;
    QVERIFY(m);
    QCOMPARE(m->trimmedLength, 60);
    QCOMPARE(m->textLength, 62);
    QCOMPARE(m->hyphens, 1);
    QCOMPARE(m->chineseMarks, 2);
    QCOMPARE(m->westernMarks, 3);
    QCOMPARE(m->tagCount, 4);
    QCOMPARE(m->linkCount, 5);
    QCOMPARE(m->paragraphMarks, 6);
}

void TestDocumentScripts::parseDocumentWithoutBody()
{
    const auto doc = scripts::parseDocument(answerOf({"x", "", false, ""}));
    QVERIFY(doc);
    QVERIFY(!doc->document.bodyText);
    QVERIFY(doc->document.all.isEmpty());
}

void TestDocumentScripts::parseDocumentRejects_data()
{
    QTest::addColumn<QVariant>("answer");
    QTest::newRow("no answer") << QVariant();
    QTest::newRow("a string") << QVariant(QStringLiteral("[\"u\",\"t\",true,\"\"]"));
    QTest::newRow("too short") << QVariant(answerOf({"u", "t", true}));
    QTest::newRow("body flag not a boolean") << QVariant(answerOf({"u", "t", "true", ""}));
    QTest::newRow("url not text") << QVariant(answerOf({1, "t", true, ""}));
    QTest::newRow("incomplete element") << QVariant(answerOf({"u", "t", true, "", "A", "x", "y", ""}));
    QTest::newRow("element field not text") << QVariant(answerOf({"u", "t", true, "", "A", 1, "y", "", ""}));
    QTest::newRow("element field null") << QVariant(answerOf({"u", "t", true, "", "A", "x", QVariant(), "", ""}));
    QTest::newRow("measures not numbers") << QVariant(answerOf({"u", "t", true, "", "DIV", "", "", "", "1,2,x,0,0,0,0,0"}));
    QTest::newRow("measures short") << QVariant(answerOf({"u", "t", true, "", "DIV", "", "", "", "1,2"}));
}

void TestDocumentScripts::parseDocumentRejects()
{
    QFETCH(QVariant, answer);
    QVERIFY(!scripts::parseDocument(answer));
}

void TestDocumentScripts::parseSmallAnswers()
{
    QCOMPARE(scripts::parseTitle(QVariantList{QStringLiteral("t")}).value_or("-"), QStringLiteral("t"));
    QVERIFY(!scripts::parseTitle(QVariant()));
    QVERIFY(!scripts::parseTitle(QVariantList{}));
    QCOMPARE(scripts::parseBodyText(QVariantList{QStringLiteral("a\nb")}).value_or("-"),
             QStringLiteral("a\r\nb"));
    QVERIFY(!scripts::parseBodyText(QVariantList{}));
    QCOMPARE(scripts::parseActiveElementHref(QStringLiteral("http://h/x")).value_or("-"),
             QStringLiteral("http://h/x"));
    QVERIFY(!scripts::parseActiveElementHref(QString()));
    QVERIFY(!scripts::parseActiveElementHref(QVariant()));
}

QTEST_GUILESS_MAIN(TestDocumentScripts)
#include "tst_documentscripts.moc"
