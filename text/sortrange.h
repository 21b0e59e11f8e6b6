#pragma once

#include <QString>

namespace pagewick::text::detail {

// Sorts d[low..high] ascending by ordinal order: quicksort with the first
// element as pivot, after the median of the first, middle and last element
// has been moved there. When more than depthBudget partitions have been nested,
// the rest of the range is heap-sorted, which bounds the time by n log n on
// any input. The outcome does not depend on the path taken.
void SortRange(QString *d, int low, int high, int depthBudget);

// The budget SortStr gives a range of n elements.
int DepthBudgetFor(int n);

} // namespace pagewick::text::detail
