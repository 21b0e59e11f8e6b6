#include "text/sortrange.h"
#include "text/textops.h"

#include <algorithm>
#include <utility>

namespace pagewick::text {

namespace detail {

namespace {

// Orders the first, middle and last element among themselves and moves the
// median to the first position. Sorted and reverse-sorted ranges then split
// in the middle, and the largest of the three stays at the end, where it does
// not become the pivot of a later part.
void medianToFront(QString *d, int low, int high)
{
    const int mid = low + (high - low) / 2;
    if (d[mid] < d[low])
        std::swap(d[mid], d[low]);
    if (d[high] < d[mid]) {
        std::swap(d[high], d[mid]);
        if (d[mid] < d[low])
            std::swap(d[mid], d[low]);
    }
    std::swap(d[low], d[mid]);
}

// Partitions d[low..high] around its first element, keeping the pivot in a
// moving hole; returns the pivot's final position. Both scans stop at
// elements equal to the pivot, so runs of equal elements split evenly.
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

} // namespace

int DepthBudgetFor(int n)
{
    int depth = 0;
    for (unsigned v = unsigned(n); v > 1; v >>= 1)
        ++depth;
    return 2 * depth;
}

// Recursing only into the smaller part bounds the stack depth by log2 of the range.
void SortRange(QString *d, int low, int high, int depthBudget)
{
    while (low < high) {
        if (depthBudget-- <= 0) {
            std::make_heap(d + low, d + high + 1);
            std::sort_heap(d + low, d + high + 1);
            return;
        }
        if (high - low >= 2)
            medianToFront(d, low, high);
        const int i = partition(d, low, high);
        if (i - low < high - i) {
            SortRange(d, low, i - 1, depthBudget);
            low = i + 1;
        } else {
            SortRange(d, i + 1, high, depthBudget);
            high = i - 1;
        }
    }
}

} // namespace detail

void SortStr(QStringList &a, int low, int high)
{
    // A range reaching outside the array is a caller's mistake: leave the array alone.
    if (high <= low || low < 0 || high >= a.size())
        return;
    detail::SortRange(a.data(), low, high, detail::DepthBudgetFor(high - low + 1));
}

} // namespace pagewick::text
