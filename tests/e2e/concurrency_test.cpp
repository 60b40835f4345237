// Runs of the console program at the same time, and files left by a run that
// was killed: outputs and reports never mix, and stale text never shows up.
#include <ctime>
#include <map>
#include <set>

#include "e2e/console_fixture.h"

namespace {

const std::string kHeader = "Dye/Sample Peak\tSample File\tSample\tDye\tPeak\tMinutes\tSize\tHeight\tArea\n";

// An export of 4 dyes x lines peaks whose sample names carry a tag, so the
// outputs of two exports differ in every file.
std::string export_text(const std::string& tag, int lines) {
    std::string s = kHeader;
    for (int i = 0; i < lines; ++i) {
        int dye = 1 + i % 4;
        s += "B," + std::to_string(i) + "\tf.fsa\t" + tag + std::to_string(i / 40) + "\t" + std::to_string(dye) +
             "\t1\t0\t" + std::to_string(50 + i % 500) + ".25\t" + std::to_string(100 + i % 97) + "\t" +
             std::to_string(1000 + i) + "\n";
    }
    return s;
}

const char* const kOutputs[] = {"Chan1",          "Chan2",          "Chan3",          "Chan4",         "SampleNames",
                                "SampleNamesCh1", "SampleNamesCh2", "SampleNamesCh3", "SampleNamesCh4"};

class Concurrent : public Console {
  protected:
    // Starts the batch files at once, each from the start folder, and waits
    // for all; the exit statuses in order.
    std::vector<int> run_together(const std::vector<std::string>& batches) {
        std::string cmd = "cd '" + dir.path + "' && HOME='" + dir.path + "'; ";
        for (std::size_t i = 0; i < batches.size(); ++i) {
            std::string n = std::to_string(i);
            cmd += "( " + wrapper() + "'" PEAKGRID_EXE "' " + batches[i] + " </dev/null >out" + n + " 2>err" + n +
                   "; echo $? >status" + n + " ) & ";
        }
        cmd += "wait";
        std::system(cmd.c_str());
        std::vector<int> status;
        for (std::size_t i = 0; i < batches.size(); ++i)
            status.push_back(std::atoi(read_bytes(dir.file("status" + std::to_string(i))).c_str()));
        return status;
    }
    std::map<std::string, std::string> outputs() {
        std::map<std::string, std::string> m;
        for (const char* name : kOutputs) m[name] = data(name);
        return m;
    }
    std::vector<std::string> files_starting(const std::string& prefix) {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir.file("data")))
            if (e.path().filename().string().rfind(prefix, 0) == 0) names.push_back(e.path().filename().string());
        return names;
    }
};

}  // namespace

// Two option-1 runs on different exports into one folder: each either puts
// its whole set of nine files in place or fails, so the files there always
// come from one run, and no temporary file is left.
TEST_F(Concurrent, TwoRunsIntoOneFolderLeaveOneRunsOutputs) {
    std::map<std::string, std::string> expected[2];
    for (int k = 0; k < 2; ++k) {
        std::string tag = k == 0 ? "A" : "B";
        write_bytes(dir.file("in" + tag + ".txt"), export_text(tag, 20000 + k * 3000));
        write_bytes(dir.file("run" + tag + ".txt"), "Run" + tag + "\n1\n1\n" + dir.file("in" + tag + ".txt") + "\n");
        ASSERT_EQ(run("run" + tag + ".txt").status, 0);
        expected[k] = outputs();
    }
    int both_ok = 0;
    for (int round = 0; round < 12; ++round) {
        std::vector<int> status = run_together({"runA.txt", "runB.txt"});
        std::map<std::string, std::string> now = outputs();
        EXPECT_TRUE(now == expected[0] || now == expected[1]) << "round " << round << ": outputs of two runs mixed";
        for (int k = 0; k < 2; ++k) {
            if (status[k] != 0) {
                EXPECT_NE(read_bytes(dir.file("err" + std::to_string(k))).find("another run"), std::string::npos);
            }
        }
        both_ok += status[0] == 0 && status[1] == 0;
        for (const auto& e : fs::directory_iterator(dir.file("data")))
            EXPECT_EQ(e.path().filename().string().find(".part~"), std::string::npos) << e.path();
    }
    EXPECT_GT(both_ok, 0);  // waiting for the other run's commit is enough
}

// Runs with one report name started in one second: each report file holds
// exactly one run's report, whole.
TEST_F(Concurrent, ReportsOfRunsInTheSameSecondDoNotMix) {
    write_bytes(dir.file("in.txt"), export_text("S", 16000));
    std::vector<std::string> batches;
    for (int k = 0; k < 3; ++k) {
        // Each run its own default folder for outputs would need three
        // configurations; the same outputs are fine, the reports are checked.
        write_bytes(dir.file("run" + std::to_string(k) + ".txt"), "Same\n1\n1\n" + dir.file("in.txt") + "\n");
        batches.push_back("run" + std::to_string(k) + ".txt");
    }
    for (int round = 0; round < 4; ++round) {
        for (const std::string& f : files_starting("l-Same")) fs::remove(dir.file("data/" + f));
        std::vector<int> status = run_together(batches);
        int runs = 0;
        for (const std::string& f : files_starting("l-Same")) {
            std::string text = read_bytes(dir.file("data/" + f));
            std::size_t first = text.find("Peakread: Reading input file");
            ASSERT_NE(first, std::string::npos) << f;
            EXPECT_EQ(text.find("Peakread: Reading input file", first + 1), std::string::npos) << f;
            EXPECT_NE(text.find("Sample names (channel 4) : SampleNamesCh4\n--- Number of rows: 4000\n"),
                      std::string::npos)
                << f << " is cut:\n"
                << text;
            ++runs;
        }
        int ok = 0;
        for (int s : status) ok += s == 0;
        EXPECT_EQ(runs, ok);
        EXPECT_TRUE(files_starting("QOR.temp-").empty());
    }
}

// A temporary report left by a killed run (same report name, same time of
// day) never begins a later report, and is gone after it.
TEST_F(Concurrent, StaleTemporaryReportIsNotReused) {
    write_bytes(dir.file("in.txt"), export_text("S", 40));
    write_bytes(dir.file("run.txt"), "Daily\n1\n1\n" + dir.file("in.txt") + "\n");
    std::time_t now = std::time(nullptr);
    std::set<std::string> stale;
    for (int s = 0; s < 5; ++s) {
        std::time_t t = now + s;
        char stamp[16];
        std::strftime(stamp, sizeof stamp, "-%H-%M-%S", std::localtime(&t));
        stale.insert(std::string("QOR.temp-Daily") + stamp);
        write_bytes(dir.file("data/QOR.temp-Daily" + std::string(stamp)), "STALE TEXT OF A KILLED RUN\n");
    }
    Outcome r = run("run.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    std::string rep = report();
    EXPECT_EQ(rep.find("STALE"), std::string::npos) << rep;
    EXPECT_NE(rep.find("Peakread"), std::string::npos);
    EXPECT_EQ(files_starting("QOR.temp-").size(), stale.size() - 1);  // the one reused is gone
}
