// The class layout of "Compute table": how the fragment-length axis is cut
// into G groups of size classes, and the lookup of a length's classes.
//
// The axis runs from the lower end to the upper end; group g runs from
// group bound g to group bound g + 1 (bound 1 = lower end, bounds 2..G = the
// upper limits the user gave, bound G + 1 = upper end) in classes of its own
// width.  Class k of group g is the half-open interval [limit k, limit k + 1)
// and is column n(1) + ... + n(g - 1) + k of the output tables.
//
// All widths, limits and ends are whole numbers held as doubles, and every
// limit is built by the same repeated additions as the class counts, so the
// comparisons with the (float-widened) lengths are exact and reproducible.
#pragma once

#include <cstddef>
#include <vector>

#include "datafile/arrays.h"

struct ClassLayout {
    int groups;                 // G, at least 1
    double lower = 0.0;         // lower end
    double upper = 0.0;         // upper end
    DVector widths = nullptr;   // [1..G] class width of group g
    DVector ulimits = nullptr;  // [1..G-1] upper limit of group g; [G], [G+1] stay 0
    DVector bounds = nullptr;   // [1..G+1] group bounds
    DVector counts = nullptr;   // [1..G] n(g), whole numbers
    int total = 0;              // T, the number of classes
    int largest = 0;            // M, the largest n(g)

    explicit ClassLayout(int g);
    ~ClassLayout();
    ClassLayout(const ClassLayout&) = delete;
    ClassLayout& operator=(const ClassLayout&) = delete;

  private:
    void release();
};

// Asks the class width of every group (a width below 1 is refused and asked
// again), shows the two ends, then asks the upper limit of every group but
// the last.  False as soon as a question is cancelled.
bool askclasses(ClassLayout& layout);

// Reports the widths and limits and sets the group bounds.
void reportgroups(ClassLayout& layout);

// Counts the classes of every group with a running position that starts at
// the lower end and is carried from group to group.  False, with the counts
// unfinished, when there would be more classes than a table can hold.
bool countclasses(ClassLayout& layout);
void reportclasscounts(const ClassLayout& layout);

// Finds the classes that hold a length.
//
// A group's limits never decrease (only its last class can be empty, [b, b)),
// so within a group at most one class holds a length.  Its classes but the
// last are equally wide, so the class is first guessed from the width and
// checked against its limits; a wrong guess falls back to a binary search.
// A group whose limits do decrease is scanned class by class.  Groups
// with classes end at strictly increasing upper bounds even when the user's
// upper limits do not increase (the running position only moves forward),
// while their lower bounds may lie below earlier groups: groups can overlap.
// The groups whose range can hold a length are then those from the first
// one that ends above it, up to where no later group starts at or below it.
class ClassFinder {
  public:
    // counts[g] classes of group g (0-based, in layout order) with the
    // counts[g] + 1 limits of each group stored one group after the other.
    ClassFinder(const std::vector<int>& counts, std::vector<double> limits);

    // Column (1-based) of the first class in layout order that holds len,
    // or 0 when none does.
    int first(double len) const;

    // Calls f(column) for every class that holds len.
    template <class F>
    void each(double len, F f) const;

  private:
    struct Group {
        std::size_t base;  // index of the group's first limit
        int n;             // classes, at least 1
        int offset;        // columns of the groups before it
        double lo, hi;     // first and last limit
        double inv;        // 1 / the width of the classes but the last, or 0
        bool regular;      // limits never decrease
    };
    int in_group(const Group& g, double len) const;
    int search_group(const Group& g, double len) const;
    std::size_t first_candidate(double len) const;
    int first_unordered(double len) const;

    std::vector<double> limits_;
    std::vector<Group> groups_;  // groups that can hold a length
    std::vector<double> his_;    // their upper bounds
    std::vector<double> lomin_;  // smallest lower bound from each group on
    bool ordered_ = true;        // regular groups with increasing upper bounds
};

// The limits of a counted layout: per group its n(g) + 1 limits, one group
// after the other (class k of group g runs from its limit k to limit k + 1).
std::vector<double> classlimits(const ClassLayout& layout);

// The class limits of a counted layout, ready for lookups.
ClassFinder makefinder(const ClassLayout& layout);

// The group holds len (lo <= len < hi): its class is the last one whose lower
// limit is at most len.  The guess from the width only saves time: the
// answer is always the one the exact comparisons with the limits give.
inline int ClassFinder::in_group(const Group& g, double len) const {
    if (g.inv > 0.0) {
        const double* l = limits_.data() + g.base;
        double q = (len - g.lo) * g.inv;
        int k = q < g.n - 1 ? static_cast<int>(q) : g.n - 1;  // 0-based class
        if (k > 0 && len < l[k])
            --k;
        else if (k + 1 < g.n && !(len < l[k + 1]))
            ++k;
        if (l[k] <= len && len < l[k + 1]) return g.offset + k + 1;
    }
    return search_group(g, len);
}

// First group (of the ordered layout) that ends above len; NaN finds none.
inline std::size_t ClassFinder::first_candidate(double len) const {
    std::size_t lo = 0, hi = his_.size();
    while (lo < hi) {
        std::size_t mid = (lo + hi) / 2;
        if (len < his_[mid])
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

inline int ClassFinder::first(double len) const {
    if (!ordered_) return first_unordered(len);
    for (std::size_t j = first_candidate(len); j < groups_.size() && !(lomin_[j] > len); ++j)
        if (groups_[j].lo <= len) return in_group(groups_[j], len);
    return 0;
}

template <class F>
void ClassFinder::each(double len, F f) const {
    if (ordered_) {
        for (std::size_t j = first_candidate(len); j < groups_.size() && !(lomin_[j] > len); ++j)
            if (groups_[j].lo <= len) f(in_group(groups_[j], len));
        return;
    }
    for (const Group& g : groups_) {
        const double* l = limits_.data() + g.base;
        if (g.regular) {
            if (g.lo <= len && len < g.hi) f(in_group(g, len));
        } else {
            for (int k = 1; k <= g.n; ++k)
                if (l[k - 1] <= len && len < l[k]) f(g.offset + k);
        }
    }
}
