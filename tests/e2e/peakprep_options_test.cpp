// Peakprep's "Filter peaks" and "Profile summary" through the console
// program and batch files, on examples worked by hand.
#include <cmath>
#include <cstring>

#include "e2e/console_fixture.h"

namespace {

using Rows = std::vector<float>;  // six values a peak: sample, peak, minutes, size, height, area

class Prep : public Console {
  protected:
    void put(const std::string& name, const Rows& v, int cols) { write_bytes(dir.file("data/" + name), tab(v, cols)); }
    Rows values(const std::string& name, int& rows, int& cols) { return tablevalues(data(name), rows, cols); }
};

// Option 2 on Chan1 with its nine values: min size, max size, min height,
// relative %, height/area, k, pooled/per sample, merge distance, max span.
std::string filterbatch(const std::string& values) { return "Filter\n2\n10\nChan1\n" + values; }

// Sample 1 meets every step; sample 2 loses its only peak; sample 3 has
// two peaks exactly 0.5 apart; a row of sample number 0 belongs to no sample.
const Rows kWorked = {
    0, 1, 1,     150,    999, 999,   // no sample
    1, 1, 5,     50,     100, 1000,  // below the min. size 60
    1, 2, 6,     60,     40,  400,   // size on the limit, height below 50
    1, 3, 10,    100,    50,  500,   // height on the limit; merges with the next
    1, 4, 10.25, 100.25, 150, 100,  1, 5, 30,   300,   650, 650,
    1, 6, 40,    400,    100, 100,                                // size on the limit; 10 % of 1000 exactly
    1, 7, 40.5,  400.5,  300, 300,                                // above the max. size 400
    1, 8, 35,    350,    50,  50,                                 // 5 % of 1000
    2, 1, 20,    200,    30,  30,                                 // below 50: sample 2 is emptied
    3, 1, 12,    120,    500, 500,  3, 2, 12.5, 120.5, 500, 500,  // exactly 0.5 apart: not merged
};

}  // namespace

TEST_F(Prep, FilterPeaksWorkedExample) {
    put("Chan1", kWorked, 6);
    write_bytes(dir.file("data/SampleNamesCh1"), "Echantillon 1 = A\nEchantillon 2 = B\nEchantillon 3 = C\n");
    Outcome r = prep(filterbatch("60\n400\n50\n10\n1\n0\n1\n0.5\n0\n"));
    ASSERT_EQ(r.status, 0) << r.err;
    // 100 and 100.25 weighted by heights 50 and 150: 100.1875, minutes
    // 10.1875; the emptied sample takes the smallest size kept.
    const Rows want = {1, 1, 10.1875f, 100.1875f, 200, 600, 1, 2, 30, 300, 650, 650, 1, 3, 40,    400,    100, 100,
                       2, 1, 0,        100.1875f, 0,   0,   3, 1, 12, 120, 500, 500, 3, 2, 12.5f, 120.5f, 500, 500};
    EXPECT_EQ(data("Chan1_flt"), tab(want, 6));
    EXPECT_EQ(data("Chan1_flt.qc.txt"),
              "sample\tname\tsize\theight\tarea\tstep\treason\tparameter\n"
              "0\t\t150\t999\t999\tinput\tno_sample_number\t\n"
              "1\tA\t50\t100\t1000\tsize_range\tout_of_range\t60\n"
              "1\tA\t400.5\t300\t300\tsize_range\tout_of_range\t400\n"
              "1\tA\t60\t40\t400\tabsolute_height\tbelow_absolute_threshold\t50\n"
              "1\tA\t100\t50\t500\tmerge\tmerged\t0.5\n"
              "1\tA\t100.25\t150\t100\tmerge\tmerged\t0.5\n"
              "1\tA\t100.1875\t200\t600\tmerge\tmerge_result\t0.5\n"
              "1\tA\t350\t50\t50\trelative_threshold\tbelow_relative_threshold\t10\n"
              "2\tB\t200\t30\t30\tabsolute_height\tbelow_absolute_threshold\t50\n"
              "2\tB\t\t\t\tresult\tsample_emptied\t\n");
    const std::string rep = report();
    for (const char* line :
         {"Sample number : 1 (A), peaks before = 8, after = 3, total height before = 1440, after = 950\n",
          "Sample number : 2 (B), peaks before = 1, after = 0, total height before = 30, after = 0 (emptied)\n",
          "Rows dropped (sample number below 1, above 999999 or not finite) = 1\n", "Emptied: sample number 2\n",
          "Output file: Chan1_flt\n--- Number of rows: 6, columns: 6\n", "--- Number of records: 10\n"})
        EXPECT_NE(rep.find(line), std::string::npos) << line << rep;

    // The relative threshold is final after one pass: the same filter on
    // its own output drops nothing more.
    fs::rename(dir.file("data/Chan1_flt"), dir.file("data/Chan1"));
    ASSERT_EQ(prep(filterbatch("0\n0\n0\n10\n1\n0\n1\n0\n0\n")).status, 0);
    EXPECT_EQ(data("Chan1_flt"), tab(want, 6));

    // Peakgrid's "Compute table" on the filtered table keeps a row for the
    // emptied sample, aligned with the names file.
    write_bytes(dir.file("t.txt"), "Table\n2\n7\nChan1_flt\n1\n1\n1\n2\n0\n0\n");
    Outcome t = run("t.txt", "10\n");
    ASSERT_EQ(t.status, 0) << t.err;
    int rows = 0, cols = 0;
    Rows full = values("Chan1_flt_tabtotSH", rows, cols);
    ASSERT_EQ(rows, 3);
    EXPECT_EQ(full[static_cast<std::size_t>(cols)], 0.0f);  // sample 2's row is zeros
}

TEST_F(Prep, FilterPeaksMergeChainsSpanAndValueChoice) {
    // Three peaks 0.25 apart of height 100: the leftmost of the equal pairs
    // merges first (100.125, minutes 1.5), then the pair is 0.375 apart.
    // Areas 10, 20, 30 are 1/6, 2/6 and 3/6 of the total.
    put("Chan1", {1, 1, 1, 100, 100, 10, 1, 2, 2, 100.25f, 100, 20, 1, 3, 3, 100.5f, 100, 30}, 6);
    const Rows all = {1, 1, 1, 100, 100, 10, 1, 2, 2, 100.25f, 100, 20, 1, 3, 3, 100.5f, 100, 30};
    struct Case {
        const char* values;  // relative %, height/area, k, scope, merge distance, max span
        Rows want;
    } cases[] = {
        {"0\n1\n0\n1\n0.5\n0\n", {1, 1, 2, 100.25f, 300, 60}},                                   // the whole chain
        {"0\n1\n0\n1\n0.5\n0.25\n", {1, 1, 1.5f, 100.125f, 200, 30, 1, 2, 3, 100.5f, 100, 30}},  // span 0.5 refused
        {"0\n1\n0\n1\n0.25\n0\n", all},                                                          // exactly d apart
        {"20\n1\n0\n1\n0\n0\n", all},                                                            // heights: 33 % each
        {"20\n2\n0\n1\n0\n0\n", {1, 1, 2, 100.25f, 100, 20, 1, 2, 3, 100.5f, 100, 30}},          // areas: 1/6 < 20 %
    };
    for (const Case& c : cases) {
        ASSERT_EQ(prep(filterbatch(std::string("0\n0\n0\n") + c.values)).status, 0);
        EXPECT_EQ(data("Chan1_flt"), tab(c.want, 6)) << c.values;
    }
}

TEST_F(Prep, StatisticalFilterPooledAndPerSample) {
    // Shares on height: sample 1 0.5 and five of 0.1; sample 2 0.6, 0.3, 0.1.
    put("Chan1",
        {1, 1, 0, 100, 500, 1, 1, 2, 0, 101, 100, 1, 1, 3, 0, 102, 100, 1, 1, 4, 0, 103, 100, 1, 1, 5, 0, 104, 100, 1,
         1, 6, 0, 105, 100, 1, 2, 1, 0, 100, 600, 1, 2, 2, 0, 101, 300, 1, 2, 3, 0, 102, 100, 1},
        6);
    struct Case {
        const char* scope;
        Rows want;
        std::vector<const char*> lines;
    } cases[] = {
        // Pooled, k = 2: sum of squares 0.76 over 9, s = 0.290593, k*s =
        // 0.581187 takes 0.6; then 0.5 (bar 0.447214), 0.3 (bar 0.29277);
        // six left of 0.1: s = 0.1, bar 0.2, none.
        {"1\n",
         {1, 1, 0, 100, 500, 1, 2, 1, 0, 100, 600, 1, 2, 2, 0, 101, 300, 1},
         {"Pool of all samples, round 1: n = 9, s = 0.290593, k*s = 0.581187, accepted = 1\n",
          "Pool of all samples, round 3: n = 7, s = 0.146385, k*s = 0.29277, accepted = 1\n",
          "Pool of all samples, round 4: n = 6, s = 0.1, k*s = 0.2, accepted = 0\n"}},
        // Per sample: sample 1 keeps 0.5 only; sample 2's 3 peaks are no
        // more than k^2 = 4, so none could pass: it is left whole.
        {"2\n",
         {1, 1, 0, 100, 500, 1, 2, 1, 0, 100, 600, 1, 2, 2, 0, 101, 300, 1, 2, 3, 0, 102, 100, 1},
         {"Sample 1, round 1: n = 6, s = 0.223607, k*s = 0.447214, accepted = 1\n",
          "Warning: pool_too_small_no_peak_can_pass: Sample 2 has 3 peaks, n <= k^2 = 4; left unfiltered\n"}},
    };
    for (const Case& c : cases) {
        Outcome r = prep(filterbatch(std::string("0\n0\n0\n0\n1\n2\n") + c.scope + "0\n0\n"));
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(data("Chan1_flt"), tab(c.want, 6)) << c.scope;
        const std::string rep = report();
        for (const char* line : c.lines) EXPECT_NE(rep.find(line), std::string::npos) << line << rep;
    }
}

TEST_F(Prep, BadInputsAreRefusedAndWriteNothing) {
    const std::string filter = filterbatch("0\n0\n10\n0\n1\n0\n1\n0\n0\n");
    const std::string summary = "Summary\n3\n2\nChan1\n\n";
    // Trailers of 999999 rows on eight bytes of values.
    const std::string forged = floats({1, 2}) + "\r\n999999\r\n999999\r\n";
    const std::string forged6 = floats({1, 2}) + "\r\n999999\r\n000006\r\n";
    struct Case {
        const char* what;
        std::string input, batch;
        bool link_output;  // Chan1_flt and Chan1_pa are links to the input
        int status;
        const char* message;
    } cases[] = {
        {"five columns", tab({1, 1, 0, 100, 50}, 5), filter, false, 0, "Sorry: a channel table has 6 columns"},
        {"filter output is the input", tab({1, 1, 0, 100, 50, 50}, 6), filter, true, 1,
         "Error: input file is also an output file (filterpeaks)"},
        {"summary output is the input", tab({1, 1}, 2), summary, true, 1,
         "Error: input file is also an output file (profilesummary)"},
        {"no sample number", tab({0, 1, 0, 100, 50, 50, -1, 1, 0, 100, 50, 50}, 6), filter, false, 0,
         "Sorry: no sample number of 1 or more in column 1"},
        {"filter: trailer beyond the data", forged6, filter, false, 1, "Error: can't read vector (readvec)"},
        {"summary: trailer beyond the data", forged, summary, false, 1, "Error: can't read vector (readvec)"},
    };
    for (const Case& c : cases) {
        for (const char* out : {"Chan1_flt", "Chan1_pa"}) fs::remove(dir.file(std::string("data/") + out));
        write_bytes(dir.file("data/Chan1"), c.input);
        if (c.link_output)
            for (const char* out : {"Chan1_flt", "Chan1_pa"})
                fs::create_symlink("Chan1", dir.file(std::string("data/") + out));
        Outcome r = prep(c.batch);
        EXPECT_EQ(r.status, c.status) << c.what;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << r.err;
        EXPECT_EQ(data("Chan1"), c.input) << c.what;
        for (const char* out : {"Chan1_flt", "Chan1_pa"})
            EXPECT_EQ(fs::exists(fs::symlink_status(dir.file(std::string("data/") + out))), c.link_output) << c.what;
        for (const char* out : {"Chan1_flt.qc.txt", "Chan1_div"})
            EXPECT_FALSE(fs::exists(dir.file(std::string("data/") + out))) << c.what;
    }
}

TEST_F(Prep, ProfileSummaryWorkedExamples) {
    // Rows: empty; a single class; two equal; four equal; 5, 0.5 and 3.
    put("Chan1_tabSH", {0, 0, 0, 0, 0, 7, 0, 0, 2, 2, 0, 0, 1, 1, 1, 1, 5, 0.5f, 3, 0}, 4);
    write_bytes(dir.file("data/SampleNamesCh1"), "Echantillon 1 = A\n");
    const float nan = NAN;
    struct Case {
        const char* threshold;
        Rows pa;
        Rows div;  // richness, total, H', J, 1-D, 1/D
    } cases[] = {
        {"0\n",
         {0, 0, 0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 1, 1, 1, 1, 1, 1, 0},
         {0, 0,    nan, nan, nan, nan,       1, 7,     0, nan, 0,    1,         2,         4,         0.693147f,
          1, 0.5f, 2,   4,   4,   1.386294f, 1, 0.75f, 4, 3,   8.5f, 0.846366f, 0.770395f, 0.525952f, 2.109489f}},
        // Threshold 3: the 3 counts, the 2s do not.  Row 5: shares 0.625
        // and 0.375: H' = 0.661563, J = H'/ln 2, D = 0.53125.
        {"3\n",
         {0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0},
         {0,   0,   nan, nan, nan, nan, 1,   7,   0,   nan, 0, 1,         0,         0,        nan,
          nan, nan, nan, 0,   0,   nan, nan, nan, nan, 2,   8, 0.661563f, 0.954434f, 0.46875f, 1.882353f}},
    };
    for (const Case& c : cases) {
        Outcome r = prep(std::string("Summary\n3\n2\nChan1_tabSH\n") + c.threshold);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(data("Chan1_tabSH_pa"), tab(c.pa, 4)) << c.threshold;
        int rows = 0, cols = 0;
        Rows div = values("Chan1_tabSH_div", rows, cols);
        ASSERT_EQ(rows, 5);
        ASSERT_EQ(cols, 6);
        for (std::size_t i = 0; i < c.div.size(); ++i) {
            if (std::isnan(c.div[i]))
                EXPECT_TRUE(std::isnan(div[i])) << c.threshold << " cell " << i;
            else
                EXPECT_NEAR(div[i], c.div[i], 2e-6) << c.threshold << " cell " << i;
        }
    }
    const std::string rep = report();
    EXPECT_NE(rep.find("Sample number : 1 (A), richness = 0, total = 0, Shannon H' (ln) = undefined, Pielou J = "
                       "undefined, Simpson 1-D = undefined, inverse Simpson 1/D = undefined\n"),
              std::string::npos)
        << rep;
    EXPECT_NE(rep.find("Sample number : 2, richness = 1, total = 7, Shannon H' (ln) = 0, Pielou J = undefined, "
                       "Simpson 1-D = 0, inverse Simpson 1/D = 1\n"),
              std::string::npos)
        << rep;
}
