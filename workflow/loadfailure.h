#pragma once

#include "workflow/browserport.h"

#include <QString>

namespace pagewick::workflow {

// Status of a load that ended on no chapter: an HTTP status of 400 or more,
// or a negative network error code of the engine (net::Error numbering:
// -102 refused, -105 name not resolved, -324 empty response, ...).
// kUnreadablePage stands for a page that loaded but could not be read.
constexpr int kUnreadablePage = 0;
// A load that ended without a page (net::ERR_ABORTED): 204 No Content, a
// download, a stopped load.
constexpr int kNoPage = -3;
constexpr int kServiceUnavailable = 503;

// The status of a load that did not end on a page to read.
int FailureStatus(const PageLoad &load);

// How the status line and notices name the failure: "网页打开失败（503）",
// "网页打开失败（连接被拒绝）", "网页读取失败".
QString FailureDescription(int status);

// A page that only stands between the reader and the site: a 403 answer, or
// a page (loaded, or a 503 answer) whose title is one of the common
// challenge titles ("Just a moment...", "Attention Required! | Cloudflare",
// ...). status is 0 for a page that loaded without failure.
bool IsVerificationPage(int status, const QString &title);
// Whether a page's body text is that of a challenge ("Checking your
// browser before accessing", "Verifying you are human", ...).
bool IsVerificationText(const QString &bodyText);

// Status line texts.
QString FailedLoadStatus(int status, const QString &address);
QString RetryStatus(int status, int seconds, int attempt, const QString &address);
QString VerificationStatus(int status, const QString &address);

// The notice after the last retry of a page has failed too.
QString GaveUpNotice(int status, int retries, const QString &address);

} // namespace pagewick::workflow
