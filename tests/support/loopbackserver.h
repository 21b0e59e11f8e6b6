#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QTcpServer;
class QTcpSocket;

namespace pagewick::testsupport {

// A small HTTP/1.1 server on 127.0.0.1 for engine tests, listening on a
// random free port from construction on. It runs on the thread that owns it,
// so the test must let the event loop run (QTRY_*, QSignalSpy::wait, or a
// WebBrowser wait) while the engine fetches.
//
//     LoopbackServer server;
//     server.addPage("/ch1.html", utf8Bytes);                      // text/html; charset=utf-8
//     server.addPage("/gbk.html", gbkBytes, "text/html");          // no charset parameter
//     server.holdPage("/slow.html", "<html><body>partial");        // never finishes
//     server.serveDirectory("/files/", dirPath);                   // /files/a.html -> dirPath/a.html
//     browser.Navigate(server.url("/ch1.html").toString());
//     QCOMPARE(server.requestCount("/ch1.html"), 1);
//
// Every response carries Connection: close. Unknown paths answer 404. Paths
// are matched without their query string.
class LoopbackServer : public QObject
{
    Q_OBJECT

public:
    explicit LoopbackServer(QObject *parent = nullptr);
    ~LoopbackServer() override;

    bool isListening() const;
    quint16 port() const;
    // http://127.0.0.1:<port><path>; path starts with '/'.
    QUrl url(const QString &path) const;

    // Serves body with the given Content-Type header value, as given.
    void addPage(const QString &path, const QByteArray &body,
                 const QByteArray &contentType = "text/html; charset=utf-8", int status = 200);
    // Adds a header line ("WWW-Authenticate: Basic realm=\"x\"") to the
    // responses of a page added with addPage() or addDelayedPage().
    void addHeader(const QString &path, const QByteArray &line);
    // Sends the header and firstPart, then holds the connection open without
    // ever finishing the response (until releaseHeld() or destruction).
    void holdPage(const QString &path, const QByteArray &firstPart = {},
                  const QByteArray &contentType = "text/html; charset=utf-8");
    // Serves the page as addPage does, but only delayMs after the request.
    void addDelayedPage(const QString &path, const QByteArray &body, int delayMs,
                        const QByteArray &contentType = "text/html; charset=utf-8");
    // Answers for the next requests of path, one each, before its own
    // answer: an HTTP status with body (an HTML page), or kDropConnection
    // (the connection closed before any answer).
    // headerLine, when given, is sent with each of them ("Retry-After: 30").
    // A HEAD request of path is answered as its next GET would be (without
    // the body), and neither counted nor using up a queued answer.
    static constexpr int kDropConnection = 0;
    void queueFailures(const QString &path, const QList<int> &statuses, const QByteArray &body = {},
                       const QByteArray &headerLine = {});
    // Serves the files below directory under the URL prefix ("/files/"), with
    // a Content-Type chosen from the file suffix (html as text/html, no charset).
    void serveDirectory(const QString &urlPrefix, const QString &directory);

    // Requests received for path (without query), whatever the answer was.
    int requestCount(const QString &path) const;
    // Closes the held connections.
    void releaseHeld();

private:
    struct Route
    {
        QByteArray body;
        QByteArray contentType;
        QByteArray extraHeaders;
        int status = 200;
        bool hold = false;
        int delayMs = 0;
    };

    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void respond(QTcpSocket *socket, const QString &path, bool head = false);
    bool routeFromDirectory(const QString &path, Route *route) const;
    static void writeResponse(QTcpSocket *socket, const Route &route);

    QTcpServer *m_server = nullptr;
    QHash<QString, Route> m_routes;
    QHash<QString, QString> m_directories;
    QHash<QString, int> m_counts;
    struct Failure
    {
        int status = 0;
        QByteArray body;
        QByteArray headerLine;
    };
    QHash<QString, QList<Failure>> m_failures;
    QHash<QTcpSocket *, QByteArray> m_pending;
    QList<QPointer<QTcpSocket>> m_held;
};

} // namespace pagewick::testsupport
