#include "datafile/sort.h"

#include <utility>
#include <vector>

namespace {

void exchange(DVector x, IVector p, int a, int b) {
    std::swap(x[a], x[b]);
    std::swap(p[a], p[b]);
}

// Descending partition sort of x[left..right].  The ranges wait on an
// explicit stack instead of the call stack: a run of equal values is never
// split and would otherwise nest one call per value.  The two halves of a
// partition are disjoint, so the order in which they are done changes no
// exchange.
//
// A right half is known to hold no value greater than the pivot that split
// it (its bound).  When the next pivot of such a range equals that bound the
// scan can find nothing to exchange, so the step reduces to its two
// exchanges of positions left and m and the range shrinks by one: a run of
// n equal values then costs n steps instead of n * n / 2 comparisons, with
// exactly the exchanges of the full form.
struct Range {
    int left, right;
    bool bounded;
    double bound;
};

void partition_sort(DVector x, IVector p, int left, int right) {
    std::vector<Range> todo;
    todo.push_back({left, right, false, 0.0});
    while (!todo.empty()) {
        Range g = todo.back();
        todo.pop_back();
        int l = g.left, r = g.right;
        while (g.bounded && r - l > 0 && x[l + (r - l) / 2] == g.bound) {
            exchange(x, p, l, l + (r - l) / 2);
            ++l;
        }
        if (r - l <= 0) continue;
        exchange(x, p, l, l + (r - l) / 2);
        double pivot = x[l];
        int last = l;
        for (int i = l + 1; i <= r; ++i)
            if (x[i] > pivot) exchange(x, p, ++last, i);
        exchange(x, p, l, last);
        // Left half first, as the recursive form does.
        todo.push_back({last + 1, r, true, pivot});
        todo.push_back({l, last - 1, false, 0.0});
    }
}

}  // namespace

void vecsort(DVector x, IVector p) {
    int n = veclen(x);
    DVector w = nullptr;
    IVector q = nullptr;
    VecGuard wg{w};
    IVecGuard qg{q};
    vecalloc(w, n);
    vecintalloc(q, n);
    for (int i = 1; i <= n; ++i) p[i] = i;
    partition_sort(x, p, 1, n);
    for (int i = 1; i <= n; ++i) {
        w[i] = x[n - i + 1];
        q[i] = p[n - i + 1];
    }
    for (int i = 1; i <= n; ++i) {
        x[i] = w[i];
        p[i] = q[i];
    }
}
