#include "workflow/browserport.h"

namespace pagewick::workflow {

bool ReadParts::covers(const ReadParts &other) const
{
    if (other.bodyText && !bodyText)
        return false;
    // Texts left out here for measures are texts the other read must not want.
    for (const QString &tag : measuredTags) {
        const bool measuredThere = other.measuredTags.contains(tag, Qt::CaseInsensitive);
        if (measuredThere) {
            // What the other read brings, this one must bring too.
            if (!other.carryBounds.within(carryBounds))
                return false;
        } else if (other.everyElement || other.tagNames.contains(tag, Qt::CaseInsensitive)) {
            return false;
        }
    }
    // Measures are only in a read that measures.
    for (const QString &tag : other.measuredTags) {
        if (!measuredTags.contains(tag, Qt::CaseInsensitive))
            return false;
    }
    if (!everyElement) {
        if (other.everyElement)
            return false;
        for (const QString &tag : other.tagNames) {
            if (!tagNames.contains(tag, Qt::CaseInsensitive))
                return false;
        }
    }
    // Markup left out here must be markup the other read may leave out too.
    if (textOnlyBelow <= 0)
        return true;
    for (const QString &tag : textOnlyTags) {
        const bool asked = other.everyElement || other.tagNames.contains(tag, Qt::CaseInsensitive);
        if (asked && !(other.textOnlyTags.contains(tag, Qt::CaseInsensitive)
                       && other.textOnlyBelow >= textOnlyBelow))
            return false;
    }
    return true;
}

} // namespace pagewick::workflow
