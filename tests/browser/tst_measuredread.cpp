#include "bench/generatedbook.h"
#include "browser/documentscripts.h"
#include "extract/candidatescore.h"
#include "extract/detection.h"
#include "tests/support/enginetestutil.h"
#include "tests/support/loopbackserver.h"
#include "workflow/bookend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineUrlRequestInterceptor>

#include <memory>
#include <utility>

namespace browser = pagewick::browser;
namespace extract = pagewick::extract;
namespace scripts = pagewick::browser::scripts;
namespace testsupport = pagewick::testsupport;

namespace {

// Real pages ask for their images, styles and scripts elsewhere; only the
// test server answers, the rest fails at once.
class LoopbackOnly : public QWebEngineUrlRequestInterceptor
{
public:
    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        const QUrl url = info.requestUrl();
        if ((url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
            && url.host() != QLatin1String("127.0.0.1"))
            info.block(true);
    }
};

browser::DocumentParts MeasuredParts()
{
    const extract::AcceptanceBounds b = extract::CandidateAcceptanceBounds();
    browser::DocumentParts parts = browser::DocumentParts::elements({QStringLiteral("A")}, true);
    parts.measuredTags = extract::CandidateTagNames();
    parts.carryBounds = {b.minTrimmedLength, b.minTextLength, b.minTagCount,
                         b.maxHyphens, b.maxLinkCount, b.minMarkCount};
    return parts;
}

// Could detection accept an element with these measures in any mode?
bool Acceptable(const extract::TextMeasures &m)
{
    const extract::AcceptanceBounds b = extract::CandidateAcceptanceBounds();
    const qsizetype marks = qMax(m.chineseMarks, qMax(m.westernMarks, m.paragraphMarks));
    return m.trimmedLength >= b.minTrimmedLength && m.textLength >= b.minTextLength
        && m.tagCount >= b.minTagCount && m.hyphens <= b.maxHyphens && m.linkCount <= b.maxLinkCount
        && marks >= b.minMarkCount;
}

extract::PageDocument ToPageDocument(const browser::DocumentSnapshot &s)
{
    extract::PageDocument doc;
    doc.title = s.title;
    if (s.hasBody)
        doc.bodyText = s.bodyText;
    for (const browser::Element &e : s.all) {
        doc.all.append({e.tagName, e.innerText, e.innerHTML, e.measures});
    }
    return doc;
}

QString Describe(const extract::TextMeasures &m)
{
    return QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8")
        .arg(m.trimmedLength).arg(m.textLength).arg(m.hyphens).arg(m.chineseMarks)
        .arg(m.westernMarks).arg(m.tagCount).arg(m.linkCount).arg(m.paragraphMarks);
}

QByteArray Html(const QString &body, const QString &head = {})
{
    return (QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>t</title>") + head
            + QStringLiteral("</head><body>") + body + QStringLiteral("</body></html>"))
        .toUtf8();
}

QString Prose(int lines, const QString &mark = QStringLiteral("，"), const QString &stop = QStringLiteral("。"))
{
    QStringList out;
    for (int k = 0; k < lines; ++k)
        out << QStringLiteral("第%1行的文字很长很长很长").arg(k) + mark + QStringLiteral("还有更多的文字") + stop;
    return out.join(QStringLiteral("<br>"));
}

// Tokens as the corpora score them: a Han character each, else words.
QStringList Tokens(const QString &text)
{
    QStringList tokens;
    QString word;
    for (const QChar c : text) {
        const ushort u = c.unicode();
        const bool han = (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3400 && u <= 0x4DBF);
        if (!han && c.isLetterOrNumber()) {
            word += c.toLower();
            continue;
        }
        if (!word.isEmpty())
            tokens << std::exchange(word, QString());
        if (han)
            tokens << QString(c);
    }
    if (!word.isEmpty())
        tokens << word;
    return tokens;
}

QHash<QString, int> Shingles(const QString &text)
{
    const QStringList tokens = Tokens(text);
    QHash<QString, int> shingles;
    if (!tokens.isEmpty() && tokens.size() < 4)
        ++shingles[tokens.join(QChar(0x1F))];
    for (qsizetype k = 0; k + 4 <= tokens.size(); ++k)
        ++shingles[tokens.mid(k, 4).join(QChar(0x1F))];
    return shingles;
}

// Precision and recall of `found` against `truth` over 4-token shingles.
QPair<double, double> Score(const QString &found, const QString &truth)
{
    const QHash<QString, int> a = Shingles(found);
    const QHash<QString, int> b = Shingles(truth);
    qsizetype common = 0, na = 0, nb = 0;
    for (auto it = a.cbegin(); it != a.cend(); ++it) {
        na += it.value();
        common += qMin(it.value(), b.value(it.key()));
    }
    for (const int n : b)
        nb += n;
    if (na == 0 && nb == 0)
        return {1, 1};
    return {na ? double(common) / na : 0, nb ? double(common) / nb : 0};
}

// What the second look and the contents-page test do on the real pages.
struct CorpusEffects
{
    int pages = 0;
    QStringList changed; // detection's result differs from the ranking's
    double precisionBefore = 0, recallBefore = 0, precisionAfter = 0, recallAfter = 0;
    QStringList contents; // taken for a contents page with every link saved
    QStringList linkPages; // taken for one by their links alone, even with a next link

    static double f1(double p, double r) { return p + r > 0 ? 2 * p * r / (p + r) : 0; }
    void report(const char *name) const
    {
        if (pages == 0)
            return;
        qInfo("%s: %d pages, %lld changed by the second look; F1 %.4f before, %.4f after; "
              "%lld taken for contents pages with all their links saved",
              name, pages, qlonglong(changed.size()), f1(precisionBefore / pages, recallBefore / pages),
              f1(precisionAfter / pages, recallAfter / pages), qlonglong(contents.size()));
        for (const QString &c : changed)
            qInfo("  changed: %s", qPrintable(c));
        for (const QString &c : contents)
            qInfo("  contents: %s", qPrintable(c));
        qInfo("%lld taken for contents pages by their links alone", qlonglong(linkPages.size()));
        for (const QString &c : linkPages)
            qInfo("  by links: %s", qPrintable(c));
    }
};

} // namespace

// The measured read (counts made in the page, texts carried only for the
// elements detection could accept) against the full read whose texts the
// detection would count itself: element by element, and by the detection's
// results on both, over constructed, generated, sample, hostile and real
// pages.
class TestMeasuredRead : public QObject
{
    Q_OBJECT

public:
    static void initMain() { testsupport::prepareEngine(); }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void matchesFullRead_data();
    void matchesFullRead();
    void matchesFullReadOnCorpusPages();

private:
    // Empty when the page agrees, else what differs. A corpus page also
    // counts into `effects` against its ground truth.
    QString differences(const QUrl &url, CorpusEffects *effects = nullptr, const QString &name = {},
                        const QString &truth = {});

    testsupport::LoopbackServer m_server;
    LoopbackOnly m_interceptor;
    std::unique_ptr<QWebEngineProfile> m_profile;
    std::unique_ptr<QWebEnginePage> m_page;
    int m_pages = 0;
    int m_measured = 0;
    int m_carried = 0;
};

void TestMeasuredRead::initTestCase()
{
    QVERIFY(m_server.isListening());
    m_profile = std::make_unique<QWebEngineProfile>();
    m_profile->setUrlRequestInterceptor(&m_interceptor);
    m_page = std::make_unique<QWebEnginePage>(m_profile.get());
}

void TestMeasuredRead::cleanupTestCase()
{
    m_page.reset();
    m_profile.reset();
    qInfo("%d measured elements, %d of them with their text", m_measured, m_carried);
}

QString TestMeasuredRead::differences(const QUrl &url, CorpusEffects *effects, const QString &name,
                                      const QString &truth)
{
    if (!testsupport::loadPage(*m_page, url))
        return QStringLiteral("did not load");
    // Both reads in one script, so that both see the same moment. A lone
    // surrogate half becomes one U+FFFD, as the program's read makes it.
    const auto answer = testsupport::runScript(
        *m_page,
        QStringLiteral("(function (reads) {\n"
                       "  var LONE = /[\\uD800-\\uDBFF](?![\\uDC00-\\uDFFF])|(?<![\\uD800-\\uDBFF])[\\uDC00-\\uDFFF]/g;\n"
                       "  return reads.map(function (r) { return r && r.map(function (s) {\n"
                       "    return typeof s === 'string' ? s.replace(LONE, '\\uFFFD') : s; }); });\n"
                       "})([")
            + scripts::readDocument(MeasuredParts()) + QStringLiteral(",\n") + scripts::readDocument()
            + QStringLiteral("])"),
        QWebEngineScript::ApplicationWorld);
    if (!answer)
        return QStringLiteral("no answer");
    const QVariantList both = answer->toList();
    if (both.size() != 2)
        return QStringLiteral("malformed answer");
    const auto measured = scripts::parseDocument(both.at(0));
    const auto full = scripts::parseDocument(both.at(1));
    if (!measured || !full)
        return QStringLiteral("a read failed");
    if (measured->bodyText != full->bodyText || measured->title != full->title
        || measured->hasBody != full->hasBody)
        return QStringLiteral("body text or title differs");
    if (measured->all.size() != full->all.size())
        return QStringLiteral("%1 elements against %2").arg(measured->all.size()).arg(full->all.size());

    const QStringList tags = extract::CandidateTagNames();
    for (qsizetype i = 0; i < full->all.size(); ++i) {
        const browser::Element &m = measured->all.at(i);
        const browser::Element &f = full->all.at(i);
        const QString where = QStringLiteral("element %1 (%2): ").arg(i).arg(f.tagName);
        if (m.tagName != f.tagName)
            return where + QStringLiteral("tag name");
        if (f.tagName.compare(QLatin1String("A"), Qt::CaseInsensitive) == 0) {
            if (m.innerText != f.innerText || m.innerHTML != f.innerHTML || m.href != f.href)
                return where + QStringLiteral("link texts");
            continue;
        }
        if (!tags.contains(f.tagName, Qt::CaseInsensitive)) {
            if (m.measures)
                return where + QStringLiteral("measured, but not a block");
            continue;
        }
        if (!m.measures)
            return where + QStringLiteral("not measured");
        ++m_measured;
        const extract::TextMeasures expected = extract::MeasureTexts(f.innerText, f.innerHTML);
        const extract::TextMeasures actual = *m.measures;
        if (actual != expected)
            return where + QStringLiteral("measures %1, expected %2").arg(Describe(actual), Describe(expected));
        if (!m.innerHTML.isEmpty())
            return where + QStringLiteral("markup carried");
        if (!m.innerText.isEmpty()) {
            ++m_carried;
            if (m.innerText != f.innerText)
                return where + QStringLiteral("carried text differs");
        } else if (Acceptable(expected) && !f.innerText.isEmpty()) {
            return where + QStringLiteral("text left out of an element detection could accept");
        }
    }

    // The detection decides the same on both.
    extract::CandidateState fromMeasures;
    extract::CandidateState fromTexts;
    const auto a = extract::DetectMainText(ToPageDocument(*measured), fromMeasures, {});
    const auto b = extract::DetectMainText(ToPageDocument(*full), fromTexts, {});
    if (a != b || fromMeasures.CandidateLog != fromTexts.CandidateLog
        || fromMeasures.CandidateKeys != fromTexts.CandidateKeys)
        return QStringLiteral("detection differs");
    if (effects) {
        const QString ranked = fromTexts.CandidateKeys.isEmpty()
            ? QString()
            : extract::CandidateRecordBody(fromTexts.CandidateLog, fromTexts.CandidateKeys.constLast());
        const QString taken = b.value_or(QString());
        ++effects->pages;
        const auto before = Score(ranked, truth);
        const auto after = Score(taken, truth);
        effects->precisionBefore += before.first;
        effects->recallBefore += before.second;
        effects->precisionAfter += after.first;
        effects->recallAfter += after.second;
        if (ranked != taken)
            effects->changed << QStringLiteral("%1 F1 %2 -> %3")
                                    .arg(name)
                                    .arg(CorpusEffects::f1(before.first, before.second), 0, 'f', 3)
                                    .arg(CorpusEffects::f1(after.first, after.second), 0, 'f', 3);
        pagewick::workflow::LoadedPage page;
        page.url = full->url;
        page.document = ToPageDocument(*full);
        pagewick::workflow::SavedChapters saved;
        for (const browser::Element &e : full->all) {
            page.hrefs << e.href;
            if (!e.href.isEmpty())
                saved.add(e.href);
        }
        if (pagewick::workflow::IsBookEnd(page, saved, false))
            effects->contents << QStringLiteral("%1 (ground truth %2 characters)").arg(name).arg(truth.size());
        if (pagewick::workflow::IsBookEnd(page, {}, true))
            effects->linkPages << QStringLiteral("%1 (ground truth %2 characters)").arg(name).arg(truth.size());
    }
    return QString();
}

void TestMeasuredRead::matchesFullRead_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QByteArray>("type");
    const QByteArray html = "text/html; charset=utf-8";

    // Counts that a piecewise count could get wrong.
    QTest::newRow("chapter, Chinese marks") << Html(QStringLiteral("<div id=c>") + Prose(30) + QStringLiteral("</div>")) << html;
    QTest::newRow("chapter, Western marks")
        << Html(QStringLiteral("<div>") + Prose(30, QStringLiteral(","), QStringLiteral(".")) + QStringLiteral("</div>")) << html;
    QTest::newRow("chapter, paragraphs")
        << Html(QStringLiteral("<div>") + QStringLiteral("<p>一段没有标点的文字很长很长很长很长很长很长很长</p>").repeated(20)
                + QStringLiteral("<p>lower case end</p><P>x</P></div>")) << html;
    QTest::newRow("nested blocks and table")
        << Html(QStringLiteral("<table><tr><td><div><div>") + Prose(12) + QStringLiteral("</div></div></td><td>")
                + Prose(3) + QStringLiteral("</td></tr></table>")) << html;
    QTest::newRow("markup in attributes")
        << Html(QStringLiteral("<div title=\"<a href=x> </P> >\" data-b='<a'>") + Prose(15)
                + QStringLiteral("<span title=\"a>b<a\">s</span></div>")) << html;
    QTest::newRow("markup in raw text and comments")
        << Html(QStringLiteral("<div>") + Prose(15)
                + QStringLiteral("<script>var s = '<a></P><a>' + 1 > 0;</script><style>a>b{}</style>"
                                 "<!-- <a> </P> --><textarea><a></P></textarea><noscript><a></P></noscript></div>")) << html;
    QTest::newRow("raw text split across text nodes")
        << Html(QStringLiteral("<div id=d>") + Prose(15) + QStringLiteral("<script id=s>var x;</script></div>"
                "<script>var s = document.getElementById('s'); s.textContent = 'x<';"
                " s.appendChild(document.createTextNode('a </'));"
                " s.appendChild(document.createTextNode('P> <'));"
                " s.appendChild(document.createComment('c'));"
                " s.appendChild(document.createTextNode('a'));</script>")) << html;
    QTest::newRow("escaped text")
        << Html(QStringLiteral("<div>") + Prose(15) + QStringLiteral(" a &lt;a&gt; &lt;/P&gt; &amp; &nbsp;</div>")) << html;
    QTest::newRow("hyphens and links at the bounds")
        << Html(QStringLiteral("<div>") + Prose(12) + QStringLiteral("-").repeated(18)
                + QStringLiteral("<a href=1>1</a><a href=2>2</a><a href=3>3</a><a href=4>4</a></div>"
                                 "<div>") + Prose(12) + QStringLiteral("-").repeated(19) + QStringLiteral("</div><div>")
                + Prose(12) + QStringLiteral("<a>1</a><a>2</a><a>3</a><a>4</a><a>5</a></div>")) << html;
    QTest::newRow("spaces and breaks at the ends")
        << Html(QStringLiteral("<div>&nbsp;　　 ") + Prose(10) + QStringLiteral("<br><br> 　</div>"
                "<div style=\"white-space:pre\">\n\n  line\r\nline\rline  \n</div>")) << html;
    QTest::newRow("short blocks around the bound")
        << Html(QStringLiteral("<div>") + QString(50, QChar(0x5B57)) + QStringLiteral("</div><div> ")
                + QString(51, QChar(0x5B57)) + QStringLiteral(" </div><div>") + QString(49, QChar(0x5B57))
                + QStringLiteral("<br>x</div>")) << html;
    QTest::newRow("svg, math, template, custom elements")
        << Html(QStringLiteral("<div>") + Prose(12) + QStringLiteral("<svg><p>svg p</p><a>svg a</a>"
                "<foreignObject><p>x</p></foreignObject></svg><math><mi>x</mi></math>"
                "<template><p>t</p><a>t</a></template><my-el a=\"<a\">c</my-el></div>")) << html;
    QTest::newRow("void and boolean elements")
        << Html(QStringLiteral("<div>") + Prose(12) + QStringLiteral("<img alt=\">\"><br><hr><input disabled>"
                "<select><option selected>o</option></select></div>")) << html;
    QTest::newRow("lone surrogates and marks")
        << Html(QStringLiteral("<div id=u>") + Prose(12) + QStringLiteral("</div><script>"
                "document.getElementById('u').appendChild(document.createTextNode('\\ud800,\\udc00.'));</script>")) << html;
    QTest::newRow("block tags in other cases")
        << Html(QStringLiteral("<div id=h></div><script>var h = document.getElementById('h');"
                " var a = document.createElementNS('http://www.w3.org/1999/xhtml', 'Div');"
                " a.textContent = '") + QStringLiteral("一二三四五，六七八九十。").repeated(12)
                + QStringLiteral("'; h.appendChild(a);"
                " var b = document.createElementNS('urn:x', 'td'); b.textContent = a.textContent;"
                " h.appendChild(b);</script>")) << html;

    // Hostile pages: deep nesting made by script, a big block of small
    // blocks, documents that are not HTML, a page written by script.
    QTest::newRow("nested 1,000 deep by script")
        << Html(QStringLiteral("<div id=n></div><script>var e = document.getElementById('n');"
                " for (var k = 0; k < 1000; k++) { var d = document.createElement('div');"
                " d.textContent = k % 7 ? '' : '文字，文字。'; e.appendChild(d); e = d; }"
                " e.innerHTML = '") + Prose(12) + QStringLiteral("';</script>")) << html;
    {
        QString filler;
        for (int k = 0; k < 800; ++k)
            filler += QStringLiteral("<div class=\"c\"><a href=\"/u/%1\">读者%1</a><span>好看，好看。</span><em>赞</em></div>").arg(k);
        QTest::newRow("big comment block") << Html(QStringLiteral("<div>") + Prose(40) + QStringLiteral("</div>") + filler) << html;
    }
    QTest::newRow("plain text") << QByteArray("第一行，没有标记。\n第二行。\n") << QByteArray("text/plain; charset=utf-8");
    QTest::newRow("json") << QByteArray("{\"a\": [1, 2, 3]}") << QByteArray("application/json");
    QTest::newRow("xhtml") << QByteArray("<?xml version=\"1.0\"?><html xmlns=\"http://www.w3.org/1999/xhtml\"><head>"
                                         "<title>x</title></head><body><div><![CDATA[<a></P>]]>")
            + Prose(12).replace(QStringLiteral("<br>"), QStringLiteral("<br/>")).toUtf8()
            + QByteArray("<?pi </P> <a?></div></body></html>") << QByteArray("application/xhtml+xml");
    QTest::newRow("written by script")
        << QByteArray("<html><body><script>document.open(); document.write('<div>")
            + Prose(12).toUtf8() + QByteArray("</div>'); document.close();</script></body></html>")
        << html;

    // The generated book and the sample books.
    for (int n : {1, 2, 150, 300}) {
        const pagewick::bench::GeneratedChapter chapter = pagewick::bench::GenerateChapter(n, 300, QStringLiteral("/book/"));
        QTest::newRow(qPrintable(QStringLiteral("generated chapter %1").arg(n))) << chapter.html << html;
    }
    const QDir samples(QStringLiteral(PAGEWICK_SOURCE_DIR "/samples"));
    for (const QString &book : samples.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QDir dir(samples.filePath(book));
        for (const QString &name : dir.entryList(QDir::Files)) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QTest::newRow(qPrintable(book + QLatin1Char('/') + name)) << file.readAll() << QByteArray("text/html");
        }
    }
}

void TestMeasuredRead::matchesFullRead()
{
    QFETCH(QByteArray, html);
    QFETCH(QByteArray, type);
    const QString path = QStringLiteral("/page%1").arg(++m_pages);
    m_server.addPage(path, html, type);
    const QString diff = differences(m_server.url(path));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestMeasuredRead::matchesFullReadOnCorpusPages()
{
    // Real pages of the main-text corpora, when they are there.
    const QDir corpus(QStringLiteral(PAGEWICK_CORPUS_DIR));
    if (!corpus.exists())
        QSKIP("no corpus at " PAGEWICK_CORPUS_DIR);
    struct Source
    {
        QString dir;
        QString suffix;
        QByteArray encoding; // Content-Encoding, or empty
    };
    const Source sources[] = {
        {QStringLiteral("english-news/html"), QStringLiteral(".html.gz"), QByteArray("gzip")},
        {QStringLiteral("chinese-pages/original"), QStringLiteral(".html"), QByteArray()},
    };
    // Every third page keeps the test to about a minute; a measurement of
    // the corpora takes them all (PAGEWICK_CORPUS_STRIDE=1).
    const int kStride = qMax(1, qEnvironmentVariableIntValue("PAGEWICK_CORPUS_STRIDE") ?: 3);
    QStringList failures;
    int pages = 0;
    int unloaded = 0;
    for (const Source &source : sources) {
        const QDir dir(corpus.filePath(source.dir));
        QFile truthFile(QFileInfo(dir.absolutePath()).dir().filePath(QStringLiteral("ground-truth.json")));
        QVERIFY(truthFile.open(QIODevice::ReadOnly));
        const QJsonObject truths = QJsonDocument::fromJson(truthFile.readAll()).object();
        CorpusEffects effects;
        const QStringList names = dir.entryList({QLatin1Char('*') + source.suffix}, QDir::Files, QDir::Name);
        for (qsizetype k = 0; k < names.size(); k += kStride) {
            const QString &name = names.at(k);
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString path = QStringLiteral("/corpus/%1.html").arg(++m_pages);
            m_server.addPage(path, file.readAll(), "text/html");
            if (!source.encoding.isEmpty())
                m_server.addHeader(path, "Content-Encoding: " + source.encoding);
            const QString id = name.left(name.size() - source.suffix.size());
            const QString diff = differences(m_server.url(path), &effects, id,
                                             truths.value(id).toObject().value(QStringLiteral("articleBody")).toString());
            ++pages;
            // A page that sends itself elsewhere (all of which fails here) is
            // no read to compare.
            if (diff == QLatin1String("did not load"))
                ++unloaded;
            else if (!diff.isEmpty())
                failures << source.dir + QLatin1Char('/') + name + QStringLiteral(": ") + diff;
        }
        effects.report(qPrintable(source.dir));
        // Chinese pages are left as the ranking chose.
        if (source.dir.startsWith(QLatin1String("chinese")))
            QVERIFY2(effects.changed.isEmpty(), qPrintable(effects.changed.join(QLatin1Char('\n'))));
    }
    qInfo("%d corpus pages, %d of them not loaded", pages, unloaded);
    QVERIFY(pages > 0);
    QVERIFY(unloaded * 10 < pages);
    QVERIFY2(failures.isEmpty(), qPrintable(failures.mid(0, 10).join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestMeasuredRead)
#include "tst_measuredread.moc"
