#include "bench/corpusreads.h"

#include "browser/documentscripts.h"
#include "extract/candidatescore.h"
#include "tests/support/enginetestutil.h"
#include "tests/support/loopbackserver.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWebEngineScript>

namespace pagewick::bench {

void LoopbackOnly::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    const QUrl url = info.requestUrl();
    if ((url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
        && url.host() != QLatin1String("127.0.0.1"))
        info.block(true);
}

workflow::ReadParts MeasuredParts()
{
    workflow::ReadParts parts = workflow::ReadParts::elements({QStringLiteral("A")}, true);
    parts.measuredTags = extract::CandidateTagNames();
    parts.carryBounds = extract::CandidateAcceptanceBounds();
    return parts;
}

QString ReadBothWays(QWebEnginePage &page, const QUrl &url, workflow::LoadedPage *measured,
                     workflow::LoadedPage *full)
{
    namespace scripts = browser::scripts;
    if (!testsupport::loadPage(page, url))
        return QStringLiteral("did not load");
    // A lone surrogate half becomes one U+FFFD, as the program's read makes it.
    const auto answer = testsupport::runScript(
        page,
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
    auto m = scripts::parseDocument(both.at(0));
    auto f = scripts::parseDocument(both.at(1));
    if (!m || !f)
        return QStringLiteral("a read failed");
    *measured = std::move(*m);
    *full = std::move(*f);
    return QString();
}

bool VisitCorpus(const QString &corpusDir, int stride, testsupport::LoopbackServer &server,
                 const std::function<void(const CorpusPage &)> &visit)
{
    struct Collection
    {
        QString dir;
        QString suffix;
        QByteArray encoding; // Content-Encoding, or empty
    };
    const Collection collections[] = {
        {QStringLiteral("english-news/html"), QStringLiteral(".html.gz"), QByteArray("gzip")},
        {QStringLiteral("chinese-pages/original"), QStringLiteral(".html"), QByteArray()},
    };
    const QDir corpus(corpusDir);
    int served = 0;
    for (const Collection &c : collections) {
        const QDir dir(corpus.filePath(c.dir));
        QFile truthFile(corpus.filePath(c.dir.section(QLatin1Char('/'), 0, 0) + QStringLiteral("/ground-truth.json")));
        if (!truthFile.open(QIODevice::ReadOnly))
            return false;
        const QJsonObject truths = QJsonDocument::fromJson(truthFile.readAll()).object();
        const QStringList names = dir.entryList({QLatin1Char('*') + c.suffix}, QDir::Files, QDir::Name);
        for (qsizetype k = 0; k < names.size(); k += qMax(1, stride)) {
            QFile file(dir.filePath(names.at(k)));
            if (!file.open(QIODevice::ReadOnly))
                return false;
            const QString path = QStringLiteral("/corpus/%1.html").arg(++served);
            server.addPage(path, file.readAll(), "text/html");
            if (!c.encoding.isEmpty())
                server.addHeader(path, "Content-Encoding: " + c.encoding);
            CorpusPage page;
            page.collection = c.dir;
            page.id = names.at(k).chopped(c.suffix.size());
            page.truth = truths.value(page.id).toObject().value(QStringLiteral("articleBody")).toString();
            page.url = server.url(path);
            visit(page);
        }
    }
    return true;
}

} // namespace pagewick::bench
