#pragma once

#include <QString>
#include <QStringList>

namespace pagewick::extract {

// What the last detection run left behind; owned by the main window and
// overwritten by every completed run.
struct CandidateState
{
    // One record per accepted element, in document order:
    // key ":" CR LF innerText CR LF 60 "-" CR LF.
    QString CandidateLog;
    // The keys sorted ascending by code unit, led by one empty text; empty
    // when no element was accepted. The last one is the winner.
    QStringList CandidateKeys;
};

} // namespace pagewick::extract
