#include "workflow/throttlepace.h"

#include <QtGlobal>

namespace pagewick::workflow {

void ThrottlePace::sign()
{
    m_seconds = m_seconds == 0 ? kFirstSeconds : qMin(kMostSeconds, m_seconds * 2);
    m_cleanPages = 0;
}

void ThrottlePace::cleanPage()
{
    if (m_seconds == 0 || ++m_cleanPages < kEasingPages)
        return;
    m_cleanPages = 0;
    m_seconds /= 2;
    if (m_seconds < kFirstSeconds)
        m_seconds = 0;
}

int ThrottlePace::intervalSeconds(int userSeconds) const
{
    return qMax(userSeconds, m_seconds);
}

QString ThrottledCountdownText(const QString &countdown)
{
    return QStringLiteral("网站可能在限速，放慢速度：") + countdown;
}

} // namespace pagewick::workflow
