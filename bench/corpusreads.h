#pragma once

#include "workflow/browserport.h"

#include <QString>
#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

#include <functional>

class QWebEnginePage;

namespace pagewick::testsupport {
class LoopbackServer;
}

// The measured read against the full read on one page, and the pages of the
// main-text corpora (see the corpus README) served on loopback.
namespace pagewick::bench {

// Real pages ask for their images, styles and scripts elsewhere; only the
// loopback server answers, the rest fails at once.
class LoopbackOnly : public QWebEngineUrlRequestInterceptor
{
public:
    void interceptRequest(QWebEngineUrlRequestInfo &info) override;
};

// The read an Extract run makes: links in full, the candidate blocks measured.
workflow::ReadParts MeasuredParts();

// Loads url into page and reads it both ways in one script, so that both see
// the same moment. Empty when both reads came, else what went wrong ("did not
// load" for a page that sends itself elsewhere).
QString ReadBothWays(QWebEnginePage &page, const QUrl &url, workflow::LoadedPage *measured,
                     workflow::LoadedPage *full);

struct CorpusPage
{
    QString collection; // "english-news/html", "chinese-pages/original"
    QString id;
    QString truth; // the main text as people wrote it out
    QUrl url;      // where the server gives it
};

// Serves every stride-th page of both collections under corpusDir and
// visits each in turn; false when a collection cannot be read.
bool VisitCorpus(const QString &corpusDir, int stride, testsupport::LoopbackServer &server,
                 const std::function<void(const CorpusPage &)> &visit);

} // namespace pagewick::bench
