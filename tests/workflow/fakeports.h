#pragma once

#include "fakefilesystem.h"
#include "tests/support/scriptedprompt.h"

#include "workflow/browserport.h"
#include "workflow/clock.h"
#include "workflow/formport.h"

#include <QStringList>

#include <array>
#include <functional>

// A browser whose page and answers a test sets, recording what was asked of it.
class FakeBrowserPort : public pagewick::workflow::BrowserPort
{
public:
    pagewick::workflow::FrameId top = 1;
    QString location = QStringLiteral("http://h/1");
    QString loading; // the address a load under way fetches
    QString title;   // as the engine names the page shown
    int finishedLoads = 0;
    int failedLoads = 0;
    int abandonedLoads = 0;
    std::optional<pagewick::workflow::LoadedPage> page;
    std::optional<QString> bodyText = QStringLiteral("正文");
    int lostBodyAnswers = 0; // the first reads of the body answer nothing
    std::optional<QString> activeHref;
    bool scriptsSucceed = true;
    bool shutDown = false;
    bool silentFlag = false;
    // Per clickLink call, what it answers; Clicked once these run out.
    QList<pagewick::workflow::ClickResult> clickResults;
    QList<pagewick::workflow::LinkToClick> clickChecks;
    // Positions of the links whose written target starts with "#"; the
    // others are written as their (resolved) address.
    QList<int> writtenAsFragment;
    bool dialogsSilenced = false;
    std::function<void()> whileWaiting;
    std::function<void()> whileReading;
    std::function<void()> whileClicking;
    // Runs once during a read of the active element, after its answer is taken.
    std::function<void()> whileReadingActive;
    int activeReads = 0;
    QList<int> focused;

    QStringList navigations;
    QList<pagewick::workflow::LoadOrigin> navigationOrigins;
    // Who begins the next load, as navigate() and expectLoadFrom() said.
    std::optional<pagewick::workflow::LoadOrigin> claim;
    pagewick::workflow::PageLoad newest;
    QStringList scripts; // "frame:code"
    QStringList startScripts;
    QList<int> clicked;
    int documentReads = 0;
    int interrupts = 0;

    void navigate(const QString &url, pagewick::workflow::LoadOrigin origin) override
    {
        navigations << url;
        navigationOrigins << origin;
        if (origin != pagewick::workflow::LoadOrigin::Page)
            claim = origin;
    }
    void expectLoadFrom(pagewick::workflow::LoadOrigin origin) override
    {
        if (origin == pagewick::workflow::LoadOrigin::Page)
            claim.reset();
        else
            claim = origin;
    }
    pagewick::workflow::PageLoad newestLoad() override { return newest; }
    // A top-level load of `asked` begins, as the engine would start one:
    // it takes the standing claim on its origin.
    pagewick::workflow::PageLoad &beginLoad(const QString &asked)
    {
        pagewick::workflow::PageLoad load;
        load.id = newest.id + 1;
        load.askedUrl = asked;
        load.finalUrl = asked;
        newest = load;
        newest.origin = claim.value_or(pagewick::workflow::LoadOrigin::Page);
        claim.reset();
        return newest;
    }
    QString locationUrl() override { return location; }
    QString loadingUrl() override { return loading; }
    QString locationName() override { return title; }
    void finishLoadNow() override { ++finishedLoads; }
    void failLoadNow() override { ++failedLoads; }
    void abandonLoad() override { ++abandonedLoads; }
    pagewick::workflow::FrameId topFrame() override { return top; }
    bool silent() override { return silentFlag; }
    void setSilent(bool s) override { silentFlag = s; }
    void setPageDialogsSilenced(bool s) override { dialogsSilenced = s; }
    std::optional<pagewick::workflow::LoadedPage> readElements(const pagewick::workflow::ReadParts &) override
    {
        ++documentReads;
        if (whileReading)
            whileReading();
        return page;
    }
    std::optional<QString> readBodyText() override
    {
        if (whileReading)
            whileReading();
        if (lostBodyAnswers > 0) {
            --lostBodyAnswers;
            return std::nullopt;
        }
        return bodyText;
    }
    std::optional<QString> readActiveElementHref() override
    {
        ++activeReads;
        const std::optional<QString> answer = activeHref;
        if (whileReadingActive) {
            const auto hook = std::move(whileReadingActive);
            whileReadingActive = nullptr;
            hook();
        }
        return answer;
    }
    bool focusElement(int index) override
    {
        focused << index;
        return true;
    }
    pagewick::workflow::ClickResult clickLink(const pagewick::workflow::LinkToClick &link) override
    {
        clickChecks << link;
        if (whileClicking)
            whileClicking();
        auto result = clickResults.isEmpty() ? pagewick::workflow::ClickResult::Clicked : clickResults.takeFirst();
        if (result == pagewick::workflow::ClickResult::Clicked && link.onlyIfWrittenAsFragment
            && !writtenAsFragment.contains(link.index))
            result = pagewick::workflow::ClickResult::WrittenAsPage;
        if (result == pagewick::workflow::ClickResult::Clicked)
            clicked << link.index;
        return result;
    }
    bool execScript(pagewick::workflow::FrameId frame, const QString &code) override
    {
        scripts << QStringLiteral("%1:%2").arg(frame).arg(code);
        return scriptsSucceed;
    }
    void setDocumentStartScripts(const QStringList &s) override { startScripts = s; }
    bool waitUntilLoaded() override
    {
        if (whileWaiting) {
            // Once: a nested run must not wait for ever on the same hook.
            const auto hook = std::move(whileWaiting);
            whileWaiting = nullptr;
            hook();
            return false;
        }
        return !shutDown;
    }
    void interruptWaits() override { ++interrupts; }
    bool isShutDown() override { return shutDown; }
};

// Stands where the test puts it.
class FixedClock : public pagewick::workflow::Clock
{
public:
    QDateTime time{QDate(2026, 12, 8), QTime(13, 5, 9), Qt::OffsetFromUTC, 8 * 3600};
    QDateTime now() override { return time; }
};

// The window's controls as plain values.
class FakeFormPort : public pagewick::workflow::FormPort
{
public:
    std::array<bool, 4> options{true, true, false, false};
    QString directory = QStringLiteral("/d/");
    QString directoryMadeOnDemand;
    QString nextName = QStringLiteral("下一页");
    std::array<QString, 2> keywords;
    int interval = 0;
    QString text1;
    int text1Sets = 0;
    QString caption = QStringLiteral("旧标题");
    QString status;
    QStringList statuses; // every text the status line got, in order
    QString address;
    QStringList focus;
    QString title;
    pagewick::extract::CandidateState state;
    ScriptedPrompt scripted;
    FakeFileSystem files;
    FixedClock fixedClock;

    bool optionChecked(int index) override { return options.at(size_t(index)); }
    QString saveDirectory() override { return directory; }
    QString saveDirectoryMadeOnDemand() override { return directoryMadeOnDemand; }
    QString nextLinkName() override { return nextName; }
    QString keyword(int index) override { return keywords.at(size_t(index)); }
    int pageIntervalSeconds() override { return interval; }
    QString resultText() override { return text1; }
    void setResultText(const QString &t) override
    {
        text1 = t;
        ++text1Sets;
    }
    void setCaption(const QString &c) override { caption = c; }
    QString programTitle() override { return QStringLiteral("Pagewick"); }
    void setStatusText(const QString &t) override
    {
        status = t;
        statuses << t;
    }
    void setAddressText(const QString &t) override { address = t; }
    void focusAddressBox() override { focus << QStringLiteral("Combo1"); }
    void focusNextLinkName() override { focus << QStringLiteral("Txt_Next"); }
    QString pageTitle() override { return title; }
    void setPageTitle(const QString &t) override { title = t; }
    pagewick::extract::CandidateState &candidates() override { return state; }
    pagewick::workflow::MessagePrompt &prompt() override { return scripted; }
    pagewick::workflow::FileSystem &fileSystem() override { return files; }
    pagewick::workflow::Clock &clock() override { return fixedClock; }
};
