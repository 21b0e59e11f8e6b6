#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace pagewick::workflow {

// The longest Retry-After a chain waits out: ten minutes.
constexpr int kMostRetryAfterSeconds = 600;

// The seconds a Retry-After value asks for, from `now`: a number of seconds,
// or an HTTP date ("Wed, 21 Oct 2026 07:28:00 GMT"; one in the past asks
// for none), at most kMostRetryAfterSeconds. nullopt for anything else.
std::optional<int> RetryAfterSeconds(const QString &value, const QDateTime &now);

} // namespace pagewick::workflow
