// The steps of Peakprep's "Shifted frames": cases worked by hand, and the
// sparse scores against a plain dense computation on random tables.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "peakprep/frames_steps.h"

namespace {

struct In {
    int sample;
    double size, value;
};

std::vector<FramePeak> framepeaks(const std::vector<In>& in) {
    std::vector<FramePeak> p;
    for (const In& x : in) p.push_back({static_cast<float>(x.size), x.sample, x.value});
    return p;
}

struct Want {
    std::size_t classes;
    double mean;  // NaN: none
    long long used, undefined, near;
};

// The frames of offsets 0, step, ... on the prepared peaks.
std::vector<Want> runframes(std::vector<FramePeak> p, int samples, double lo, double width, double step, double cutoff,
                            bool bc) {
    FramePrep prep = prepareframes(p, samples, lo, 0, cutoff);
    std::vector<Want> out;
    FrameCells c;
    for (double o = 0; o < width - 1e-9; o += step) {
        FrameLayout f{lo, width, static_cast<float>(o)};
        framecells(p, samples, f, 0.05, c);
        FrameScore s = bc ? braycurtisscore(c, prep.state, prep.total) : pearsonscore(c, prep.state);
        out.push_back({c.columns(), s.mean, s.pairs_used, s.pairs_undefined, c.near_boundary});
    }
    return out;
}

// Case 1: sample 2's profile is the same in all three classes in both
// frames (no r), and both frames group the peaks alike (a tie).  r(0, 1) =
// 4/sqrt(19); Bray-Curtis (0.9 + 2 * 0.7333...) / 3.
const std::vector<In> kTie = {{0, 100.2, 10}, {0, 101.2, 30}, {0, 102.2, 60}, {1, 100.3, 20}, {1, 101.3, 20},
                              {1, 102.3, 60}, {2, 100.4, 1},  {2, 101.4, 1},  {2, 102.4, 1}};
// Case 2: with two classes r is 1 whatever the profiles (offset 0); three
// classes give r = 5/sqrt(28) but a better Bray-Curtis, 0.95 against 0.9.
const std::vector<In> kTwoColumns = {{0, 100.2, 50}, {0, 100.7, 10}, {0, 101.2, 20}, {0, 101.7, 20},
                                     {1, 100.2, 50}, {1, 100.7, 20}, {1, 101.2, 5},  {1, 101.7, 25}};

}  // namespace

TEST(FramesSteps, HandCases) {
    const double r1 = 4 / std::sqrt(19.0), bc1 = (0.9 + 2 * (73 + 1 / 3.0) / 100) / 3, r2 = 5 / std::sqrt(28.0);
    struct Case {
        const char* what;
        const std::vector<In>& in;
        int samples;
        bool bc;
        std::vector<Want> want;
        int chosen;
    } cases[] = {
        {"tie, undefined r", kTie, 3, false, {{3, r1, 1, 2, 0}, {3, r1, 1, 2, 0}}, 0},
        {"tie, Bray-Curtis", kTie, 3, true, {{3, bc1, 3, 0, 0}, {3, bc1, 3, 0, 0}}, 0},
        {"two columns, Pearson", kTwoColumns, 2, false, {{2, 1, 1, 0, 0}, {3, r2, 1, 0, 0}}, 0},
        {"two columns, Bray-Curtis", kTwoColumns, 2, true, {{2, 0.9, 1, 0, 0}, {3, 0.95, 1, 0, 0}}, 1},
    };
    for (const Case& c : cases) {
        std::vector<Want> got = runframes(framepeaks(c.in), c.samples, 100, 1, 0.5, 0, c.bc);
        ASSERT_EQ(got.size(), c.want.size()) << c.what;
        std::vector<double> means;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].classes, c.want[i].classes) << c.what << i;
            EXPECT_NEAR(got[i].mean, c.want[i].mean, 1e-12) << c.what << i;
            EXPECT_EQ(got[i].used, c.want[i].used) << c.what << i;
            EXPECT_EQ(got[i].undefined, c.want[i].undefined) << c.what << i;
            EXPECT_EQ(got[i].near, c.want[i].near) << c.what << i;
            means.push_back(got[i].mean);
        }
        EXPECT_EQ(bestframe(means), c.chosen) << c.what;
    }
    // One class: every profile is constant, so no frame has a score.
    std::vector<Want> one = runframes(framepeaks({{0, 100.2, 1}, {1, 100.4, 2}}), 2, 100, 1, 0.5, 0, false);
    EXPECT_TRUE(std::isnan(one[0].mean));
    EXPECT_EQ(one[0].undefined, 1);
    // Shares 0.1/1.4 + 0.6/1.4 and 0.7/1.4 of sample 0 differ in the last
    // bit: still a constant profile.
    std::vector<Want> even =
        runframes(framepeaks({{0, 100.2, 0.1}, {0, 100.3, 0.6}, {0, 101.2, 0.1 + 0.6}, {1, 100.5, 1}, {1, 101.5, 3}}),
                  2, 100, 1, 0.5, 0, false);
    EXPECT_TRUE(std::isnan(even[0].mean));
    EXPECT_EQ(even[0].undefined, 1);
    EXPECT_EQ(bestframe({NAN, NAN}), -1);
    EXPECT_EQ(bestframe({NAN, 0.5, 0.5 + 1e-12, 0.6}), 3);
}

TEST(FramesSteps, WindowsOnPrintedDecimals) {
    struct Case {
        float size;
        double lo, width, offset;
        long long window;
    } cases[] = {
        {101.0f, 100, 1, 0, 1},      {100.3f, 100, 1, 0.3f, 0}, {100.29f, 100, 1, 0.3f, -1}, {100.1f, 100, 0.1, 0, 1},
        {100.2f, 100, 0.1, 0.1f, 1}, {0.7f, 0.1, 0.2, 0, 3},    {50.05f, 50, 0.05, 0, 1},    {99.99f, 100, 1, 0, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(windowof(c.size, {c.lo, c.width, c.offset}), c.window) << c.size << " " << c.offset;
}

TEST(FramesSteps, SharesLimitsAndEmptiedSamples) {
    // Sample 0: 100, 200 and 700 of 1000 (the cutoff 20 % drops 10 %);
    // sample 1: all outside the limits; sample 2: values 0; sample 3: two
    // halves, both below a cutoff of 60 %; sample 4 has no row.
    std::vector<FramePeak> p = framepeaks({{0, 150, 700},
                                           {0, 120, 100},
                                           {0, 130, 200},
                                           {1, 90, 5},
                                           {1, 510, 5},
                                           {2, 140, 0},
                                           {3, 125, 1},
                                           {3, 126, 1},
                                           {0, NAN, 1},
                                           {0, 130, -1}});
    FramePrep r = prepareframes(p, 5, 100, 500, 20);
    EXPECT_EQ(r.bad_value, 2);
    EXPECT_EQ(r.out_of_range, 2);
    EXPECT_EQ(r.cut, 1);
    const std::vector<SampleState> want = {SampleState::used, SampleState::no_peak, SampleState::zero_total,
                                           SampleState::used, SampleState::no_peak};
    EXPECT_EQ(r.state, want);
    EXPECT_DOUBLE_EQ(r.total[0], 90);
    EXPECT_EQ(r.total[3], 100);  // nothing cut: exactly 100
    ASSERT_EQ(p.size(), 4u);     // in size order, as shares
    EXPECT_EQ(p[0].size, 125);
    EXPECT_EQ(p[1].size, 126);
    EXPECT_DOUBLE_EQ(p[2].value, 20);
    EXPECT_DOUBLE_EQ(p[3].value, 70);
    EXPECT_EQ(r.lo, 125);
    EXPECT_EQ(r.hi, 150);
    std::vector<FramePeak> q = framepeaks({{0, 125, 1}, {0, 126, 1}});
    EXPECT_EQ(prepareframes(q, 1, 0, 0, 60).state[0], SampleState::cut);
}

// The plain computation: sizes in hundredths of a bp, windows by integer
// division, a dense samples x classes table, every pair visited.
TEST(FramesSteps, SparseScoresMatchDensePairs) {
    std::mt19937 rng(7);
    for (int round = 0; round < 60; ++round) {
        const int samples = 2 + static_cast<int>(rng() % 7);
        const int lo100 = 10000, width100 = 10 * (1 + static_cast<int>(rng() % 10));  // 0.1 .. 1 bp
        const int step100 = round % 2 ? 5 : 10;
        const double cutoff = round % 3 == 0 ? 15.0 : 0.0;
        std::vector<In> in;
        for (int s = 0; s < samples; ++s) {
            const int n = 1 + static_cast<int>(rng() % 8);
            for (int k = 0; k < n; ++k)
                in.push_back({s, (lo100 + static_cast<int>(rng() % 300)) / 100.0, 1.0 + rng() % 5});
        }
        for (bool bc : {false, true}) {
            std::vector<FramePeak> p = framepeaks(in);
            FramePrep prep = prepareframes(p, samples, lo100 / 100.0, 0, cutoff);
            for (int o100 = 0; o100 < width100; o100 += step100) {
                FrameCells c;
                framecells(p, samples, {lo100 / 100.0, width100 / 100.0, static_cast<float>(o100 / 100.0)}, 0.05, c);
                const FrameScore got = bc ? braycurtisscore(c, prep.state, prep.total) : pearsonscore(c, prep.state);
                // Dense: window of each kept peak from its size in hundredths.
                std::vector<long long> wins;
                std::vector<std::pair<int, long long>> at;  // (sample, window) of each kept peak
                long long near = 0;
                for (const FramePeak& x : p) {
                    const long long h = std::llround(x.size * 100.0) - lo100 - o100;
                    const long long m = h >= 0 ? h / width100 : -((-h + width100 - 1) / width100);
                    const long long into = h - m * width100;
                    if (into <= 5 || width100 - into <= 5) ++near;
                    wins.push_back(m);
                    at.push_back({x.sample, m});
                }
                std::sort(wins.begin(), wins.end());
                wins.erase(std::unique(wins.begin(), wins.end()), wins.end());
                const std::size_t C = wins.size();
                std::vector<std::vector<double>> t(static_cast<std::size_t>(samples), std::vector<double>(C, 0));
                for (std::size_t i = 0; i < p.size(); ++i) {
                    const std::size_t j = static_cast<std::size_t>(
                        std::lower_bound(wins.begin(), wins.end(), at[i].second) - wins.begin());
                    t[static_cast<std::size_t>(at[i].first)][j] += p[i].value;
                }
                double sum = 0;
                long long used = 0, undefined = 0;
                for (int a = 0; a < samples; ++a)
                    for (int b = a + 1; b < samples; ++b) {
                        if (prep.state[static_cast<std::size_t>(a)] != SampleState::used ||
                            prep.state[static_cast<std::size_t>(b)] != SampleState::used)
                            continue;
                        const std::vector<double>&x = t[static_cast<std::size_t>(a)],
                              &y = t[static_cast<std::size_t>(b)];
                        double mx = 0, my = 0, sxy = 0, sxx = 0, syy = 0, mins = 0, tot = 0;
                        for (std::size_t j = 0; j < C; ++j) mx += x[j] / C, my += y[j] / C;
                        for (std::size_t j = 0; j < C; ++j) {
                            sxy += (x[j] - mx) * (y[j] - my);
                            sxx += (x[j] - mx) * (x[j] - mx);
                            syy += (y[j] - my) * (y[j] - my);
                            mins += std::min(x[j], y[j]);
                            tot += x[j] + y[j];
                        }
                        if (bc) {
                            sum += 2 * mins / tot;
                            ++used;
                        } else if (sxx > 1e-9 && syy > 1e-9) {
                            sum += sxy / std::sqrt(sxx * syy);
                            ++used;
                        } else {
                            ++undefined;
                        }
                    }
                ASSERT_EQ(c.columns(), C) << round;
                EXPECT_EQ(c.near_boundary, near) << round << " " << o100;
                EXPECT_EQ(got.pairs_used, used) << round;
                EXPECT_EQ(got.pairs_undefined, undefined) << round;
                if (used)
                    EXPECT_NEAR(got.mean, sum / used, 1e-9) << round << " bc " << bc;
                else
                    EXPECT_TRUE(std::isnan(got.mean)) << round;
            }
        }
    }
}
