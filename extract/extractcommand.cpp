#include "extract/extractcommand.h"

#include "extract/detection.h"
#include "extract/titleclean.h"
#include "text/textops.h"

#include <utility>

namespace pagewick::extract {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kNoTitleLine = QStringLiteral("    ");

// What a run leaves behind, gathered before anything of the window is
// changed, so that a run superseded halfway changes nothing.
struct Extraction
{
    QString title; // cleaned
    QString body;  // as Text1 will show it
    std::optional<CandidateState> candidates; // set when detection ran
    bool unreadable = false; // the document could not be read, twice
};

QString ExtractBody(ExtractHost &host, const PageDocument &doc, const QString &rawTitle,
                    std::optional<CandidateState> &candidates, bool &superseded)
{
    const QString startKeyword = host.startKeyword();
    const QString endKeyword = host.endKeyword();
    // The keywords are used untrimmed: a single space is a valid keyword.
    if (host.customExtraction() && !startKeyword.isEmpty() && !endKeyword.isEmpty())
        return doc.bodyText ? text::FindStrMulti(*doc.bodyText, startKeyword, endKeyword, QString())
                            : QString();

    // A caption is seen only once events run: the progress of every element
    // is kept, and the latest is shown at each yield and when the scan ends,
    // rather than the window being retitled for every element of the page.
    QString progress;
    const auto showProgress = [&host, &rawTitle, &progress] {
        if (progress.isNull())
            return;
        host.setCaption(ProgressCaption(rawTitle, progress));
        progress = QString();
    };
    DetectionHooks hooks;
    hooks.progress = [&progress](const QString &number) { progress = number; };
    hooks.yield = [&host, &showProgress] {
        showProgress();
        return host.yieldToEvents();
    };
    CandidateState state;
    std::optional<QString> body = DetectMainText(doc, state, hooks);
    showProgress();
    if (!body) {
        superseded = true;
        return QString();
    }
    candidates = std::move(state);
    return *body;
}

QString WithTitle(const QString &title, const QString &body)
{
    // An empty title is found in any non-empty body, but not in an empty one.
    if (!body.isEmpty() && body.contains(title))
        return kNoTitleLine + body;
    return title + kCrLf + body;
}

// Steps 3 to 8 of a run; nullopt when the run was superseded meanwhile.
std::optional<Extraction> Extract(ExtractHost &host)
{
    Extraction x;
    std::optional<PageDocument> doc = host.readDocument();
    if (!host.stillCurrent())
        return std::nullopt;
    // A render process that died, a page that went on changing: once the
    // page has settled it usually reads.
    if (!doc) {
        if (!host.waitForSettledPage())
            return std::nullopt;
        doc = host.readDocument();
        if (!host.stillCurrent())
            return std::nullopt;
        if (!doc) {
            x.unreadable = true;
            return x;
        }
    }

    const QString rawTitle = doc->title;
    bool superseded = false;
    const QString body = ExtractBody(host, *doc, rawTitle, x.candidates, superseded);
    if (superseded)
        return std::nullopt;

    x.title = CleanPageTitle(rawTitle);
    x.body = WithTitle(x.title, body);
    if (host.reflow()) {
        x.body = text::dlcp(text::DelSpace(x.body));
        // Re-flow lets events run too.
        if (!host.stillCurrent())
            return std::nullopt;
    }
    return x;
}

// Steps 12 and 13: in answer mode a command runs only after an OK. False
// when the run was superseded while the question was open.
bool RunAfterAnswer(ExtractHost &host, const QString &question, void (ExtractHost::*command)())
{
    if (host.silentMode()) {
        (host.*command)();
        return true;
    }
    const bool ok = host.ask(question);
    if (!host.stillCurrent())
        return false;
    if (ok)
        (host.*command)();
    return true;
}

} // namespace

QString FinishedCaption(const QString &cleanTitle)
{
    return cleanTitle + QStringLiteral(" - 提取结束");
}

QString SaveQuestion()
{
    return QStringLiteral("本页分析提取完毕，要保存提取结果吗？     ");
}

QString NextPageQuestion()
{
    return QStringLiteral("提取结果保存完毕，要继续分析下页吗？     ");
}

void RunExtract(ExtractHost &host)
{
    if (!host.waitForPage())
        return;

    const bool formerSilent = host.browserSilent();
    host.setBrowserSilent(false);
    host.setPageDialogsSilenced(formerSilent);
    const auto restoreSilent = [&host, formerSilent] {
        host.setPageDialogsSilenced(false);
        host.setBrowserSilent(formerSilent);
    };

    std::optional<Extraction> x = Extract(host);
    if (!x) {
        restoreSilent();
        return;
    }
    if (x->unreadable) {
        host.setPageTitle(QString());
        host.candidates() = CandidateState();
        host.setText1(QString());
        restoreSilent();
        host.readFailed();
        return;
    }

    // Nothing below step 8 lets events run before the questions, so these
    // are set together.
    host.setPageTitle(x->title);
    if (x->candidates)
        host.candidates() = std::move(*x->candidates);
    host.setText1(x->body);
    host.setCaption(FinishedCaption(x->title));
    restoreSilent();

    if (!RunAfterAnswer(host, SaveQuestion(), &ExtractHost::runSave))
        return;
    // The mode is read afresh: a switch made while the first box was open applies here.
    RunAfterAnswer(host, NextPageQuestion(), &ExtractHost::runNextPage);
}

} // namespace pagewick::extract
