#include "workflow/loadfailure.h"
#include "workflow/retryafter.h"

#include <QtTest>

using namespace pagewick::workflow;

class TstLoadFailure : public QObject
{
    Q_OBJECT

private slots:
    void description_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("description");
        QTest::newRow("HTTP 503") << 503 << "网页打开失败（503）";
        QTest::newRow("HTTP 429") << 429 << "网页打开失败（429）";
        QTest::newRow("refused") << -102 << "网页打开失败（连接被拒绝）";
        QTest::newRow("no answer") << -324 << "网页打开失败（服务器没有应答）";
        QTest::newRow("no such host") << -105 << "网页打开失败（找不到服务器）";
        QTest::newRow("a certificate error") << -213 << "网页打开失败（证书错误）";
        QTest::newRow("an unnamed error") << -999 << "网页打开失败（错误-999）";
        QTest::newRow("unreadable") << kUnreadablePage << "网页读取失败";
    }
    void description()
    {
        QFETCH(int, status);
        QFETCH(QString, description);
        QCOMPARE(FailureDescription(status), description);
    }

    void texts()
    {
        const QString url = QStringLiteral("http://h/3.html");
        QCOMPARE(RetryStatus(503, 20, 3, url), QStringLiteral("网页打开失败（503），20秒后第3次重试：http://h/3.html"));
        QCOMPARE(FailedLoadStatus(-102, url), QStringLiteral("网页打开失败（连接被拒绝）：http://h/3.html"));
        QVERIFY(VerificationStatus(403, url).endsWith(QStringLiteral("：http://h/3.html")));
        const QString notice = GaveUpNotice(503, 6, url);
        QVERIFY(notice.contains(QStringLiteral("网页打开失败（503）")));
        QVERIFY(notice.contains(QStringLiteral("重试6次")));
        QVERIFY(notice.contains(url));
        QVERIFY(notice.contains(QStringLiteral("转到")));
    }

    void verification_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("verification");
        QTest::newRow("403") << 403 << "第三章" << true;
        QTest::newRow("403 without a title") << 403 << "" << true;
        // The classic check answers 503 and reloads itself once passed.
        QTest::newRow("503 with a challenge title") << 503 << "Just a moment..." << true;
        QTest::newRow("503 of a busy site") << 503 << "Service Unavailable" << false;
        QTest::newRow("502 with a challenge title") << 502 << "Just a moment..." << false;
        QTest::newRow("Cloudflare wait") << 0 << "Just a moment..." << true;
        QTest::newRow("ellipsis character") << 0 << "Just a moment…" << true;
        QTest::newRow("spaces around") << 0 << "  Just a moment...\n" << true;
        QTest::newRow("attention") << 0 << "Attention Required! | Cloudflare" << true;
        QTest::newRow("checking the browser") << 0 << "Checking your browser before accessing example.com" << true;
        QTest::newRow("DDoS-Guard") << 0 << "DDoS-Guard" << true;
        QTest::newRow("Chinese wait") << 0 << "请稍候…" << true;
        QTest::newRow("a chapter") << 0 << "第三章 Just a moment..." << false;
        QTest::newRow("a chapter with the words") << 0 << "Just a moment... 第三章" << false;
        QTest::newRow("empty title") << 0 << "" << false;
    }
    void verification()
    {
        QFETCH(int, status);
        QFETCH(QString, title);
        QFETCH(bool, verification);
        QCOMPARE(IsVerificationPage(status, title), verification);
    }

    void verificationText()
    {
        QVERIFY(IsVerificationText(QStringLiteral("example.com\r\nVerifying you are human. This may take a few seconds.")));
        QVERIFY(IsVerificationText(QStringLiteral("CHECKING YOUR BROWSER before accessing")));
        QVERIFY(!IsVerificationText(QStringLiteral("503 Service Temporarily Unavailable\r\nnginx")));
    }

    // -1: no wait asked for. Now is Tue, 08 Dec 2026 05:05:09 GMT.
    void retryAfter_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("seconds");
        QTest::newRow("seconds") << "120" << 120;
        QTest::newRow("blanks around") << " 30 " << 30;
        QTest::newRow("none") << "0" << 0;
        QTest::newRow("over ten minutes") << "601" << 600;
        QTest::newRow("an hour in too many digits") << "000000000000000000000003600" << 600;
        QTest::newRow("beyond any number") << "99999999999999999999999" << 600;
        QTest::newRow("negative") << "-5" << -1;
        QTest::newRow("fraction") << "1.5" << -1;
        QTest::newRow("words") << "soon" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("date in 90 s") << "Tue, 08 Dec 2026 05:06:39 GMT" << 90;
        QTest::newRow("date past") << "Tue, 08 Dec 2026 05:00:00 GMT" << 0;
        QTest::newRow("date in two hours") << "Tue, 08 Dec 2026 07:05:09 GMT" << 600;
    }
    void retryAfter()
    {
        QFETCH(QString, value);
        QFETCH(int, seconds);
        // The same moment in another offset.
        const QDateTime now(QDate(2026, 12, 8), QTime(13, 5, 9), Qt::OffsetFromUTC, 8 * 3600);
        QCOMPARE(RetryAfterSeconds(value, now).value_or(-1), seconds);
    }
};

QTEST_APPLESS_MAIN(TstLoadFailure)
#include "tst_loadfailure.moc"
