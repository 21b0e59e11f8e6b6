#include "fakeextracthost.h"
#include "proseelement.h"

#include "extract/extractcommand.h"
#include "extract/titleclean.h"
#include "text/textops.h"

#include <QtTest>

using pagewick::extract::PageDocument;
using pagewick::extract::RunExtract;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

PageDocument BodyPage(const QString &title, const std::optional<QString> &body)
{
    PageDocument doc;
    doc.title = title;
    doc.bodyText = body;
    if (body)
        doc.all = {{QStringLiteral("BODY"), *body, *body}};
    return doc;
}

// Custom-condition extraction of the whole stretch between "<<" and ">>".
void UseMarkers(FakeExtractHost &host)
{
    host.custom = true;
    host.start = QStringLiteral("<<");
    host.end = QStringLiteral(">>");
}

} // namespace

class TstExtractCommand : public QObject
{
    Q_OBJECT

private slots:
    void titleInFront_data()
    {
        QTest::addColumn<QString>("rawTitle");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("expected");

        QTest::newRow("title not in text") << "第一章 风起" << "<<天色已晚。>>"
                                           << "第一章 风起\r\n天色已晚。";
        QTest::newRow("title in text") << "第一章" << "<<第一章 天色已晚。>>"
                                       << "    第一章 天色已晚。";
        QTest::newRow("cleaned title is searched") << "某书_第二章" << "<<某书，天色。>>"
                                                   << "    某书，天色。";
        QTest::newRow("cleaned title in the line") << "站点>卷一>问:何?" << "<<无关>>"
                                                   << "问∶何？\r\n无关";
        QTest::newRow("case-sensitive search") << "Chapter" << "<<chapter one>>"
                                               << "Chapter\r\nchapter one";
        QTest::newRow("empty title, text") << "" << "<<天色。>>" << "    天色。";
        QTest::newRow("title cut to nothing") << "-站点" << "<<天色。>>" << "    天色。";
        QTest::newRow("empty title, no text") << "" << "无标记" << "\r\n";
        QTest::newRow("start keyword missing") << "第三章" << "天色已晚。>>" << "第三章\r\n";
    }
    void titleInFront()
    {
        QFETCH(QString, rawTitle);
        QFETCH(QString, body);
        QFETCH(QString, expected);
        FakeExtractHost host;
        UseMarkers(host);
        host.document = BodyPage(rawTitle, body);

        RunExtract(host);

        QCOMPARE(host.text1.value_or(QStringLiteral("<unset>")), expected);
        QCOMPARE(host.title, pagewick::extract::CleanPageTitle(rawTitle));
    }

    void wayOfExtraction_data()
    {
        QTest::addColumn<bool>("custom");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<bool>("detection");

        QTest::newRow("custom with both keywords") << true << "风" << "。" << false;
        QTest::newRow("single spaces are keywords") << true << " " << " " << false;
        QTest::newRow("custom, start keyword empty") << true << "" << "。" << true;
        QTest::newRow("custom, end keyword empty") << true << "风" << "" << true;
        QTest::newRow("not custom") << false << "风" << "。" << true;
    }
    void wayOfExtraction()
    {
        QFETCH(bool, custom);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(bool, detection);
        FakeExtractHost host;
        host.custom = custom;
        host.start = start;
        host.end = end;
        host.document = ProsePage(QStringLiteral("卷一"), QStringLiteral("风 吹过山岗"));
        host.state.CandidateLog = QStringLiteral("earlier log");

        RunExtract(host);

        const QString prose = host.document->all.at(2).innerText;
        if (detection) {
            QCOMPARE(*host.text1, QStringLiteral("卷一\r\n\r\n") + prose + kCrLf);
            QVERIFY(host.state.CandidateLog.startsWith(host.state.CandidateKeys.constLast()));
            QVERIFY(host.captions.first().startsWith(QStringLiteral("卷一 - 正在处理中 ")));
        } else {
            const QString between = pagewick::text::FindStrMulti(*host.document->bodyText, start,
                                                                 end, QString());
            QVERIFY(!between.isEmpty());
            QCOMPARE(*host.text1, QStringLiteral("卷一\r\n") + between);
            // Custom extraction leaves the candidates alone and shows no progress.
            QCOMPARE(host.state.CandidateLog, QStringLiteral("earlier log"));
            QCOMPARE(host.captions, QStringList{QStringLiteral("卷一 - 提取结束")});
        }
    }

    void detectionProgressShowsRawTitle()
    {
        FakeExtractHost host;
        host.document = ProsePage(QStringLiteral("书名_第九章"), QStringLiteral("夜色"));

        // Shown when events run: at the block's yield, the last element's
        // progress once the scan is over, then the end of the run.
        QStringList atYields;
        host.whileYielding = [&host, &atYields] { atYields << host.caption; };

        RunExtract(host);

        QCOMPARE(atYields, QStringList{QStringLiteral("书名_第九章 - 正在处理中 50%")});
        QCOMPARE(host.captions, (QStringList{QStringLiteral("书名_第九章 - 正在处理中 50%"),
                                             QStringLiteral("书名_第九章 - 正在处理中 75%"),
                                             QStringLiteral("书名 - 提取结束")}));
    }

    void reflowRunsOnTheTitledText()
    {
        FakeExtractHost host;
        UseMarkers(host);
        host.reflowOn = true;
        host.document = BodyPage(QStringLiteral("第四章"), QStringLiteral("<<甲 乙\r\n\r\n丙>>"));

        RunExtract(host);

        QCOMPARE(*host.text1, QStringLiteral("    第四章\r\n\r\n    甲乙\r\n\r\n    丙"));
    }

    void silentIsRestored_data()
    {
        QTest::addColumn<bool>("before");
        QTest::newRow("was on") << true;
        QTest::newRow("was off") << false;
    }
    void silentIsRestored()
    {
        QFETCH(bool, before);
        FakeExtractHost host;
        host.silent = before;
        host.document = ProsePage(QStringLiteral("卷一"), QStringLiteral("风"));

        RunExtract(host);

        const QStringList expected = {
            QStringLiteral("wait"), QStringLiteral("silent=0"),
            QStringLiteral("dialogs silenced=%1").arg(before), QStringLiteral("read"),
            QStringLiteral("title"), QStringLiteral("text1"), QStringLiteral("dialogs silenced=0"),
            QStringLiteral("silent=%1").arg(before), QStringLiteral("save silent=%1").arg(before),
            QStringLiteral("next silent=%1").arg(before)};
        QCOMPARE(host.log, expected);
        QCOMPARE(host.silent, before);
    }

    void answerMode_data()
    {
        QTest::addColumn<bool>("saveAnswer");
        QTest::addColumn<bool>("nextAnswer");
        QTest::newRow("OK, OK") << true << true;
        QTest::newRow("Cancel, OK") << false << true;
        QTest::newRow("OK, Cancel") << true << false;
        QTest::newRow("Cancel, Cancel") << false << false;
    }
    void answerMode()
    {
        QFETCH(bool, saveAnswer);
        QFETCH(bool, nextAnswer);
        FakeExtractHost host;
        host.silentModeOn = false;
        host.answers = {saveAnswer, nextAnswer};
        host.document = ProsePage(QStringLiteral("卷一"), QStringLiteral("风"));

        RunExtract(host);

        QCOMPARE(host.questions, (QStringList{QStringLiteral("本页分析提取完毕，要保存提取结果吗？     "),
                                              QStringLiteral("提取结果保存完毕，要继续分析下页吗？     ")}));
        QCOMPARE(host.log.contains(QStringLiteral("save silent=1")), saveAnswer);
        QCOMPARE(host.log.contains(QStringLiteral("next silent=1")), nextAnswer);
        // The result is shown before the first question.
        QVERIFY(host.log.indexOf(QStringLiteral("text1")) < host.log.indexOf(QStringLiteral("ask")));
    }

    void modeIsReadAfreshForTheSecondStep_data()
    {
        QTest::addColumn<bool>("startSilent");
        QTest::addColumn<QStringList>("expectedQuestions");
        QTest::newRow("to silent while the first box is open")
            << false << QStringList{QStringLiteral("本页分析提取完毕，要保存提取结果吗？     ")};
        QTest::newRow("to answer mode during the save")
            << true << QStringList{QStringLiteral("提取结果保存完毕，要继续分析下页吗？     ")};
    }
    void modeIsReadAfreshForTheSecondStep()
    {
        QFETCH(bool, startSilent);
        QFETCH(QStringList, expectedQuestions);
        FakeExtractHost host;
        host.silentModeOn = startSilent;
        host.document = ProsePage(QStringLiteral("卷一"), QStringLiteral("风"));
        const auto toggle = [&host] { host.silentModeOn = !host.silentModeOn; };
        if (startSilent)
            host.whileSaving = toggle;
        else
            host.whileAsking = [toggle](const QString &) { toggle(); };

        RunExtract(host);

        QCOMPARE(host.questions, expectedQuestions);
        QVERIFY(host.log.contains(QStringLiteral("save silent=1")));
        QVERIFY(host.log.contains(QStringLiteral("next silent=1")));
    }

    void pageDialogsStayAnsweredWhileARunHasSilentOff_data()
    {
        QTest::addColumn<bool>("formerSilent");
        QTest::addColumn<bool>("superseded");
        QTest::newRow("silent before") << true << false;
        QTest::newRow("not silent before") << false << false;
        QTest::newRow("silent before, superseded") << true << true;
    }
    void pageDialogsStayAnsweredWhileARunHasSilentOff()
    {
        QFETCH(bool, formerSilent);
        QFETCH(bool, superseded);
        FakeExtractHost host;
        host.silent = formerSilent;
        host.silentModeOn = true;
        host.document = ProsePage(QStringLiteral("卷一"), QStringLiteral("风"));
        if (superseded)
            host.whileReading = [&host] { host.current = false; };

        RunExtract(host);

        const QString on = QStringLiteral("dialogs silenced=%1").arg(formerSilent);
        const QString off = QStringLiteral("dialogs silenced=0");
        // Silenced (or not) from the moment Silent goes off until it is back.
        QCOMPARE(host.log.indexOf(on), host.log.indexOf(QStringLiteral("silent=0")) + 1);
        QVERIFY(host.log.indexOf(on) < host.log.indexOf(QStringLiteral("read")));
        QCOMPARE(host.log.lastIndexOf(off),
                 host.log.lastIndexOf(QStringLiteral("silent=%1").arg(formerSilent)) - 1);
        QVERIFY(host.log.lastIndexOf(off) > host.log.indexOf(QStringLiteral("read")));
        QCOMPARE(host.silent, formerSilent);
    }

    // A read that fails is tried once more once the page has settled; a
    // second failure saves nothing and leaves nothing of the former page.
    void unreadablePage_data()
    {
        QTest::addColumn<bool>("readsOnceSettled");
        QTest::newRow("reads once settled") << true;
        QTest::newRow("never reads") << false;
    }
    void unreadablePage()
    {
        QFETCH(bool, readsOnceSettled);
        FakeExtractHost host;
        host.title = QStringLiteral("前一页");
        host.text1 = QStringLiteral("前一页\r\n正文");
        host.state.CandidateLog = QStringLiteral("earlier log");
        host.silent = true;
        host.whileSettling = [&] {
            if (readsOnceSettled)
                host.document = ProsePage(QStringLiteral("卷一_站点"), QStringLiteral("风"));
        };

        RunExtract(host);

        QCOMPARE(host.log.mid(0, 5), (QStringList{QStringLiteral("wait"), QStringLiteral("silent=0"),
                                                  QStringLiteral("dialogs silenced=1"), QStringLiteral("read"),
                                                  QStringLiteral("settle")}));
        QCOMPARE(host.log.at(5), QStringLiteral("read"));
        QVERIFY(host.silent);
        if (readsOnceSettled) {
            QCOMPARE(host.title, QStringLiteral("卷一"));
            QVERIFY(host.text1->startsWith(QStringLiteral("卷一\r\n")));
            QVERIFY(host.log.contains(QStringLiteral("save silent=1")));
            QVERIFY(!host.log.contains(QStringLiteral("read failed")));
            return;
        }
        QCOMPARE(host.title, QString());
        QCOMPARE(*host.text1, QString());
        QCOMPARE(host.state.CandidateLog, QString());
        QCOMPARE(host.log.last(), QStringLiteral("read failed"));
        QVERIFY(!host.log.contains(QStringLiteral("save silent=1")));
        QVERIFY(host.log.filter(QStringLiteral("next")).isEmpty());
        QCOMPARE(host.caption, QString());
    }

    void runSupersededWhileThePageSettles()
    {
        FakeExtractHost host;
        host.title = QStringLiteral("前一页");
        host.whileSettling = [&] { host.current = false; };

        RunExtract(host);

        QCOMPARE(host.title, QStringLiteral("前一页"));
        QVERIFY(!host.text1);
        QVERIFY(!host.log.contains(QStringLiteral("read failed")));
    }

    void customWithoutBodyGivesTitleOnly()
    {
        FakeExtractHost host;
        UseMarkers(host);
        host.document = BodyPage(QStringLiteral("图片页"), std::nullopt);

        RunExtract(host);

        QCOMPARE(*host.text1, QStringLiteral("图片页\r\n"));
    }

    void noCandidateGivesTitleOnly()
    {
        FakeExtractHost host;
        host.document = BodyPage(QStringLiteral("短页"), QStringLiteral("太短了。"));

        RunExtract(host);

        QCOMPARE(*host.text1, QStringLiteral("短页\r\n"));
        QVERIFY(host.state.CandidateKeys.isEmpty());
        QVERIFY(host.log.contains(QStringLiteral("save silent=1")));
    }

    void endedWaitChangesNothing()
    {
        FakeExtractHost host;
        host.loads = false;
        host.document = ProsePage(QStringLiteral("卷一"), QStringLiteral("风"));

        RunExtract(host);

        QCOMPARE(host.log, QStringList{QStringLiteral("wait")});
        QVERIFY(!host.text1);
    }

    // A newer run takes over at one of the points where events run.
    void supersededRunChangesNothing_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<bool>("silentMode");
        QTest::addColumn<bool>("custom");
        QTest::newRow("while reading") << "read" << true << false;
        QTest::newRow("while reading, then no scan") << "read" << true << true;
        QTest::newRow("while scanning") << "yield" << true << false;
        QTest::newRow("while the save question is open") << "ask" << false << false;
    }
    void supersededRunChangesNothing()
    {
        QFETCH(QString, where);
        QFETCH(bool, silentMode);
        QFETCH(bool, custom);
        FakeExtractHost host;
        if (custom)
            UseMarkers(host);
        host.silentModeOn = silentMode;
        host.silent = true;
        host.title = QStringLiteral("newer");
        host.state.CandidateLog = QStringLiteral("newer log");
        host.document = ProsePage(QStringLiteral("卷一"), QStringLiteral("风"));
        const auto supersede = [&host] { host.current = false; };
        if (where == QLatin1String("read"))
            host.whileReading = supersede;
        else if (where == QLatin1String("yield"))
            host.whileYielding = supersede;
        else
            host.whileAsking = [&host](const QString &) { host.current = false; };

        RunExtract(host);

        QVERIFY(host.silent);
        QVERIFY(!host.log.contains(QStringLiteral("save silent=1")));
        QVERIFY(!host.log.contains(QStringLiteral("next silent=1")));
        QVERIFY(host.questions.size() <= 1);
        if (where != QLatin1String("ask")) {
            QVERIFY(!host.text1);
            QCOMPARE(host.title, QStringLiteral("newer"));
            QCOMPARE(host.state.CandidateLog, QStringLiteral("newer log"));
            QVERIFY(!host.caption.endsWith(QStringLiteral(" - 提取结束")));
        }
    }
};

QTEST_GUILESS_MAIN(TstExtractCommand)
#include "tst_extractcommand.moc"
