#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "datafile/messages.h"
#include "frame/run.h"
#include "framework/dialog.h"
#include "framework/paramspec.h"
#include "framework/registry.h"
#include "support/fake_platform.h"
#include "support/test_dir.h"

TEST(Registry, DecimalIntegers) {
    struct Case {
        const char* text;
        int value;
    } cases[] = {{"3", 3},
                 {"  -12x", -12},
                 {"+7", 7},
                 {"2abc", 2},
                 {"abc", 0},
                 {"", 0},
                 {"99999999999", INT_MAX},
                 {"-99999999999", INT_MIN},
                 {"\t 5", 5},
                 {"1.9", 1}};
    for (const auto& c : cases) EXPECT_EQ(decimalint(c.text), c.value) << c.text;
}

TEST(Registry, MenuFromTitles) {
    reset_fake();
    buildoptmenu("A\n-\nB\n", 3);
    EXPECT_EQ(g_fake.menu, (std::vector<std::string>{"A", "-", "B"}));
    EXPECT_EQ(g_fake.menu_ids, (std::vector<int>{1301, 0, 1303}));
    reset_fake();
    buildoptmenu("\n\nA\n\n\nB\nC\n", 2);  // empty lines are skipped; only 2 taken
    EXPECT_EQ(g_fake.menu, (std::vector<std::string>{"A", "B"}));
    reset_fake();
    EXPECT_THROW(buildoptmenu("x\n", 20), RunAbandoned);
    EXPECT_EQ(fake_events("error: "), std::vector<std::string>{"Error: Too many options in program"});
}

// The registered options agree with their ParamSpecs: as many entries as
// parameters, each with a label and a type, and the menu lists them.
TEST(Registry, ModuleRegistration) {
    reset_fake();
    TestDir dir;
    g_fake.windows_folder = dir.path;
    registermodule();
    const OptionTable& t = g_registry.table;
    EXPECT_EQ(t.module_name, "Peakgrid");
    EXPECT_EQ(t.menu_titles, "Read Genescan file\nCompute table\n");
    EXPECT_EQ(g_fake.menu, (std::vector<std::string>{"Read Genescan file", "Compute table"}));
    const std::vector<std::vector<std::string>> types = {{"text"}, {"bin", "int", "int", "int", "int", "int", "int"}};
    for (int k = 1; k <= t.option_count; ++k) {
        g_registry.current_option = k;
        std::vector<DialogRow> rows = dialogrows();
        ASSERT_EQ(static_cast<int>(rows.size()), t.param_count[k]);
        EXPECT_LT(t.param_spec[k].size(), 1024u);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            EXPECT_EQ(rows[r].type, types[static_cast<std::size_t>(k - 1)][r]);
            EXPECT_FALSE(rows[r].shortlabel.empty());
        }
    }
    g_registry.current_option = 2;
    std::vector<DialogRow> rows = dialogrows();
    EXPECT_EQ(dialogtitle(), "Compute table");
    EXPECT_EQ(rows[2].shortlabel, "Height (1) or Area (2) of peaks ");
    EXPECT_EQ(labellines(rows[2].longlabel.c_str()),
              (std::vector<std::string>{"Height (1) or Area (2) of peaks ", "Default = Height "}));
}

TEST(Registry, OpeningAnOptionThatDoesNotExist) {
    reset_fake();
    TestDir dir;
    g_fake.windows_folder = dir.path;
    registermodule();
    for (int id : {1300, 1303, 1320, 1000}) openoptdialog(id);
    EXPECT_TRUE(fake_events("dialog: ").empty());
    EXPECT_EQ(fake_events("info: ").size(), 4u);
    openoptdialog(1302);
    EXPECT_EQ(fake_events("dialog: "), std::vector<std::string>{"2"});
    EXPECT_EQ(g_registry.current_option, 2);
}

// Option numbers from the command line or the menu become command ids
// without overflow; those out of range name no option.
TEST(Registry, OptionCommands) {
    EXPECT_EQ(optioncommand(2), 1302);
    EXPECT_EQ(optioncommand(20), 1320);
    for (int k : {21, -1, INT_MAX, INT_MIN}) EXPECT_EQ(optioncommand(k), 1300) << k;
}

TEST(Registry, EmptyRequiredValuesRunNothing) {
    reset_fake();
    runandpublish(1);
    std::strcpy(g_registry.ParamValues[1], "x");
    runandpublish(2);  // the number of groups is empty
    runandpublish(3);
    EXPECT_TRUE(g_fake.events.empty());
}

TEST(ParamSpec, Descriptors) {
    struct Case {
        const char* text;
        const char* type;
        const char* f2;
        const char* f3;
    } cases[] = {
        {"text,,", "text", "", ""},
        {"int,1,", "int", "1", ""},
        {"int,1,2", "int", "1", "2"},
        {"int,,5", "int", "5", ""},
        {"int,,", "int", "", ""},
        {"", "", "", ""},
        {"bin,dat,x,y", "bin", "dat", "x"},
        {"averyveryverylongtypename,1234567890123", "averyveryverylongty", "123456789", ""},
    };
    for (const auto& c : cases) {
        Descriptor d = readdescriptor(c.text);
        EXPECT_EQ(d.type, c.type) << c.text;
        EXPECT_EQ(d.field2, c.f2) << c.text;
        EXPECT_EQ(d.field3, c.f3) << c.text;
    }
}

TEST(ParamSpec, SplittingAndLabels) {
    reset_fake();
    splitspec("Input file\n[text,,]Second\nline two\n\nline four\n[int,1,]ignored[x]", 2);
    EXPECT_STREQ(g_registry.labels[1], "Input file\n");
    EXPECT_STREQ(g_registry.descriptors[1], "text,,");
    EXPECT_STREQ(g_registry.descriptors[2], "int,1,");
    EXPECT_EQ(shortlabel(g_registry.labels[2]), "Second");
    EXPECT_EQ(shortlabel("\n\nFirst\nSecond\n"), "First");
    EXPECT_EQ(labellines(g_registry.labels[2]), (std::vector<std::string>{"Second", "line two", "", "line four"}));
    std::string fourteen;
    for (int i = 1; i <= 14; ++i) fourteen += "L" + std::to_string(i) + "\n";
    std::vector<std::string> shown = labellines(fourteen.c_str());
    ASSERT_EQ(shown.size(), 12u);
    EXPECT_EQ(shown.back(), "L12");
    // Fewer entries than asked: the rest come out empty.
    splitspec("Only\n[int,,]", 3);
    EXPECT_STREQ(g_registry.labels[3], "");
}

TEST(ParamSpec, Askparam) {
    struct Case {
        const char* spec;
        const char* queued;  // answer typed, or nullptr for end of input
        bool answered;
        const char* answer;  // answer buffer afterwards
        bool asked;
    } cases[] = {
        {"Group number 1\nClass width \n[int,,]\n", "10", true, "10", true},
        {"Value \n[float,0,1]", "0.5", true, "0.5", true},
        {"Name \n[string,,]", "", true, "", true},
        {"Class width \n[int,,]\n", nullptr, false, "old", true},
        {"File\n[bin,,]", "x", false, "old", false},
        {"File\n[text,,]", "x", false, "old", false},
        {"Pick\n[selection,,]", "x", false, "old", false},
        {"Odd\n[Int,,]", "x", false, "old", false},
    };
    for (const auto& c : cases) {
        reset_fake();
        if (c.queued) g_fake.answers.push_back(c.queued);
        char spec[256];
        std::strcpy(spec, c.spec);
        char answer[256] = "old";
        EXPECT_EQ(askparam(spec, answer), c.answered) << c.spec;
        EXPECT_STREQ(answer, c.answer) << c.spec;
        EXPECT_EQ(fake_events("ask: ").size(), c.asked ? 1u : 0u) << c.spec;
    }
    reset_fake();
    g_fake.answers.push_back("7");
    char spec[] = "Group number 2\nUpper limit \n[int,,]\n";
    char answer[256];
    askparam(spec, answer);
    EXPECT_EQ(fake_events("ask: "), std::vector<std::string>{"Group number 2|Upper limit "});
}
