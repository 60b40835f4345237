#include "peaks/classlayout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "base/reportstream.h"
#include "framework/paramspec.h"
#include "framework/registry.h"

ClassLayout::ClassLayout(int g) : groups(g) {
    try {
        vecalloc(widths, g);
        vecalloc(counts, g);
        vecalloc(ulimits, g + 1);
        vecalloc(bounds, g + 1);
    } catch (...) {
        release();  // a failed allocation abandons the run: keep nothing
        throw;
    }
}

ClassLayout::~ClassLayout() { release(); }

void ClassLayout::release() {
    vecfree(widths);
    vecfree(counts);
    vecfree(ulimits);
    vecfree(bounds);
}

namespace {

// Asks one whole number about group g; false when the question was
// cancelled.  Answers are kept to their first 51 characters.
bool ask_number(int g, const char* what, int& value) {
    char spec[128];
    std::snprintf(spec, sizeof spec, "Group number %i\n%s[int,,]\n", g, what);
    char answer[256] = "";
    if (!askparam(spec, answer)) return false;
    answer[51] = '\0';
    value = decimalint(answer);
    return true;
}

}  // namespace

bool askclasses(ClassLayout& layout) {
    for (int g = 1; g <= layout.groups; ++g) {
        int width = 0;
        for (;;) {
            if (!ask_number(g, "Class width \n", width)) return false;
            if (width >= 1) break;
            // A width of 0 or less would never reach the end of the axis.
            infobox("Sorry: the class width must be at least 1");
        }
        layout.widths[g] = width;
    }
    char text[256];
    std::snprintf(text, sizeof text, "Min. length = %g  Max. length = %g", layout.lower, layout.upper);
    infobox(text);
    for (int g = 1; g < layout.groups; ++g) {
        int limit = 0;
        if (!ask_number(g, "Upper limit \n", limit)) return false;
        layout.ulimits[g] = limit;
    }
    return true;
}

void reportgroups(ClassLayout& layout) {
    const int G = layout.groups;
    for (int g = 1; g <= G; ++g) reportf("Group number : %d, class width = %g\n", g, layout.widths[g]);
    reportf("Class limits :\n");
    reportf("Mini = %g\n", layout.lower);
    for (int g = 1; g < G; ++g) reportf("%g\n", layout.ulimits[g]);
    reportf("Maxi = %g\n", layout.upper);
    layout.bounds[1] = layout.lower;
    for (int g = 2; g <= G; ++g) layout.bounds[g] = layout.ulimits[g - 1];
    layout.bounds[G + 1] = layout.upper;
}

bool countclasses(ClassLayout& layout) {
    double pos = layout.lower;
    long long all = 0;
    for (int g = 1; g <= layout.groups; ++g) {
        double n = 0.0;
        while (pos <= layout.bounds[g + 1]) {
            // Stops long before an endless or billion-step loop (a huge span,
            // an infinite end) could run.
            if (++all > kMaxTableCount) return false;
            n += 1.0;
            pos += layout.widths[g];
        }
        layout.counts[g] = n;
    }
    layout.total = 0;
    for (int g = 1; g <= layout.groups; ++g) layout.total += static_cast<int>(layout.counts[g]);
    layout.largest = static_cast<int>(layout.counts[1]);
    for (int g = 2; g <= layout.groups; ++g)
        if (layout.counts[g] > layout.largest) layout.largest = static_cast<int>(layout.counts[g]);
    return true;
}

void reportclasscounts(const ClassLayout& layout) {
    for (int g = 1; g <= layout.groups; ++g)
        reportf("Group number : %d, number of classes = %g\n", g, layout.counts[g]);
    reportf("Total number of classes = %d\n", layout.total);
    reportf("Max number of classes = %d\n", layout.largest);
}

std::vector<double> classlimits(const ClassLayout& layout) {
    std::vector<double> limits;
    limits.reserve(static_cast<std::size_t>(layout.total) + static_cast<std::size_t>(layout.groups));
    for (int g = 1; g <= layout.groups; ++g) {
        int n = static_cast<int>(layout.counts[g]);
        double x = layout.bounds[g];
        limits.push_back(x);
        for (int k = 2; k <= n + 1; ++k) {
            x += layout.widths[g];
            limits.push_back(x);
        }
        limits.back() = layout.bounds[g + 1];
    }
    return limits;
}

ClassFinder makefinder(const ClassLayout& layout) {
    std::vector<int> counts;
    for (int g = 1; g <= layout.groups; ++g) counts.push_back(static_cast<int>(layout.counts[g]));
    return ClassFinder(counts, classlimits(layout));
}

ClassFinder::ClassFinder(const std::vector<int>& counts, std::vector<double> limits) : limits_(std::move(limits)) {
    std::size_t base = 0;
    int offset = 0;
    for (int n : counts) {
        if (n >= 1) {
            const double* l = limits_.data() + base;
            bool regular = true;
            for (int k = 1; k <= n; ++k)
                if (!(l[k] >= l[k - 1])) regular = false;  // also false for NaN
            // A regular group with an empty range holds nothing.
            // Only a usable width gives guesses: positive and finite.
            double step = n >= 2 ? (l[n - 1] - l[0]) / (n - 1) : 0.0;
            double inv = regular && step > 0.0 && std::isfinite(1.0 / step) && std::isfinite(step) ? 1.0 / step : 0.0;
            if (!regular || l[0] < l[n]) groups_.push_back({base, n, offset, l[0], l[n], inv, regular});
        }
        base += static_cast<std::size_t>(n < 0 ? 0 : n) + 1;
        offset += n;
    }
    for (std::size_t j = 0; j < groups_.size(); ++j) {
        if (!groups_[j].regular || (j > 0 && !(groups_[j].hi > groups_[j - 1].hi))) ordered_ = false;
        his_.push_back(groups_[j].hi);
    }
    lomin_.resize(groups_.size());
    for (std::size_t j = groups_.size(); j-- > 0;)
        lomin_[j] = j + 1 < groups_.size() ? std::min(groups_[j].lo, lomin_[j + 1]) : groups_[j].lo;
}

int ClassFinder::search_group(const Group& g, double len) const {
    const double* l = limits_.data() + g.base;
    return g.offset + static_cast<int>(std::upper_bound(l, l + g.n, len) - l);
}

int ClassFinder::first_unordered(double len) const {
    for (const Group& g : groups_) {
        const double* l = limits_.data() + g.base;
        if (g.regular) {
            if (g.lo <= len && len < g.hi) return in_group(g, len);
        } else {
            for (int k = 1; k <= g.n; ++k)
                if (l[k - 1] <= len && len < l[k]) return g.offset + k;
        }
    }
    return 0;
}
