// The figures of one sample's row of a class table: presence and the
// diversity indices, free of files so that they can be checked on their own.
#pragma once

#include <cmath>
#include <cstddef>
#include <limits>

// A cell is present when its value is above 0 and at least the threshold
// (a value on the threshold counts).  Values that are not finite are never
// present.
inline bool present(double v, double threshold) { return std::isfinite(v) && v > 0 && v >= threshold; }

struct Diversity {
    double richness = 0;    // present cells
    double total = 0;       // sum of the present values
    double shannon = 0;     // H' = -sum p ln p (natural log)
    double pielou = 0;      // J = H' / ln S, undefined for S <= 1
    double simpson = 0;     // 1 - D, D = sum p^2
    double invsimpson = 0;  // 1 / D
};

// The figures over the present cells of a row; p = value / total.  An
// empty row has richness and total 0 and every index undefined (NaN).
inline Diversity diversity(const float* row, std::size_t n, double threshold) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Diversity d;
    for (std::size_t i = 0; i < n; ++i)
        if (present(row[i], threshold)) {
            d.richness += 1;
            d.total += row[i];
        }
    if (d.richness == 0 || !(d.total > 0) || !std::isfinite(d.total)) {
        d.shannon = d.pielou = d.simpson = d.invsimpson = nan;
        return d;
    }
    double h = 0, sum_p2 = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!present(row[i], threshold)) continue;
        const double p = row[i] / d.total;
        h -= p * std::log(p);
        sum_p2 += p * p;
    }
    // A single class: every p is 1 and the sums are exact, but -1*ln 1 is -0.
    d.shannon = d.richness == 1 ? 0.0 : h;
    d.pielou = d.richness >= 2 ? h / std::log(d.richness) : nan;
    d.simpson = d.richness == 1 ? 0.0 : 1 - sum_p2;
    d.invsimpson = d.richness == 1 ? 1.0 : 1 / sum_p2;
    return d;
}
