#include "text/textops.h"

#include <utility>

namespace pagewick::text {

namespace {

// Moves the median of the range's first, middle and last element to the first
// position, so that the first-element pivot also splits sorted and
// reverse-sorted ranges in the middle instead of peeling off one element.
void medianToFront(QString *d, int low, int high)
{
    const int mid = low + (high - low) / 2;
    int m;
    if (d[low] < d[mid])
        m = d[mid] < d[high] ? mid : (d[low] < d[high] ? high : low);
    else
        m = d[low] < d[high] ? low : (d[mid] < d[high] ? high : mid);
    if (m != low)
        std::swap(d[low], d[m]);
}

// Partitions d[low..high] around its first element, keeping the pivot in a
// moving hole; returns the pivot's final position.
int partition(QString *d, int low, int high)
{
    int i = low;
    int j = high;
    QString pivot = std::move(d[low]);
    // d[i] or d[j] is the hole while i < j; the hole is never compared.
    while (i < j) {
        while (i < j && pivot < d[j])
            --j;
        if (i < j) {
            d[i] = std::move(d[j]);
            ++i;
        }
        while (i < j && d[i] < pivot)
            ++i;
        if (i < j) {
            d[j] = std::move(d[i]);
            --j;
        }
    }
    d[i] = std::move(pivot);
    return i;
}

// Recursing only into the smaller part bounds the depth by log2 of the range.
void sortRange(QString *d, int low, int high)
{
    while (low < high) {
        medianToFront(d, low, high);
        const int i = partition(d, low, high);
        if (i - low < high - i) {
            sortRange(d, low, i - 1);
            low = i + 1;
        } else {
            sortRange(d, i + 1, high);
            high = i - 1;
        }
    }
}

} // namespace

void SortStr(QStringList &a, int low, int high)
{
    // A range reaching outside the array is a caller's mistake: leave the array alone.
    if (high <= low || low < 0 || high >= a.size())
        return;
    sortRange(a.data(), low, high);
}

} // namespace pagewick::text
