#pragma once

#include <QString>

namespace pagewick::workflow {

// Status of a load that ended on no chapter: an HTTP status of 400 or more,
// or a negative network error code of the engine (net::Error numbering:
// -102 refused, -105 name not resolved, -324 empty response, ...).
// kUnreadablePage stands for a page that loaded but could not be read.
constexpr int kUnreadablePage = 0;

// How the status line and notices name the failure: "网页打开失败（503）",
// "网页打开失败（连接被拒绝）", "网页读取失败".
QString FailureDescription(int status);

// A page that only stands between the reader and the site: a 403 answer, or
// a page whose title is one of the common challenge titles ("Just a
// moment...", "Attention Required! | Cloudflare", ...). status is 0 for a
// page that loaded without failure.
bool IsVerificationPage(int status, const QString &title);

// Status line texts.
QString FailedLoadStatus(int status, const QString &address);
QString RetryStatus(int status, int seconds, int attempt, const QString &address);
QString VerificationStatus(int status, const QString &address);

// The notice after the last retry of a page has failed too.
QString GaveUpNotice(int status, int retries, const QString &address);

} // namespace pagewick::workflow
