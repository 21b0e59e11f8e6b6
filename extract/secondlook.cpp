#include "extract/secondlook.h"

namespace pagewick::extract {

qsizetype SecondLook(PunctuationMode mode, const QVector<AcceptedMeasures> &accepted, const QStringList &keys,
                     qsizetype winner)
{
    if (mode != PunctuationMode::Western || winner < 0 || winner >= accepted.size())
        return winner;
    const AcceptedMeasures &chosen = accepted.at(winner);
    qsizetype best = -1;
    for (qsizetype i = 0; i < accepted.size(); ++i) {
        const AcceptedMeasures &other = accepted.at(i);
        if (other.textLength < kSecondLookFactor * chosen.textLength
            || other.markCount < kSecondLookFactor * chosen.markCount)
            continue;
        // Keys compare as text, as the ranking compares them.
        if (best < 0 || keys.at(i) > keys.at(best))
            best = i;
    }
    return best < 0 ? winner : best;
}

} // namespace pagewick::extract
