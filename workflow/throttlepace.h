#pragma once

#include <QString>

namespace pagewick::workflow {

// The pause a silent chain keeps before each next page once the site has
// shown signs of throttling (a 429 or 503 answer, a verification page, a
// blank page after pages with text): at least kFirstSeconds after the first
// sign, doubled by each further sign up to kMostSeconds, halved after each
// kEasingPages pages in a row without a sign, gone once below kFirstSeconds.
class ThrottlePace
{
public:
    static constexpr int kFirstSeconds = 2;
    static constexpr int kMostSeconds = 60;
    static constexpr int kEasingPages = 20;

    void sign();
    void cleanPage();
    void clear() { *this = ThrottlePace(); }
    // 0 while the site shows no sign.
    int seconds() const { return m_seconds; }
    // The page interval the chain keeps: the user's, or the throttle's when
    // that is longer.
    int intervalSeconds(int userSeconds) const;
    // The throttle's pause is the longer one.
    bool governs(int userSeconds) const { return m_seconds > userSeconds; }

private:
    int m_seconds = 0;
    int m_cleanPages = 0;
};

// The status line of the countdown while the throttle's pause governs.
QString ThrottledCountdownText(const QString &countdown);

} // namespace pagewick::workflow
