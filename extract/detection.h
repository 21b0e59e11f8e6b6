#pragma once

#include "extract/candidatestate.h"
#include "extract/pagedocument.h"

#include <QString>

#include <functional>
#include <optional>

namespace pagewick::extract {

// How a detection run talks to the window. Either function may be empty.
struct DetectionHooks
{
    // Called once per element, before it is examined, with ProgressNumber().
    std::function<void(const QString &percent)> progress;
    // Called once per element that passes the pre-filter, to let events run.
    // Returning false means the run has been superseded or the window is
    // closing: the run stops at once. Empty means "go on".
    std::function<bool()> yield;
};

// Finds the page's main text: the innerText of the best-ranked accepted td or
// div, framed as CR LF + text + CR LF; empty when no element was accepted.
// On a page of Western punctuation SecondLook may take another accepted
// candidate instead; the log and keys stay those of the ranking.
// On completion `state` holds this run's log and sorted keys. A run stopped by
// hooks.yield returns nullopt and leaves `state` as it was. `doc` is read
// across the yields, so it must stay alive and unchanged until the call
// returns: a caller that may replace its document meanwhile passes a copy.
//
// A document without a body is read in paragraph-mark mode, and since the
// mark density cannot be worked out without the page length, none of its
// elements is accepted; the same holds for an empty body text.
std::optional<QString> DetectMainText(const PageDocument &doc, CandidateState &state,
                                      const DetectionHooks &hooks);

// 100 x (index / count rounded to 4 places, ties to even), written as the
// key numbers are: index 1 of 3 gives "33.33". Requires count > 0.
QString ProgressNumber(qsizetype index, qsizetype count);

// The window caption while a run scans: title + " - 正在处理中 " + number + "%".
QString ProgressCaption(const QString &title, const QString &number);

// The 0-based position of the first record of `log` that starts with `key`,
// or -1. Only a record start counts (the log's start, or just after a line
// of 60 "-"), so a key quoted inside an earlier candidate's text is passed
// over.
qsizetype FindCandidateRecord(const QString &log, const QString &key);

// The stretch of the record found by FindCandidateRecord between the ":"
// after the key and the record's closing line: CR LF + text + CR LF.
// Empty when there is no such record.
QString CandidateRecordBody(const QString &log, const QString &key);

} // namespace pagewick::extract
