// The shipped sample book: a chain of chapter pages linked by "下一页" that
// ends at the last chapter, titles that clean to the chapter name, enough
// prose for the main-text detection, and a GBK copy with the same text.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTest>

namespace {

const QStringList kChapters = {"ch01.htm", "ch02.htm", "ch03.htm", "ch04.htm", "ch05.htm"};

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString samples()
{
    return QStringLiteral(PAGEWICK_SOURCE_DIR "/samples/");
}

QString page(const QString &name)
{
    return QString::fromUtf8(readBytes(samples() + QStringLiteral("book-utf8/") + name));
}

// The links of a page whose text contains the next-page name.
QStringList nextLinkTargets(const QString &html)
{
    QStringList targets;
    static const QRegularExpression link(QStringLiteral("<a href=\"([^\"]*)\"[^>]*>([^<]*)</a>"));
    for (auto it = link.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(2).contains(QStringLiteral("下一页")))
            targets << m.captured(1);
    }
    return targets;
}

} // namespace

class TestSampleBook : public QObject
{
    Q_OBJECT

private slots:
    void chapter_data();
    void chapter();
    void tableOfContents();
    void gbkCopy_data();
    void gbkCopy();
};

void TestSampleBook::chapter_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("next"); // empty: the last chapter
    for (int i = 0; i < kChapters.size(); ++i)
        QTest::newRow(qPrintable(kChapters.at(i))) << kChapters.at(i) << kChapters.value(i + 1);
}

void TestSampleBook::chapter()
{
    QFETCH(QString, name);
    QFETCH(QString, next);
    const QString html = page(name);
    QVERIFY(!html.isEmpty());
    QVERIFY(html.contains(QStringLiteral("<meta charset=\"utf-8\">")));

    static const QRegularExpression title(QStringLiteral("<title>(第.章 [^_<]+)_青石巷旧事_墨香书阁</title>"));
    QVERIFY2(title.match(html).hasMatch(), qPrintable(name));

    const QStringList expectedTargets = next.isEmpty() ? QStringList{} : QStringList{next, next};
    QCOMPARE(nextLinkTargets(html), expectedTargets);
    if (!next.isEmpty())
        QVERIFY(QFile::exists(samples() + QStringLiteral("book-utf8/") + next));

    // One content block of paragraphs with plenty of sentence marks and no links.
    const qsizetype start = html.indexOf(QStringLiteral("<div id=\"content\">"));
    const qsizetype end = html.indexOf(QStringLiteral("</div>"), start);
    QVERIFY(start >= 0 && end > start);
    const QString content = html.mid(start, end - start);
    QVERIFY(!content.contains(QStringLiteral("<a")));
    QVERIFY(content.count(QStringLiteral("<p>")) >= 10);
    QVERIFY(content.count(QStringLiteral("，")) + content.count(QStringLiteral("。")) > 100);
    qsizetype han = 0;
    for (QChar c : content)
        han += c.unicode() >= 0x4e00 && c.unicode() <= 0x9fff;
    QVERIFY2(han >= 1300, qPrintable(QString::number(han)));

    // Clutter around it: navigation, sidebar, comments, an ad and a footer.
    for (const char *part : {"class=\"topnav\"", "id=\"sidebar\"", "class=\"comments\"", "class=\"ad\"",
                             "class=\"footer\"", ">上一页</a> | <a href=\"index.htm\">目录</a>"})
        QVERIFY2(html.contains(QString::fromUtf8(part)), part);
}

void TestSampleBook::tableOfContents()
{
    const QString html = page(QStringLiteral("index.htm"));
    for (const QString &chapter : kChapters)
        QVERIFY2(html.contains(QStringLiteral("<a href=\"%1\">").arg(chapter)), qPrintable(chapter));
}

void TestSampleBook::gbkCopy_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &name : kChapters + QStringList{"index.htm"})
        QTest::newRow(qPrintable(name)) << name;
}

void TestSampleBook::gbkCopy()
{
    QFETCH(QString, name);
    const QByteArray bytes = readBytes(samples() + QStringLiteral("book-gbk/") + name);
    QVERIFY(!bytes.isEmpty());
    QStringDecoder gbk("GBK");
    QVERIFY(gbk.isValid());
    const QString text = gbk.decode(bytes);
    QVERIFY(!gbk.hasError());
    QString expected = page(name);
    expected.replace(QStringLiteral("<meta charset=\"utf-8\">"), QStringLiteral("<meta charset=\"gbk\">"));
    QCOMPARE(text, expected);
}

QTEST_MAIN(TestSampleBook)
#include "tst_samplebook.moc"
