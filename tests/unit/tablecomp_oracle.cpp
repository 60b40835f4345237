#include "tablecomp_oracle.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "datafile/arrays.h"
#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "datafile/sort.h"
#include "frame/report.h"
#include "framework/paramspec.h"
#include "framework/registry.h"

namespace {

bool ask(int g, const char* what, int& value) {
    char question[100];
    std::snprintf(question, sizeof question, "Group number %i\n", g);
    std::strcat(question, what);
    std::strcat(question, "[int,,]\n");
    char answer[256];
    if (!askparam(question, answer)) return false;
    char kept[52];
    std::strncpy(kept, answer, 51);
    kept[51] = '\0';
    value = decimalint(kept);
    return true;
}

void stopped(const char* notice) {
    infobox(notice);
    reportf("Computation stopped: no output table written\n");
}

bool holds(DMatrix lim, int k, int g, double l) { return lim[k][g] <= l && l < lim[k + 1][g]; }

void limit_peaks(DMatrix t, int maxpeaks) {
    int S = tabrows(t), T = tabcols(t);
    if (!(maxpeaks >= 1 && maxpeaks < T)) return;
    DVector x = nullptr;
    IVector p = nullptr;
    VecGuard xg{x};
    IVecGuard pg{p};
    vecalloc(x, T);
    vecintalloc(p, T);
    for (int s = 1; s <= S; ++s) {
        for (int j = 1; j <= T; ++j) x[j] = t[s][j];
        vecsort(x, p);
        double threshold = 0.0;
        int position = 0;
        for (int j = T; j >= 1; --j)  // decreasing order
            if (++position == maxpeaks) threshold = x[j];
        for (int j = 1; j <= T; ++j)
            if (t[s][j] < threshold) t[s][j] = 0.0;
    }
}

void keep_nonzero(DMatrix t, DMatrix& kept) {
    int S = tabrows(t), T = tabcols(t);
    int n = 0;
    for (int j = 1; j <= T; ++j) {
        double sum = 0.0;
        for (int i = 1; i <= S; ++i) sum += t[i][j];
        if (sum != 0.0) ++n;
    }
    taballoc(kept, S, n);
    int c = 0;
    for (int j = 1; j <= T; ++j) {
        double sum = 0.0;
        for (int i = 1; i <= S; ++i) sum += t[i][j];
        if (sum == 0.0) continue;
        ++c;
        for (int i = 1; i <= S; ++i) kept[i][c] = t[i][j];
    }
}

int proportions(DMatrix t) {
    int S = tabrows(t), T = tabcols(t), zero = 0;
    for (int i = 1; i <= S; ++i) {
        double sum = 0.0;
        for (int j = 1; j <= T; ++j) sum += t[i][j];
        if (sum == 0.0 && T > 0) {
            ++zero;
            for (int j = 1; j <= T; ++j) t[i][j] = 0.0;
        } else {
            for (int j = 1; j <= T; ++j) t[i][j] = t[i][j] / sum;
        }
    }
    return zero;
}

}  // namespace

void computetable_literal(const char* path, int groups, int heightarea, int summax, int rowpct, int maxpeaks,
                          int start) {
    reportf("Peakgrid: computing table\n");
    if (groups < 1) return stopped("Sorry: the number of groups must be at least 1");
    if (groups > 999999) return stopped("Sorry: the number of groups must be at most 999999");
    const int G = groups;
    int R, C;
    readdims(path, R, C);
    reportf("Input file: %s\n", path);
    reportf("--- Number of rows: %d, columns: %d\n", R, C);
    if (static_cast<long long>(R) * C == 0) {
        checkbin(path);
        return;
    }

    DVector widths = nullptr, counts = nullptr, ulimits = nullptr, bounds = nullptr;
    VecGuard g1{widths}, g2{counts}, g3{ulimits}, g4{bounds};
    vecalloc(widths, G);
    vecalloc(counts, G);
    vecalloc(ulimits, G + 1);
    vecalloc(bounds, G + 1);
    DVector c1 = nullptr, c2 = nullptr, c4 = nullptr, c5 = nullptr, c6 = nullptr;
    VecGuard h1{c1}, h2{c2}, h4{c4}, h5{c5}, h6{c6};
    vecalloc(c1, R);
    vecalloc(c2, R);
    vecalloc(c4, R);
    vecalloc(c5, R);
    vecalloc(c6, R);
    selectcol(path, c1, 1);
    selectcol(path, c2, 2);
    selectcol(path, c4, 4);
    selectcol(path, c5, 5);
    selectcol(path, c6, 6);

    double mini = c4[1];
    for (int r = 1; r <= R; ++r)
        if (c4[r] < mini) mini = c4[r];
    mini = std::floor(mini);
    if (start != 0) mini = start;
    double maxi = c4[1];
    for (int r = 1; r <= R; ++r)
        if (c4[r] > maxi) maxi = c4[r];
    maxi = std::ceil(maxi);

    // Samples: the largest truncated sample number; rows that are not finite
    // are left out, and S is never below 0.
    bool have = false;
    double sd = 0.0;
    int skipped = 0;
    for (int r = 1; r <= R; ++r) {
        if (!(c1[r] >= 1.0 && std::isfinite(c1[r]))) ++skipped;
        if (!std::isfinite(c1[r])) continue;
        if (!have) {
            sd = std::trunc(c1[r]);
            have = true;
        } else if (c1[r] > sd) {
            sd = std::trunc(c1[r]);
        }
    }
    if (sd < 0.0) sd = 0.0;
    if (sd < 1.0) return stopped("Sorry: no sample number of 1 or more in column 1");
    if (sd > 999999.0) return stopped("Sorry: more than 999999 samples");
    const int S = static_cast<int>(sd);

    for (int g = 1; g <= G; ++g) {
        int w = 0;
        for (;;) {
            if (!ask(g, "Class width \n", w)) {
                infobox("Sorry: computation cancelled, no table written");
                reportf("Computation cancelled: no output table written\n");
                return;
            }
            if (w > 0) break;
            infobox("Sorry: the class width must be at least 1");
        }
        widths[g] = w;
    }
    char text[256];
    std::snprintf(text, sizeof text, "Min. length = %g  Max. length = %g", mini, maxi);
    infobox(text);
    for (int g = 1; g <= G - 1; ++g) {
        int u = 0;
        if (!ask(g, "Upper limit \n", u)) {
            infobox("Sorry: computation cancelled, no table written");
            reportf("Computation cancelled: no output table written\n");
            return;
        }
        ulimits[g] = u;
    }
    for (int g = 1; g <= G; ++g) reportf("Group number : %d, class width = %g\n", g, widths[g]);
    reportf("Class limits :\n");
    reportf("Mini = %g\n", mini);
    for (int g = 1; g <= G - 1; ++g) reportf("%g\n", ulimits[g]);
    reportf("Maxi = %g\n", maxi);
    bounds[1] = mini;
    for (int g = 2; g <= G; ++g) bounds[g] = ulimits[g - 1];
    bounds[G + 1] = maxi;

    reportf("Number of samples = %d\n", S);
    DVector peaks = nullptr;
    VecGuard pk{peaks};
    vecalloc(peaks, S);
    for (int s = 1; s <= S; ++s) {
        peaks[s] = 1.0;
        for (int r = 1; r <= R; ++r)
            if (c1[r] == s && c2[r] > peaks[s]) peaks[s] = c2[r];
    }
    for (int s = 1; s <= S; ++s) reportf("Sample number : %d, number of peaks = %g\n", s, peaks[s]);
    if (skipped > 0) reportf("Rows skipped (sample number below 1 or not finite) = %d\n", skipped);

    double pos = mini;
    int T = 0;
    for (int g = 1; g <= G; ++g) {
        while (pos <= bounds[g + 1]) {
            if (T + static_cast<int>(counts[g]) >= 999999) return stopped("Sorry: more than 999999 size classes");
            counts[g] += 1;
            pos += widths[g];
        }
        T += static_cast<int>(counts[g]);
    }
    for (int g = 1; g <= G; ++g) reportf("Group number : %d, number of classes = %g\n", g, counts[g]);
    reportf("Total number of classes = %d\n", T);
    int M = static_cast<int>(counts[1]);
    for (int g = 1; g <= G; ++g)
        if (counts[g] > M) M = static_cast<int>(counts[g]);
    reportf("Max number of classes = %d\n", M);
    const double bound = sizeof(void*) >= 8 ? 4294967296.0 : 1073741824.0;
    if (static_cast<double>(S) * T * 8.0 * 4.0 > bound) {
        std::snprintf(text, sizeof text, "Sorry: a table of %d samples x %d classes needs too much memory", S, T);
        return stopped(text);
    }

    DMatrix lim = nullptr;
    TabGuard lg{lim};
    taballoc(lim, M + 1, G);
    for (int g = 1; g <= G; ++g) {
        int n = static_cast<int>(counts[g]);
        lim[1][g] = bounds[g];
        for (int k = 2; k <= n + 1; ++k) lim[k][g] = lim[k - 1][g] + widths[g];
        lim[n + 1][g] = bounds[g + 1];
    }

    DMatrix th = nullptr, ta = nullptr, kh = nullptr, ka = nullptr;
    TabGuard t1{th}, t2{ta}, t3{kh}, t4{ka};
    taballoc(th, S, T);
    taballoc(ta, S, T);
    if (summax == 1) {
        for (int r = 1; r <= R; ++r) {
            if (!(c1[r] >= 1.0) || !std::isfinite(c1[r])) continue;
            int i = static_cast<int>(c1[r]);
            int offset = 0;
            bool found = false;
            for (int g = 1; g <= G && !found; ++g) {
                int n = static_cast<int>(counts[g]);
                for (int k = 1; k <= n; ++k)
                    if (holds(lim, k, g, c4[r])) {
                        th[i][offset + k] += c5[r];
                        ta[i][offset + k] += c6[r];
                        found = true;
                        break;
                    }
                offset += n;
            }
        }
    } else {
        for (int s = 1; s <= S; ++s)
            for (int r = 1; r <= R; ++r) {
                if (c1[r] != s) continue;
                int offset = 0;
                for (int g = 1; g <= G; ++g) {
                    int n = static_cast<int>(counts[g]);
                    for (int k = 1; k <= n; ++k)
                        if (holds(lim, k, g, c4[r])) {
                            if (th[s][offset + k] < c5[r]) th[s][offset + k] = c5[r];
                            if (ta[s][offset + k] < c6[r]) ta[s][offset + k] = c6[r];
                        }
                    offset += n;
                }
            }
    }
    limit_peaks(th, maxpeaks);
    limit_peaks(ta, maxpeaks);
    keep_nonzero(th, kh);
    keep_nonzero(ta, ka);
    int zero[4] = {0, 0, 0, 0};
    if (rowpct == 1) {
        zero[0] = proportions(kh);
        zero[1] = proportions(th);
        zero[2] = proportions(ka);
        zero[3] = proportions(ta);
    }
    const char* kind = summax == 1 ? (heightarea == 1 ? "SH" : "SS") : (heightarea == 1 ? "MH" : "MS");
    std::string full = std::string(path) + "_tabtot" + kind;
    std::string reduced = std::string(path) + "_tab" + kind;
    bool heights = heightarea == 1;
    ecrmat(heights ? th : ta, full.c_str());
    ecrmat(heights ? kh : ka, reduced.c_str());
    reportf("Output file: %s\n", full.c_str());
    reportf("--- Number of rows: %d, columns: %d\n", S, T);
    reportf("Output file: %s (columns of zeros are removed) \n", reduced.c_str());
    reportf("--- Number of rows: %d, columns: %d\n", S, tabcols(heights ? kh : ka));
    int zf = heights ? zero[1] : zero[3], zk = heights ? zero[0] : zero[2];
    if (zf + zk > 0)
        reportf("Rows of sum 0 left as zeros (no proportions): %d in the full table, %d in the reduced table\n", zf,
                zk);
}
