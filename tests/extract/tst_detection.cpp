#include "extract/detection.h"

#include "pagebuilder.h"

#include <QtTest>

using namespace pagewick::extract;
using namespace pagewick::extract::testing;

namespace {

const QString kDashes =
    QStringLiteral("------------------------------------------------------------");
const QString kCrLf = QStringLiteral("\r\n");

ElementRecipe Recipe(const char *tag, int length, int tags, int marks, char16_t fill = u'文')
{
    ElementRecipe s;
    s.tag = QString::fromLatin1(tag);
    s.length = length;
    s.tags = tags;
    s.marks = marks;
    s.fill = QChar(fill);
    return s;
}

QString Framed(const PageElement &e)
{
    return kCrLf + e.innerText + kCrLf;
}

// Hooks that record what the run reports and stop at the given yield.
struct Recorder
{
    QStringList progress;
    int yields = 0;
    int stopAtYield = -1; // 1-based; -1: never stop

    DetectionHooks hooks()
    {
        return {[this](const QString &p) { progress << p; },
                [this] { return ++yields != stopAtYield; }};
    }
};

} // namespace

Q_DECLARE_METATYPE(pagewick::extract::testing::ElementRecipe)

namespace {

// A block of `paragraphs` paragraphs of `sentences` sentences each, in
// Western ("," ".") or Chinese ("，" "。") punctuation, each paragraph in a
// P of its own.
PageElement Paragraphs(int paragraphs, int sentences, bool western, const QString &word)
{
    const QString comma = western ? QStringLiteral(",") : QStringLiteral("，");
    const QString stop = western ? QStringLiteral(".") : QStringLiteral("。");
    QStringList texts;
    QString html;
    for (int p = 0; p < paragraphs; ++p) {
        QString text;
        for (int s = 0; s < sentences; ++s)
            text += word + comma + QStringLiteral(" and then ") + word + stop + QLatin1Char(' ');
        texts << text;
        html += QStringLiteral("<P>") + text + QStringLiteral("</P>");
    }
    return {QStringLiteral("DIV"), texts.join(QStringLiteral("\r\n\r\n")), html};
}

} // namespace

class TestDetection : public QObject
{
    Q_OBJECT

private slots:
    void ranking_data();
    void ranking();
    void thresholdsThroughTheRun_data();
    void thresholdsThroughTheRun();
    void logKeysAndBody();
    void bodyIsUntrimmed();
    void nestedCandidatesAreAllExamined();
    void progressAndYields();
    void stoppedRunLeavesStateAlone_data();
    void stoppedRunLeavesStateAlone();
    void noCandidateEmptiesState_data();
    void noCandidateEmptiesState();
    void emptyHooks();
    void keyQuotedInEarlierText_data();
    void keyQuotedInEarlierText();
    void findCandidateRecord_data();
    void findCandidateRecord();
    void secondLook_data();
    void secondLook();
};

void TestDetection::ranking_data()
{
    QTest::addColumn<ElementRecipe>("first");
    QTest::addColumn<ElementRecipe>("second");
    QTest::addColumn<int>("winner");

    const ElementRecipe s10445 = Recipe("DIV", 1269, 30, 22, u'甲');
    const ElementRecipe s10445_5 = Recipe("DIV", 847, 20, 22, u'乙');
    const ElementRecipe s100022 = Recipe("TD", 99000, 11, 22, u'丙');
    const ElementRecipe s20022 = Recipe("DIV", 11000, 11, 22, u'丁');
    const ElementRecipe sLower = Recipe("DIV", 1000, 30, 22, u'戊');
    ElementRecipe tdTwin = s10445;
    tdTwin.tag = QStringLiteral("TD");
    tdTwin.fill = QChar(u'己');
    ElementRecipe divTwin = s10445;
    divTwin.fill = QChar(u'庚');

    QTest::newRow("higher score wins") << sLower << s10445 << 1;
    QTest::newRow("higher score wins, first") << s10445 << sLower << 0;
    QTest::newRow("10445 beats 10445.5") << s10445_5 << s10445 << 1;
    QTest::newRow("10445 beats 10445.5, first") << s10445 << s10445_5 << 0;
    QTest::newRow("100022 below 20022") << s100022 << s20022 << 1;
    QTest::newRow("100022 below 20022, first") << s20022 << s100022 << 0;
    QTest::newRow("TD above DIV") << s10445 << tdTwin << 1;
    QTest::newRow("TD above DIV, first") << tdTwin << s10445 << 0;
    QTest::newRow("equal keys take the earlier") << s10445 << divTwin << 0;
    QTest::newRow("equal keys take the earlier, swapped") << divTwin << s10445 << 0;
}

void TestDetection::ranking()
{
    QFETCH(ElementRecipe, first);
    QFETCH(ElementRecipe, second);
    QFETCH(int, winner);
    const QVector<PageElement> elements = {MakeElement(first), MakeElement(second)};
    CandidateState state;
    const auto body = DetectMainText(MakePage(elements), state, {});
    QVERIFY(body);
    QCOMPARE(state.CandidateKeys.size(), 3);
    QCOMPARE(*body, Framed(elements.at(winner)));
}

void TestDetection::thresholdsThroughTheRun_data()
{
    QTest::addColumn<ElementRecipe>("recipe");
    QTest::addColumn<bool>("accepted");

    ElementRecipe base = Recipe("DIV", 101, 11, 6);
    base.hyphens = 18;
    base.links = 4;
    QTest::newRow("all limits just passed") << base << true;
    ElementRecipe s = base;
    s.length = 100;
    QTest::newRow("100 characters") << s << false;
    s = base;
    s.marks = 5;
    QTest::newRow("5 marks") << s << false;
    s = base;
    s.tags = 10;
    QTest::newRow("10 tags") << s << false;
    s = base;
    s.hyphens = 19;
    QTest::newRow("19 hyphens") << s << false;
    s = base;
    s.links = 5;
    QTest::newRow("5 links") << s << false;
    s = base;
    s.tag = QStringLiteral("SPAN");
    QTest::newRow("not td or div") << s << false;
    s = base;
    s.prefix = QString(60, QLatin1Char(' ')); // T = 101 but only 41 once trimmed
    s.length = 101;
    QTest::newRow("long only through spaces") << s << false;
}

void TestDetection::thresholdsThroughTheRun()
{
    QFETCH(ElementRecipe, recipe);
    QFETCH(bool, accepted);
    const PageElement element = MakeElement(recipe);
    CandidateState state;
    const auto body = DetectMainText(MakePage({element}), state, {});
    QVERIFY(body);
    QCOMPARE(*body, accepted ? Framed(element) : QString());
    QCOMPARE(state.CandidateKeys.size(), accepted ? 2 : 0);
}

void TestDetection::logKeysAndBody()
{
    const PageElement a = MakeElement(Recipe("DIV", 847, 20, 22, u'乙'));
    const PageElement skipped = MakeElement(Recipe("DIV", 1269, 30, 5));
    const PageElement b = MakeElement(Recipe("DIV", 1269, 30, 22, u'甲'));
    CandidateState state{QStringLiteral("old log"), {QStringLiteral("old")}};

    const auto body = DetectMainText(MakePage({a, skipped, b}), state, {});

    QCOMPARE(state.CandidateLog,
             QStringLiteral("10445.5|42.35|0.0022|DIV:\r\n") + a.innerText + kCrLf + kDashes
                 + kCrLf + QStringLiteral("10445|42.3|0.0022|DIV:\r\n") + b.innerText + kCrLf
                 + kDashes + kCrLf);
    QCOMPARE(state.CandidateKeys,
             QStringList({"", "10445.5|42.35|0.0022|DIV", "10445|42.3|0.0022|DIV"}));
    QVERIFY(body);
    QCOMPARE(*body, Framed(b));
}

void TestDetection::bodyIsUntrimmed()
{
    ElementRecipe recipe = Recipe("TD", 300, 12, 8);
    recipe.prefix = QStringLiteral("\r\n  　第一段 ");
    PageElement e = MakeElement(recipe);
    e.innerText += QStringLiteral(" \r\n　 ");
    CandidateState state;
    const auto body = DetectMainText(MakePage({e}), state, {});
    QVERIFY(body);
    QCOMPARE(*body, QStringLiteral("\r\n\r\n  　第一段 ") + e.innerText.mid(9) + kCrLf);
    QVERIFY(body->endsWith(QStringLiteral(" \r\n　 \r\n")));
}

void TestDetection::nestedCandidatesAreAllExamined()
{
    // The inner div's markup carries most of the tags, so the td holding it
    // has less text per tag and ranks lower.
    const PageElement inner = MakeElement(Recipe("DIV", 1269, 30, 22, u'甲'));
    const PageElement outer{QStringLiteral("TD"), inner.innerText + QStringLiteral("附言"),
                            QStringLiteral("<DIV>") + inner.innerHTML
                                + QStringLiteral("</DIV><BR><BR>附言")};
    CandidateState state;
    Recorder rec;
    const auto body = DetectMainText(MakePage({outer, inner}), state, rec.hooks());
    QCOMPARE(rec.yields, 2);
    QCOMPARE(state.CandidateKeys.size(), 3);
    QCOMPARE(state.CandidateKeys.last(), QStringLiteral("10445|42.3|0.0022|DIV"));
    QCOMPARE(*body, Framed(inner));
}

void TestDetection::progressAndYields()
{
    const PageElement accepted = MakeElement(Recipe("DIV", 200, 12, 8));
    const PageElement rejected = MakeElement(Recipe("TD", 200, 3, 8));
    const PageElement ignored{QStringLiteral("P"), accepted.innerText, accepted.innerHTML};
    CandidateState state;
    Recorder rec;
    DetectMainText(MakePage({ignored, rejected, accepted}), state, rec.hooks());
    QCOMPARE(rec.progress, QStringList({"0", "33.33", "66.67"}));
    QCOMPARE(rec.yields, 2); // every pre-filtered element, accepted or not
}

void TestDetection::stoppedRunLeavesStateAlone_data()
{
    QTest::addColumn<int>("stopAtYield");
    QTest::addColumn<int>("progressCalls");
    QTest::newRow("at the first element") << 1 << 1;
    QTest::newRow("after a candidate was accepted") << 2 << 3;
}

void TestDetection::stoppedRunLeavesStateAlone()
{
    QFETCH(int, stopAtYield);
    const PageElement e = MakeElement(Recipe("DIV", 200, 12, 8));
    const PageElement other{QStringLiteral("SPAN"), QString(), QString()};
    const CandidateState before{QStringLiteral("old log"), {QString(), QStringLiteral("old")}};
    CandidateState state = before;
    Recorder rec;
    rec.stopAtYield = stopAtYield;

    const auto body = DetectMainText(MakePage({e, other, e, e}), state, rec.hooks());

    QVERIFY(!body);
    QCOMPARE(rec.yields, stopAtYield);
    QTEST(int(rec.progress.size()), "progressCalls");
    QCOMPARE(state.CandidateLog, before.CandidateLog);
    QCOMPARE(state.CandidateKeys, before.CandidateKeys);
}

void TestDetection::noCandidateEmptiesState_data()
{
    QTest::addColumn<bool>("hasBody");
    QTest::addColumn<QString>("bodyText");
    QTest::addColumn<bool>("scorable");

    QTest::newRow("with body") << true << "，,." << true;
    QTest::newRow("no body") << false << "" << false;
    QTest::newRow("empty body text") << true << "" << false;
}

void TestDetection::noCandidateEmptiesState()
{
    QFETCH(bool, hasBody);
    QFETCH(QString, bodyText);
    QFETCH(bool, scorable);
    // Six paragraph marks: accepted in paragraph-mark mode when the page
    // length is known; the Western-mode body gives no marks at all.
    const QString text(200, QChar(0x6587));
    const PageElement e{QStringLiteral("DIV"), text,
                        QStringLiteral("<P>x</P>").repeated(6) + text};
    CandidateState state{QStringLiteral("old log"), {QString(), QStringLiteral("old")}};
    Recorder rec;

    const auto body = DetectMainText(
        MakePage({e}, hasBody ? std::optional<QString>(bodyText) : std::nullopt), state,
        rec.hooks());

    QVERIFY(body);
    QCOMPARE(*body, QString());
    QCOMPARE(state.CandidateLog, QString());
    QCOMPARE(state.CandidateKeys.size(), 0);
    QCOMPARE(rec.yields, 1);

    if (scorable) { // the same element is a candidate once its marks count
        DetectMainText(MakePage({e}, QStringLiteral("no marks")), state, {});
        QCOMPARE(state.CandidateKeys.size(), 2);
    }
}

void TestDetection::emptyHooks()
{
    const PageElement e = MakeElement(Recipe("DIV", 200, 12, 8));
    CandidateState state;
    const auto body = DetectMainText(MakePage({e, e}), state, DetectionHooks{});
    QVERIFY(body);
    QCOMPARE(*body, Framed(e));

    const auto none = DetectMainText(MakePage({}), state, DetectionHooks{});
    QVERIFY(none);
    QVERIFY(none->isEmpty());
    QVERIFY(state.CandidateKeys.isEmpty());
}

void TestDetection::keyQuotedInEarlierText_data()
{
    QTest::addColumn<QString>("quote");
    const QString w = QStringLiteral("10445|42.3|0.0022|DIV");
    QTest::newRow("key alone") << w;
    QTest::newRow("key and colon") << w + QStringLiteral(":\r\n");
    QTest::newRow("key on its own line") << kCrLf + w + QStringLiteral(":\r\n");
}

void TestDetection::keyQuotedInEarlierText()
{
    QFETCH(QString, quote);
    ElementRecipe quoting = Recipe("DIV", 1000, 30, 22, u'乙');
    quoting.prefix = quote;
    const PageElement first = MakeElement(quoting);
    const PageElement winner = MakeElement(Recipe("DIV", 1269, 30, 22, u'甲'));
    CandidateState state;

    const auto body = DetectMainText(MakePage({first, winner}), state, {});

    const QString w = state.CandidateKeys.last();
    QCOMPARE(w, QStringLiteral("10445|42.3|0.0022|DIV"));
    // The plain first occurrence lies in the earlier record's text.
    QVERIFY(state.CandidateLog.indexOf(w) < FindCandidateRecord(state.CandidateLog, w));
    QVERIFY(body);
    QCOMPARE(*body, Framed(winner));
}

void TestDetection::findCandidateRecord_data()
{
    QTest::addColumn<QString>("log");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("position");

    const QString end = kCrLf + kDashes + kCrLf;
    const QString r1 = QStringLiteral("1|1|0|DIV:\r\nK|2 here") + end;
    const QString r2 = QStringLiteral("K|2:\r\ntext") + end;
    const QString r3 = QStringLiteral("K|2X:\r\ntext") + end;
    QTest::newRow("first record") << r1 + r2 << "1|1|0|DIV" << 0;
    QTest::newRow("key quoted before its record") << r1 + r2 << "K|2" << int(r1.size());
    QTest::newRow("equal keys: first record") << r2 + r2 << "K|2" << 0;
    QTest::newRow("longer key is another key") << r3 + r2 << "K|2" << int(r3.size());
    QTest::newRow("quoted on a line of its own")
        << QStringLiteral("A:\r\nx\r\nK|2:\r\ny") + end + r2 << "K|2"
        << int(QStringLiteral("A:\r\nx\r\nK|2:\r\ny").size() + end.size());
    QTest::newRow("missing") << r1 << "K|2" << -1;
    QTest::newRow("empty log") << "" << "K|2" << -1;
}

void TestDetection::findCandidateRecord()
{
    QFETCH(QString, log);
    QFETCH(QString, key);
    QTEST(int(FindCandidateRecord(log, key)), "position");
}


// An author's note of a few long paragraphs outranks a chapter of many short
// ones by text per tag; on a page of Western punctuation the chapter is taken.
void TestDetection::secondLook_data()
{
    QTest::addColumn<bool>("western");
    QTest::addColumn<int>("chapterParagraphs");
    QTest::addColumn<bool>("chapterTaken");
    QTest::newRow("note beside a chapter") << true << 70 << true;
    QTest::newRow("chapter not three times the note") << true << 55 << false;
    QTest::newRow("Chinese punctuation: the ranking stands") << false << 70 << false;
}

void TestDetection::secondLook()
{
    QFETCH(bool, western);
    QFETCH(int, chapterParagraphs);
    QFETCH(bool, chapterTaken);
    const PageElement note = Paragraphs(6, 4, western, QStringLiteral("thanks for reading"));
    const PageElement chapter = Paragraphs(chapterParagraphs, 2, western, QStringLiteral("she ran"));
    const QVector<PageElement> elements{note, chapter};
    const QString body = note.innerText + chapter.innerText;
    CandidateState state;
    const auto text = DetectMainText(MakePage(elements, body), state, {});
    QVERIFY(text);
    QCOMPARE(state.CandidateKeys.size(), 3);
    // The ranking itself prefers the note.
    QCOMPARE(CandidateRecordBody(state.CandidateLog, state.CandidateKeys.last()), Framed(note));
    QCOMPARE(*text, Framed(chapterTaken ? chapter : note));
}

QTEST_APPLESS_MAIN(TestDetection)
#include "tst_detection.moc"
