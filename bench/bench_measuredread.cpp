// What the second look and the contents-page test do on real pages: the
// main-text corpora read as an Extract run reads them, scored against the
// texts people wrote out (F1 over 4-token shingles, the corpora's usual
// score) before and after the second look, and the pages taken for contents
// pages. Also how many measured elements had to bring their text.
//
// bench_measuredread [corpus directory] [stride]: every stride-th page
// (1 unless given) of the corpora (../shared/corpus beside the sources unless given).

#include "bench/corpusreads.h"
#include "extract/candidatescore.h"
#include "extract/detection.h"
#include "tests/support/enginetestutil.h"
#include "tests/support/loopbackserver.h"
#include "workflow/bookend.h"

#include <QApplication>
#include <QHash>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <cstdio>
#include <utility>

namespace {

namespace bench = pagewick::bench;
namespace extract = pagewick::extract;
namespace workflow = pagewick::workflow;

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

double F1(double p, double r)
{
    return p + r > 0 ? 2 * p * r / (p + r) : 0;
}

// What the second look and the contents-page test do on one collection.
struct Effects
{
    int pages = 0;
    QStringList changed; // detection's result differs from the ranking's
    double precisionBefore = 0, recallBefore = 0, precisionAfter = 0, recallAfter = 0;
    QStringList contents;  // taken for a contents page with every link saved
    QStringList linkPages; // taken for one by their links alone, even with a next link

    void add(const QString &id, const QString &truth, const workflow::LoadedPage &full)
    {
        extract::CandidateState state;
        const QString taken = extract::DetectMainText(full.document, state, {}).value_or(QString());
        const QString ranked = state.CandidateKeys.isEmpty()
            ? QString()
            : extract::CandidateRecordBody(state.CandidateLog, state.CandidateKeys.constLast());
        ++pages;
        const auto before = Score(ranked, truth);
        const auto after = Score(taken, truth);
        precisionBefore += before.first;
        recallBefore += before.second;
        precisionAfter += after.first;
        recallAfter += after.second;
        if (ranked != taken)
            changed << QStringLiteral("%1 F1 %2 -> %3")
                           .arg(id)
                           .arg(F1(before.first, before.second), 0, 'f', 3)
                           .arg(F1(after.first, after.second), 0, 'f', 3);
        workflow::SavedChapters saved;
        for (const QString &href : full.hrefs) {
            if (!href.isEmpty())
                saved.add(href);
        }
        const QString described = QStringLiteral("%1 (ground truth %2 characters)").arg(id).arg(truth.size());
        if (workflow::IsBookEnd(full, saved, false))
            contents << described;
        if (workflow::IsBookEnd(full, {}, true))
            linkPages << described;
    }

    void report(const QString &name) const
    {
        if (pages == 0)
            return;
        std::printf("%s: %d pages, %lld changed by the second look; F1 %.4f before, %.4f after; "
                    "%lld taken for contents pages with all their links saved\n",
                    qPrintable(name), pages, qlonglong(changed.size()),
                    F1(precisionBefore / pages, recallBefore / pages),
                    F1(precisionAfter / pages, recallAfter / pages), qlonglong(contents.size()));
        for (const QString &c : changed)
            std::printf("  changed: %s\n", qPrintable(c));
        for (const QString &c : contents)
            std::printf("  contents: %s\n", qPrintable(c));
        std::printf("%lld taken for contents pages by their links alone\n", qlonglong(linkPages.size()));
        for (const QString &c : linkPages)
            std::printf("  by links: %s\n", qPrintable(c));
    }
};

} // namespace

int main(int argc, char *argv[])
{
    pagewick::testsupport::prepareEngine();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString corpus = args.size() > 1 ? args.at(1) : QStringLiteral(PAGEWICK_CORPUS_DIR);
    const int stride = args.size() > 2 ? args.at(2).toInt() : 1;

    pagewick::testsupport::LoopbackServer server;
    bench::LoopbackOnly interceptor;
    QWebEngineProfile profile;
    profile.setUrlRequestInterceptor(&interceptor);
    QWebEnginePage page(&profile);

    QHash<QString, Effects> effects;
    QStringList collections; // in the order visited
    int pages = 0, unloaded = 0, measured = 0, carried = 0;
    const bool read = bench::VisitCorpus(corpus, stride, server, [&](const bench::CorpusPage &p) {
        ++pages;
        if (!collections.contains(p.collection))
            collections << p.collection;
        workflow::LoadedPage m, f;
        if (!bench::ReadBothWays(page, p.url, &m, &f).isEmpty()) {
            ++unloaded;
            return;
        }
        for (const extract::PageElement &e : m.document.all) {
            if (e.measures) {
                ++measured;
                carried += e.innerText.isEmpty() ? 0 : 1;
            }
        }
        effects[p.collection].add(p.id, p.truth, f);
    });
    if (!read) {
        std::fprintf(stderr, "cannot read the corpora at %s\n", qPrintable(corpus));
        return 1;
    }
    for (const QString &c : std::as_const(collections))
        effects.value(c).report(c);
    std::printf("%d corpus pages, %d of them not read\n", pages, unloaded);
    std::printf("%d measured elements, %d of them with their text\n", measured, carried);
    return 0;
}
