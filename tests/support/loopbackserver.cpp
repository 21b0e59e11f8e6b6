#include "tests/support/loopbackserver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace pagewick::testsupport {

namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 429: return "Too Many Requests";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

QByteArray contentTypeForSuffix(const QString &suffix)
{
    const QString s = suffix.toLower();
    if (s == QLatin1String("html") || s == QLatin1String("htm"))
        return "text/html";
    if (s == QLatin1String("txt"))
        return "text/plain";
    if (s == QLatin1String("js"))
        return "application/javascript";
    if (s == QLatin1String("css"))
        return "text/css";
    if (s == QLatin1String("png"))
        return "image/png";
    if (s == QLatin1String("gif"))
        return "image/gif";
    return "application/octet-stream";
}

} // namespace

LoopbackServer::LoopbackServer(QObject *parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &LoopbackServer::onNewConnection);
    m_server->listen(QHostAddress::LocalHost, 0);
}

LoopbackServer::~LoopbackServer()
{
    releaseHeld();
}

bool LoopbackServer::isListening() const
{
    return m_server->isListening();
}

quint16 LoopbackServer::port() const
{
    return m_server->serverPort();
}

QUrl LoopbackServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path));
}

void LoopbackServer::addPage(const QString &path, const QByteArray &body,
                             const QByteArray &contentType, int status)
{
    Route r;
    r.body = body;
    r.contentType = contentType;
    r.status = status;
    m_routes.insert(path, r);
}

void LoopbackServer::addHeader(const QString &path, const QByteArray &line)
{
    auto it = m_routes.find(path);
    if (it != m_routes.end())
        it->extraHeaders += line + "\r\n";
}

void LoopbackServer::holdPage(const QString &path, const QByteArray &firstPart,
                              const QByteArray &contentType)
{
    Route r;
    r.body = firstPart;
    r.contentType = contentType;
    r.hold = true;
    m_routes.insert(path, r);
}

void LoopbackServer::addDelayedPage(const QString &path, const QByteArray &body, int delayMs,
                                    const QByteArray &contentType)
{
    Route r;
    r.body = body;
    r.contentType = contentType;
    r.delayMs = delayMs;
    m_routes.insert(path, r);
}

void LoopbackServer::queueFailures(const QString &path, const QList<int> &statuses, const QByteArray &body,
                                   const QByteArray &headerLine)
{
    for (int status : statuses)
        m_failures[path].append(Failure{status, body, headerLine});
}

void LoopbackServer::serveDirectory(const QString &urlPrefix, const QString &directory)
{
    m_directories.insert(urlPrefix, directory);
}

int LoopbackServer::requestCount(const QString &path) const
{
    return m_counts.value(path, 0);
}

void LoopbackServer::releaseHeld()
{
    for (const QPointer<QTcpSocket> &s : std::as_const(m_held)) {
        if (s)
            s->abort();
    }
    m_held.clear();
}

void LoopbackServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QObject::destroyed, this, [this, socket] { m_pending.remove(socket); });
    }
}

void LoopbackServer::onReadyRead(QTcpSocket *socket)
{
    QByteArray &buffer = m_pending[socket];
    buffer += socket->readAll();
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;
    const QByteArray requestLine = buffer.left(buffer.indexOf("\r\n"));
    m_pending.remove(socket);
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);

    // "GET /path?query HTTP/1.1"
    const QList<QByteArray> parts = requestLine.split(' ');
    QString path = parts.size() >= 2 ? QString::fromLatin1(parts.at(1)) : QString();
    const qsizetype query = path.indexOf(QLatin1Char('?'));
    if (query >= 0)
        path.truncate(query);
    const bool head = parts.value(0) == "HEAD";
    if (!head)
        ++m_counts[path];
    respond(socket, path, head);
}

bool LoopbackServer::routeFromDirectory(const QString &path, Route *route) const
{
    for (auto it = m_directories.cbegin(); it != m_directories.cend(); ++it) {
        if (!path.startsWith(it.key()))
            continue;
        const QString relative = QUrl::fromPercentEncoding(path.mid(it.key().size()).toLatin1());
        const QString root = QDir(it.value()).canonicalPath();
        const QFileInfo file(QDir(root).filePath(relative));
        // Nothing outside the served directory, whatever the path says.
        if (!file.isFile() || !file.canonicalFilePath().startsWith(root + QLatin1Char('/')))
            return false;
        QFile f(file.canonicalFilePath());
        if (!f.open(QIODevice::ReadOnly))
            return false;
        route->body = f.readAll();
        route->contentType = contentTypeForSuffix(file.suffix());
        return true;
    }
    return false;
}

void LoopbackServer::respond(QTcpSocket *socket, const QString &path, bool head)
{
    Route route;
    if (!m_failures.value(path).isEmpty()) {
        const Failure failure = head ? m_failures[path].first() : m_failures[path].takeFirst();
        if (failure.status == kDropConnection) {
            socket->abort();
            return;
        }
        route.status = failure.status;
        route.contentType = "text/html; charset=utf-8";
        route.body = head ? QByteArray() : failure.body;
        if (!failure.headerLine.isEmpty())
            route.extraHeaders = failure.headerLine + "\r\n";
        writeResponse(socket, route);
        return;
    }
    if (m_routes.contains(path)) {
        route = m_routes.value(path);
    } else if (!routeFromDirectory(path, &route)) {
        route.status = 404;
        route.contentType = "text/plain";
        route.body = "not found";
    }
    if (head)
        route.body.clear();

    if (route.hold) {
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: " + route.contentType
                      + "\r\nConnection: close\r\n\r\n" + route.body);
        socket->flush();
        m_held.append(socket);
        return;
    }
    if (route.delayMs > 0) {
        QPointer<QTcpSocket> guarded(socket);
        QTimer::singleShot(route.delayMs, this, [guarded, route] {
            if (guarded)
                writeResponse(guarded, route);
        });
        return;
    }
    writeResponse(socket, route);
}

void LoopbackServer::writeResponse(QTcpSocket *socket, const Route &route)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(route.status) + ' '
        + reasonPhrase(route.status) + "\r\n";
    head += "Content-Type: " + route.contentType + "\r\n" + route.extraHeaders;
    head += "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n";
    head += "Cache-Control: no-store\r\nConnection: close\r\n\r\n";
    socket->write(head + route.body);
    socket->disconnectFromHost();
}

} // namespace pagewick::testsupport
