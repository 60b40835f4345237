#include <gtest/gtest.h>

#include <ctime>
#include <sstream>
#include <string>
#include <vector>

#include "frame/banner.h"

namespace {

std::time_t at(int year, int month, int day, int hour, int minute) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

}  // namespace

TEST(Banner, WidthsAndFill) {
    std::time_t when = at(2026, 12, 7, 16, 49);
    struct Case {
        int which;
        const char* title;
        int width, fill;
    } cases[] = {
        {1, "Compute table", 62, 18},
        {2, "Compute table", 70, 26},
        {1, "Read Genescan file", 62, 13},
        {2, "Read Genescan file", 70, 21},
    };
    for (const auto& c : cases) {
        auto l = lines(bannertext(c.which, "Orvendale", c.title, when));
        ASSERT_EQ(l.size(), 4u);
        EXPECT_EQ(l[0].size(), static_cast<std::size_t>(c.width));
        EXPECT_EQ(l[0], "*" + std::string(c.width - 2, '-') + "*");
        EXPECT_EQ(l[1].size(), static_cast<std::size_t>(c.width)) << "credit line";
        EXPECT_NE(l[1].find("Peakgrid"), std::string::npos);
        EXPECT_NE(l[1].find("QOR-4"), std::string::npos);
        EXPECT_EQ(l[2], "| Orvendale: " + std::string(c.title) + std::string(c.fill, ' ') + "07/12/26  16/49  |");
        EXPECT_EQ(l[3], l[0]);
    }
}

TEST(Banner, LongLeftPartGetsNoFill) {
    std::time_t when = at(2026, 1, 2, 3, 4);
    // "| Orvendale: " is 13 characters: a 31-character title makes the
    // left part 44 long, where banner 1 has no room for fill spaces.
    struct Case {
        int which;
        int title_len;
        int fill;
    } cases[] = {{1, 30, 1}, {1, 31, 0}, {1, 80, 0}, {2, 38, 1}, {2, 39, 0}};
    for (const auto& c : cases) {
        std::string title(static_cast<std::size_t>(c.title_len), 'T');
        auto l = lines(bannertext(c.which, "Orvendale", title, when));
        EXPECT_EQ(l[2], "| Orvendale: " + title + std::string(c.fill, ' ') + "02/01/26  03/04  |");
    }
    // Percent signs are text, not formatting.
    auto l = lines(bannertext(1, "Orvendale", "100% %s", when));
    EXPECT_EQ(l[2].substr(0, 20), "| Orvendale: 100% %s");
}
