// "Compute table" on arbitrary small tables with arbitrary answers: the
// option against the plain method (the test oracle); their outcomes, report
// lines, boxes and output files must be the same.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "base/reportstream.h"
#include "fuzz_support.h"
#include "peaks/classtables.h"
#include "peaks/tablecomp.h"
#include "support/fake_platform.h"
#include "tablecomp_oracle.h"

namespace {

struct Bytes {
    const std::uint8_t* p;
    std::size_t n;
    unsigned next() {
        if (!n) return 0;
        --n;
        return *p++;
    }
};

double value(unsigned b) {
    const double special[] = {0,
                              1,
                              2.5,
                              -3,
                              std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(),
                              1e30};
    return b < 8 ? special[b] : b - 100.0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sandbox();
    Bytes in{data, size};
    int groups = 1 + in.next() % 4, heightarea = 1 + in.next() % 2, summax = 1 + in.next() % 2,
        rowpct = 1 + in.next() % 2;
    unsigned b = in.next();
    int maxpeaks = b % 8 == 0 ? static_cast<int>(b) : static_cast<int>(b % 4) - 1;
    b = in.next();
    int start = b % 4 == 0 ? static_cast<int>(b) : 0;
    std::vector<std::string> answers;
    for (unsigned k = in.next() % 10; k > 0; --k) {
        unsigned a = in.next();
        const char* odd[] = {"0", "-4", "abc", "", " 7", "1e3"};
        answers.push_back(a < 6 ? std::string(odd[a]) : std::to_string(a % 2 ? 1 + a % 40 : a));
    }
    std::string table;
    int rows = static_cast<int>(in.next() % 48);
    for (int r = 0; r < rows; ++r) {
        unsigned s = in.next();
        double row[6] = {s == 255 ? std::nan("") : static_cast<double>(s % 12) - 1.0,
                         static_cast<double>(in.next() % 20),
                         0,
                         20 + in.next() + (in.next() % 4) * 0.25,
                         value(in.next()),
                         value(in.next())};
        for (double v : row) {
            unsigned char e[4];
            encodescal(v, e);
            table.append(reinterpret_cast<const char*>(e), 4);
        }
    }
    char trailer[19];
    std::snprintf(trailer, sizeof trailer, "\r\n%06d\r\n%06d\r\n", rows, 6);
    table += trailer;
    put_file("in", reinterpret_cast<const std::uint8_t*>(table.data()), table.size());

    const std::string full = full_table_name("in", heightarea == 1, summax == 1);
    const std::string kept = kept_table_name("in", heightarea == 1, summax == 1);
    std::string outcome[2], report[2], full_bytes[2], kept_bytes[2];
    std::vector<std::string> events[2];
    for (int k = 0; k < 2; ++k) {
        reset_fake();
        g_reportstream.name = "QOR.temp-f";
        ResetReport();
        std::remove(full.c_str());
        std::remove(kept.c_str());
        g_fake.answers.assign(answers.begin(), answers.end());
        try {
            (k == 0 ? computetable : computetable_literal)("in", groups, heightarea, summax, rowpct, maxpeaks, start);
        } catch (const RunAbandoned& e) {
            outcome[k] = e.text;
            abandon_outputs();
        }
        std::fflush(g_reportstream.file);
        report[k] = read_file(g_reportstream.path);
        events[k] = g_fake.events;
        full_bytes[k] = read_file(full);
        kept_bytes[k] = read_file(kept);
        expect_no_temporaries();
    }
    if (outcome[0] != outcome[1] || report[0] != report[1] || events[0] != events[1] ||
        full_bytes[0] != full_bytes[1] || kept_bytes[0] != kept_bytes[1])
        std::abort();
    return 0;
}
