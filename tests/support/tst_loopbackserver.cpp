#include "tests/support/loopbackserver.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using pagewick::testsupport::LoopbackServer;

namespace {

// Sends one GET and collects what comes back until the server closes, or
// until waitMs passes (the answer so far then).
QByteArray get(const LoopbackServer &server, const QByteArray &target, int waitMs = 5000)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server.port());
    if (!socket.waitForConnected(waitMs))
        return {};
    socket.write("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    QByteArray answer;
    QSignalSpy closed(&socket, &QTcpSocket::disconnected);
    QDeadlineTimer deadline(waitMs);
    while (socket.state() == QAbstractSocket::ConnectedState && !deadline.hasExpired()) {
        QTest::qWait(5);
        answer += socket.readAll();
    }
    answer += socket.readAll();
    return answer;
}

} // namespace

class TestLoopbackServer : public QObject
{
    Q_OBJECT

private slots:
    void servesRegisteredPages_data();
    void servesRegisteredPages();
    void holdsAResponseOpen();
    void servesFilesBelowItsDirectoryOnly_data();
    void servesFilesBelowItsDirectoryOnly();
};

void TestLoopbackServer::servesRegisteredPages_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QByteArray>("statusLine");
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("default type") << QByteArray("/a.html") << QByteArray("HTTP/1.1 200 OK")
                                  << QByteArray("Content-Type: text/html; charset=utf-8")
                                  << QByteArray("<p>\xe4\xb8\x80</p>");
    QTest::newRow("type without charset") << QByteArray("/gbk.html") << QByteArray("HTTP/1.1 200 OK")
                                          << QByteArray("Content-Type: text/html\r\n")
                                          << QByteArray("\xd2\xbb");
    QTest::newRow("query ignored") << QByteArray("/a.html?page=2") << QByteArray("HTTP/1.1 200 OK")
                                   << QByteArray("Content-Length: 10\r\n") << QByteArray("<p>\xe4\xb8\x80</p>");
    QTest::newRow("status and extra header") << QByteArray("/private.html")
                                             << QByteArray("HTTP/1.1 401 Unauthorized")
                                             << QByteArray("WWW-Authenticate: Basic realm=\"r\"")
                                             << QByteArray("no");
    QTest::newRow("unknown path") << QByteArray("/none.html") << QByteArray("HTTP/1.1 404 Not Found")
                                  << QByteArray("Connection: close") << QByteArray("not found");
}

void TestLoopbackServer::servesRegisteredPages()
{
    QFETCH(QByteArray, target);
    QFETCH(QByteArray, statusLine);
    QFETCH(QByteArray, header);
    QFETCH(QByteArray, body);
    LoopbackServer server;
    QVERIFY(server.isListening());
    QCOMPARE(server.url("/a.html"), QUrl(QStringLiteral("http://127.0.0.1:%1/a.html").arg(server.port())));
    server.addPage("/a.html", "<p>\xe4\xb8\x80</p>");
    server.addPage("/gbk.html", "\xd2\xbb", "text/html");
    server.addPage("/private.html", "no", "text/plain", 401);
    server.addHeader("/private.html", "WWW-Authenticate: Basic realm=\"r\"");

    const QByteArray answer = get(server, target);
    QVERIFY2(answer.startsWith(statusLine + "\r\n"), answer.constData());
    const qsizetype split = answer.indexOf("\r\n\r\n");
    QVERIFY(split > 0);
    QVERIFY2(answer.left(split + 2).contains(header), answer.constData());
    QCOMPARE(answer.mid(split + 4), body);
    const QString path = QString::fromLatin1(target).section(QLatin1Char('?'), 0, 0);
    QCOMPARE(server.requestCount(path), 1);
    QCOMPARE(server.requestCount("/other.html"), 0);
}

void TestLoopbackServer::holdsAResponseOpen()
{
    LoopbackServer server;
    server.holdPage("/held.html", "<p>part");
    const QByteArray answer = get(server, "/held.html", 500);
    QVERIFY(answer.startsWith("HTTP/1.1 200 OK\r\n"));
    QVERIFY(answer.endsWith("\r\n\r\n<p>part"));
    QVERIFY(!answer.contains("Content-Length"));
    QCOMPARE(server.requestCount("/held.html"), 1);
}

void TestLoopbackServer::servesFilesBelowItsDirectoryOnly_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<bool>("served");
    QTest::newRow("file") << QByteArray("/files/ch1.html") << true;
    QTest::newRow("escaped name") << QByteArray("/files/ch%31.html") << true;
    QTest::newRow("parent directory") << QByteArray("/files/../secret.txt") << false;
    QTest::newRow("escaped parent directory") << QByteArray("/files/%2e%2e/secret.txt") << false;
    QTest::newRow("missing file") << QByteArray("/files/none.html") << false;
}

void TestLoopbackServer::servesFilesBelowItsDirectoryOnly()
{
    QFETCH(QByteArray, target);
    QFETCH(bool, served);
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkdir("served"));
    QFile page(root.filePath("served/ch1.html"));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<p>chapter</p>");
    page.close();
    QFile secret(root.filePath("secret.txt"));
    QVERIFY(secret.open(QIODevice::WriteOnly));
    secret.write("secret");
    secret.close();

    LoopbackServer server;
    server.serveDirectory("/files/", root.filePath("served"));
    const QByteArray answer = get(server, target);
    if (served) {
        QVERIFY2(answer.startsWith("HTTP/1.1 200 OK\r\n"), answer.constData());
        QVERIFY(answer.contains("Content-Type: text/html\r\n"));
        QVERIFY(answer.endsWith("\r\n\r\n<p>chapter</p>"));
    } else {
        QVERIFY2(answer.startsWith("HTTP/1.1 404 Not Found\r\n"), answer.constData());
        QVERIFY(!answer.contains("secret"));
    }
}

QTEST_GUILESS_MAIN(TestLoopbackServer)
#include "tst_loopbackserver.moc"
