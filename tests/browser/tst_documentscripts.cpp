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

void TestDocumentScripts::parseDocument()
{
    const QString answer = QString::fromUtf8(R"({"u":"http://127.0.0.1/a.html","t":"标题","b":"line1\nline2",)"
        R"("e":["HTML","line1\nline2","<HEAD></HEAD><BODY>x</BODY>","",)"
        R"("A","next\npage","<B>next</B>","http://127.0.0.1/b.html"]})");
    const auto doc = scripts::parseDocument(answer);
    QVERIFY(doc);
    QCOMPARE(doc->url, QStringLiteral("http://127.0.0.1/a.html"));
    QCOMPARE(doc->title, QStringLiteral("标题"));
    QVERIFY(doc->hasBody);
    QCOMPARE(doc->bodyText, QStringLiteral("line1\r\nline2"));
    QCOMPARE(doc->all.size(), 2);
    QCOMPARE(doc->all.at(0).tagName, QStringLiteral("HTML"));
    QCOMPARE(doc->all.at(0).href, QString());
    QCOMPARE(doc->all.at(1).innerText, QStringLiteral("next\r\npage"));
    // Markup is passed on as the page gave it: its breaks are not text breaks.
    QCOMPARE(doc->all.at(1).innerHTML, QStringLiteral("<B>next</B>"));
    QCOMPARE(doc->all.at(1).href, QStringLiteral("http://127.0.0.1/b.html"));
}

void TestDocumentScripts::parseDocumentWithoutBody()
{
    const auto doc = scripts::parseDocument(QString::fromUtf8(R"({"u":"x","t":"","b":null,"e":[]})"));
    QVERIFY(doc);
    QVERIFY(!doc->hasBody);
    QVERIFY(doc->bodyText.isEmpty());
    QVERIFY(doc->all.isEmpty());
}

void TestDocumentScripts::parseDocumentRejects_data()
{
    QTest::addColumn<QVariant>("answer");
    QTest::newRow("no answer") << QVariant();
    QTest::newRow("not a string") << QVariant(42);
    QTest::newRow("not JSON") << QVariant(QStringLiteral("{u:"));
    QTest::newRow("array") << QVariant(QStringLiteral("[1,2]"));
    QTest::newRow("missing url") << QVariant(QString::fromUtf8(R"({"t":"","b":null,"e":[]})"));
    QTest::newRow("body a number") << QVariant(QString::fromUtf8(R"({"u":"","t":"","b":1,"e":[]})"));
    QTest::newRow("elements not an array") << QVariant(QString::fromUtf8(R"({"u":"","t":"","b":null,"e":{}})"));
    QTest::newRow("incomplete element") << QVariant(QString::fromUtf8(R"({"u":"","t":"","b":null,"e":["A","x","y"]})"));
    QTest::newRow("element field not text") << QVariant(QString::fromUtf8(R"({"u":"","t":"","b":null,"e":["A",1,"y",""]})"));
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
