// Peakprep's "Replicate consensus" through the console program and batch
// files, on an example worked by hand.
#include <cstring>

#include "e2e/console_fixture.h"

namespace {

using Rows = std::vector<float>;

class Cons : public Console {
  protected:
    // Option 7 on Chan1_tabSH: map, k, all/present, normalise.
    Outcome consensus(const std::string& values) { return prep("Consensus\n7\n5\nChan1_tabSH\n" + values); }
    void expect_in_report(const std::vector<std::string>& lines) {
        const std::string rep = report();
        for (const std::string& line : lines) EXPECT_NE(rep.find(line), std::string::npos) << line << rep;
    }
};

// Rows A1, A2 (group A), B1, B2 (group B), C (not listed) over four bins.
// A1-A2 differ in bin 3 (a quarter of the bins: an outlier pair); B1-B2
// agree everywhere.
const Rows kTable = {10, 0, 30, 60, 20, 0, 0, 180, 5, 5, 0, 0, 10, 10, 0, 0, 1, 1, 1, 1};
const char kNames[] =
    "Echantillon 1 = A1\nEchantillon 2 = A2\nEchantillon 3 = B1\nEchantillon 4 = B2\nEchantillon 5 = C\n";

}  // namespace

TEST_F(Cons, WorkedExample) {
    write_bytes(dir.file("data/Chan1_tabSH"), tab(kTable, 4));
    write_bytes(dir.file("data/SampleNamesCh1"), kNames);
    write_bytes(dir.file("data/map.txt"), "A1\tA\r\nA2\tA\r\n\r\nB1\tB\r\nB2\tB\r\nX\tZ\r\n");
    Outcome r = consensus("map.txt\n2\n1\n1\n");
    ASSERT_EQ(r.status, 0) << r.err;
    // A: (.1+.1)/2 and (.6+.9)/2, bin 3 seen once is dropped; C alone: k
    // is capped at 1.
    EXPECT_EQ(data("Chan1_tabSH_cons"), tab({0.1f, 0, 0, 0.75f, 0.5f, 0.5f, 0, 0, 0.25f, 0.25f, 0.25f, 0.25f}, 4));
    EXPECT_EQ(data("Chan1_tabSH_cons.names"), "Echantillon 1 = A\r\nEchantillon 2 = B\r\nEchantillon 3 = C\r\n");
    // Bins 3 and 4 are seen by no pair used: 100 % over all pairs, no data
    // over the pairs that have them (A1-A2 would have made bin 3 50 %).
    EXPECT_EQ(data("Chan1_tabSH_rep.txt"),
              "pair\tgroup\tsample_a\tsample_b\tbray_curtis\tjaccard\tmismatches\terror_rate\toutlier\n"
              "1\tA\tA1\tA2\t0.3\t0.6666667\t1\t0.25\tyes\n"
              "2\tB\tB1\tB2\t0\t1\t0\t0\tno\n"
              "\ngroup\treplicates\tk\tbins_kept\tbins_dropped\tempty_replicates\tpairs\toutlier_pairs"
              "\tmean_bray_curtis\tmean_jaccard\trepeatability\n"
              "A\t2\t2\t2\t1\t0\t1\t1\t0.3\t0.6666667\t0.75\n"
              "B\t2\t2\t2\t0\t0\t1\t0\t0\t1\t1\n"
              "C\t1\t1\t4\t0\t0\t0\t0\t\t\t\n"
              "\nbin\treproducibility\treproducibility_present\tpairs_used\tpairs_present\ttested\trepeatability\n"
              "1\t100\t100\t1\t1\t2\t1\n"
              "2\t100\t100\t1\t1\t2\t1\n"
              "3\t100\t\t1\t0\t0\t0.5\n"
              "4\t100\t\t1\t0\t0\t1\n"
              "\ngroup\tdropped_bin\tpresent\tk\n"
              "A\t3\t1\t2\n"
              "\npairs\toutlier_pairs\tmedian_error_rate\trepeatability\n"
              "2\t1\t0\t0.875\n");
    expect_in_report(
        {"Warning: replicate map line 6 names sample X, which the table does not have\n",
         "Group A: replicates = 2, k = 2, bins kept = 2, dropped = 1, empty replicates = 0, pairs = 1,"
         " outlier pairs = 1, mean Bray-Curtis = 0.3, mean Jaccard = 0.6666667, repeatability = 0.75\n",
         "Group C: replicates = 1, k = 1, bins kept = 4, dropped = 0, empty replicates = 0, pairs = 0,"
         " outlier pairs = 0, mean Bray-Curtis = no data, mean Jaccard = no data, repeatability = no data\n",
         "--- Number of rows: 3, columns: 4\n"});

    // The average over the present replicates, without normalising; k = 1
    // keeps A's bin 3.
    ASSERT_EQ(consensus("map.txt\n1\n2\n2\n").status, 0);
    EXPECT_EQ(data("Chan1_tabSH_cons"), tab({15, 0, 30, 120, 7.5f, 7.5f, 0, 0, 1, 1, 1, 1}, 4));

    // A later option names the groups' rows from their own names file.
    ASSERT_EQ(prep("Summary\n3\n2\nChan1_tabSH_cons\n0\n").status, 0);
    expect_in_report({"Sample names: Chan1_tabSH_cons.names\n", "Sample number : 2 (B), richness = 2"});
}

TEST_F(Cons, BadMapsStopWithNothingWritten) {
    write_bytes(dir.file("data/Chan1_tabSH"), tab(kTable, 4));
    write_bytes(dir.file("data/SampleNamesCh1"), kNames);
    struct Case {
        const char* map;  // the map's text; null: no such file
        const char* message;
    } cases[] = {
        {"A1\tA\nA2 A\n", "Sorry: replicate map line 2 has no tab between the sample name and the group"},
        {"A1\tA\nA1\tB\n", "Sorry: replicate map line 2 gives sample A1 a second group (line 1 gives it A)"},
        {nullptr, "Sorry: can't read the replicate map map.txt"},
    };
    for (const Case& c : cases) {
        fs::remove(dir.file("data/map.txt"));
        if (c.map) write_bytes(dir.file("data/map.txt"), c.map);
        Outcome r = consensus("map.txt\n2\n1\n1\n");
        EXPECT_NE((r.out + r.err + report()).find(c.message), std::string::npos) << c.message << r.out << report();
        EXPECT_FALSE(fs::exists(dir.file("data/Chan1_tabSH_cons"))) << c.message;
        EXPECT_FALSE(fs::exists(dir.file("data/Chan1_tabSH_rep.txt"))) << c.message;
    }
    // A channel table's rows are peaks, not samples.
    write_bytes(dir.file("data/Chan1"), tab({1, 1, 1, 100, 50, 50}, 6));
    prep("Consensus\n7\n5\nChan1\n\n2\n1\n1\n");
    EXPECT_NE(report().find("Sorry: a channel table has a row per peak; make a class table of it first"),
              std::string::npos)
        << report();
    EXPECT_FALSE(fs::exists(dir.file("data/Chan1_cons")));
    // No map: every sample its own group, each row kept as it is.
    ASSERT_EQ(consensus("\n2\n1\n2\n").status, 0);
    EXPECT_EQ(data("Chan1_tabSH_cons"), tab(kTable, 4));
}
