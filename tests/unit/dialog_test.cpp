// The parameter dialog's portable logic: rows, "Set" actions, chooser
// filters and the OK path that both fronts share.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "frame/report.h"
#include "frame/run.h"
#include "framework/dialog.h"
#include "framework/registry.h"
#include "support/fake_platform.h"
#include "support/test_dir.h"

TEST(Dialog, SetActionsByType) {
    struct Case {
        const char* type;
        SetAction action;
        bool help;
    } cases[] = {
        {"bin", SetAction::BinChooser, true},
        {"text", SetAction::TextChooser, true},
        {"new", SetAction::NewChooser, true},
        {"int", SetAction::ValueEntry, false},
        {"float", SetAction::ValueEntry, false},
        {"string", SetAction::ValueEntry, false},
        {"selection", SetAction::ValueEntry, false},
        {"pict", SetAction::None, false},
        {"Int", SetAction::None, false},
        {"", SetAction::None, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(setaction(c.type), c.action) << c.type;
        EXPECT_EQ(helpfirst(setaction(c.type)), c.help) << c.type;
    }
}

TEST(Dialog, ChooserFilters) {
    struct Case {
        SetAction chooser;
        const char* extension;
        const char* filter;
    } cases[] = {
        {SetAction::BinChooser, "", "All files (*.*)|*.*|"},
        {SetAction::TextChooser, "", "All files (*.*)|*.*|"},
        {SetAction::BinChooser, "x", "Files without extension (*)|*|"},
        {SetAction::TextChooser, "x", "Files without extensions (*)|*|"},
        {SetAction::BinChooser, "ab", "Files with ab extension (*.*ab)|*.*ab|"},
        {SetAction::TextChooser, "txt", "Files with txt extension (*.txt)|*.txt|"},
        {SetAction::BinChooser, "tabl", "Files with tabl extension (*.tabl)|*.tabl|"},
        // Longer extensions keep the rule of three and four characters.
        {SetAction::BinChooser, "table", "Files with table extension (*.table)|*.table|"},
        {SetAction::TextChooser, "123456789", "Files with 123456789 extension (*.123456789)|*.123456789|"},
    };
    for (const auto& c : cases) EXPECT_EQ(filtertext(c.chooser, c.extension), c.filter) << c.extension;
}

TEST(Dialog, FilterLists) {
    struct Case {
        const char* text;
        std::string list;
    } cases[] = {
        {"All files (*.*)|*.*|", std::string("All files (*.*)\0*.*\0\0", 21)},
        {"A#*.a#B#*.b#", std::string("A\0*.a\0B\0*.b\0\0", 13)},  // the last character separates
        {"", std::string(2, '\0')},
    };
    for (const auto& c : cases) EXPECT_EQ(filterlist(c.text), c.list) << c.text;
}

TEST(Dialog, ChoicesThatFitTheChooser) {
    struct Case {
        SetAction chooser;
        const char* extension;
        const char* path;
        bool accepted;
    } cases[] = {
        {SetAction::BinChooser, "x", "C:\\data\\Chan1", true},
        {SetAction::BinChooser, "x", "C:\\data\\Chan1.bin", false},
        {SetAction::BinChooser, "x", "C:\\run.2\\Chan1", true},  // a dot in a folder only
        {SetAction::BinChooser, "x", "/tmp/run.2/Chan1", true},
        {SetAction::BinChooser, "x", "Chan1.", false},
        {SetAction::BinChooser, "", "C:\\data\\Chan1.bin", true},
        {SetAction::BinChooser, "ab", "C:\\data\\Chan1.ab", true},
        {SetAction::TextChooser, "x", "C:\\data\\export.txt", true},
    };
    for (const auto& c : cases) EXPECT_EQ(acceptchoice(c.chooser, c.extension, c.path), c.accepted) << c.path;
}

TEST(Dialog, RowsOfAnOption) {
    reset_fake();
    g_registry.table.option_count = 1;
    g_registry.table.param_count[1] = 3;
    g_registry.table.param_spec[1] = "Table\n[bin,ab,]Output\nnew file\n[new,,]Pick\none\ntwo\n\nfour\n[selection,,]";
    g_registry.current_option = 1;
    g_fake.menu = {"Three rows"};
    std::vector<DialogRow> rows = dialogrows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].shortlabel, "Table");
    EXPECT_EQ(rows[0].action, SetAction::BinChooser);
    EXPECT_EQ(rows[0].extension, "ab");
    EXPECT_EQ(rows[1].action, SetAction::NewChooser);
    EXPECT_EQ(rows[1].extension, "");  // only "bin" and "text" filter
    EXPECT_EQ(rows[1].longlabel, "Output\nnew file\n");
    EXPECT_EQ(rows[2].lines, (std::vector<std::string>{"Pick", "one", "two", "", "four"}));
    EXPECT_EQ(rows[2].action, SetAction::ValueEntry);
    EXPECT_EQ(dialogtitle(), "Three rows");
}

// OK fills slots 1..n (typed values of at most 255 characters), keeps the
// slots above n, writes the banner and runs; an empty required value runs
// nothing and publishes nothing.
TEST(Dialog, OkFillsTheRowsSlotsOnly) {
    reset_fake();
    TestDir dir;
    g_fake.windows_folder = dir.path;
    registermodule();
    std::strcpy(g_registry.ParamValues[2], "kept");
    g_registry.current_option = 1;
    dialogok({""});
    EXPECT_STREQ(g_registry.ParamValues[1], "");
    EXPECT_STREQ(g_registry.ParamValues[2], "kept");
    EXPECT_FALSE(g_report.published);

    g_registry.current_option = 2;
    std::string longvalue(300, '7');
    dialogok({"", longvalue, "2", "", "", "", "1"});
    EXPECT_EQ(std::string(g_registry.ParamValues[2]), longvalue.substr(0, 255));
    EXPECT_STREQ(g_registry.ParamValues[3], "2");
    EXPECT_STREQ(g_registry.ParamValues[7], "1");
    EXPECT_FALSE(g_report.published);
    EXPECT_TRUE(fake_events("ask: ").empty());
}

// Before a run from the dialog, each "bin" and "text" row must name a
// regular file; other types and empty values are the option's business.
TEST(Dialog, InputFilesAreCheckedBeforeARun) {
    TestDir dir;
    write_bytes(dir.file("Chan1"), "x");
    std::string missing = dir.file("Chan9");
    auto row = [](const char* type) {
        DialogRow r;
        r.shortlabel = std::string(type) + " file";
        r.type = type;
        return r;
    };
    struct Case {
        const char* type;
        std::string value;
        std::string message;
    } cases[] = {
        {"bin", dir.file("Chan1"), ""},
        {"text", "Chan1", ""},  // relative to the current folder, as the run reads it
        {"bin", "", ""},
        {"bin", missing, "Sorry: no such file: " + missing + " (bin file)"},
        {"text", "Chan9", "Sorry: no such file: Chan9 (text file)"},
        {"text", dir.path, "Sorry: not a file: " + dir.path + " (text file)"},
        {"new", missing, ""},
        {"int", "Chan9", ""},
    };
    for (const Case& c : cases) {
        int at = 0;
        // The row checked stands second, after a good one.
        EXPECT_EQ(checkinputfiles({row("bin"), row(c.type)}, {"Chan1", c.value}, &at), c.message) << c.value;
        EXPECT_EQ(at, c.message.empty() ? 0 : 2) << c.value;
    }
}
