// The pane document commands and the ask-to-save guard, on temporary files.
#include <gtest/gtest.h>

#include <string>

#include "frame/frame.h"
#include "frame/report.h"
#include "frame/run.h"
#include "win32/document.h"
#include "win32/winstate.h"
#include "framework/registry.h"
#include "win32/resource.h"
#include "win32/gui_harness.h"

namespace {

class Document : public MainWindowTest {
  protected:
    void command(int id) { SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    bool modified() { return SendMessageA(g_win.pane, EM_GETMODIFY, 0, 0) != 0; }
};

// Answers the next file dialog with a path typed into its file-name box.
DialogAction choose_file(const std::string& path) {
    return [path](HWND dialog) {
        SetDlgItemTextA(dialog, 0x47C, path.c_str());
        press(dialog, IDOK);
    };
}

}  // namespace

TEST_F(Document, OpeningAMissingPathCreatesItAndShowsAnEmptyPane) {
    set_pane_text("old");
    SendMessageA(g_win.pane, EM_SETMODIFY, FALSE, 0);
    std::string path = dir.file("new.txt");
    openbyname(path.c_str());
    EXPECT_FALSE(g_doc.failed);
    EXPECT_EQ(pane_text(), "");
    EXPECT_EQ(read_bytes(path), "");
    EXPECT_EQ(std::string(g_doc.title), "new.txt");
    EXPECT_EQ(window_text(g_win.main), "Orvendale");  // the caption stays
}

TEST_F(Document, TheLongestReadableFileAndOneByteMore) {
    struct Case {
        std::size_t size;
        bool loads;
    } cases[] = {{32767, true}, {32768, false}};
    for (const Case& c : cases) {
        std::string path = dir.file("f" + std::to_string(c.size));
        write_bytes(path, std::string(c.size, 'x'));
        SetWindowTextA(g_win.pane, "before");
        if (!c.loads) on_next_dialog(answer(IDOK));
        openbyname(path.c_str());
        if (c.loads) {
            EXPECT_EQ(pane_text().size(), c.size);
            EXPECT_FALSE(g_doc.failed);
        } else {
            EXPECT_EQ(pane_text(), "before");
            EXPECT_TRUE(g_doc.failed);
            EXPECT_EQ(g_doc.file, INVALID_HANDLE_VALUE);  // closed, never used again
            ASSERT_EQ(answered_boxes().size(), 1u);
            EXPECT_EQ(answered_boxes()[0], "Sorry, document \"f32768\" is too long for QOR-4 to read.");
            // The refused file is not the document: Save asks for a new
            // name with nothing preset, and the file keeps its bytes.
            EXPECT_STREQ(g_doc.path, "");
            std::string preset = "unset";
            on_next_dialog([&](HWND dialog) {
                preset = dialog_item_text(dialog, 0x47C);
                press(dialog, IDCANCEL);
            });
            command(CM_SAVE);
            EXPECT_EQ(preset, "");
            EXPECT_EQ(read_bytes(path), std::string(c.size, 'x'));
        }
    }
}

// A file name of 64 characters or more is cut to 63 in the title, the
// caption and the questions, never emptied.
TEST_F(Document, LongFileNamesAreCutInTheTitle) {
    for (std::size_t length : {63u, 64u, 120u}) {
        SendMessageA(g_win.pane, EM_SETMODIFY, FALSE, 0);
        std::string name = std::string(length - 5, 'n') + ".txt";  // after "o" or "s"
        openbyname(dir.file("o" + name).c_str());
        EXPECT_EQ(std::string(g_doc.title), ("o" + name).substr(0, 63)) << length;
        set_pane_text("text");
        on_next_dialog(choose_file(dir.file("s" + name)));
        command(CM_SAVEAS);
        EXPECT_EQ(window_text(g_win.main), ("s" + name).substr(0, 63)) << length;
        set_pane_text("more");
        on_next_dialog(answer(IDCANCEL));
        SendMessageA(g_win.main, WM_CLOSE, 0, 0);
        EXPECT_EQ(answered_boxes().back(), "Save document \"" + ("s" + name).substr(0, 63) + "\" before closing?");
    }
}

// Save As onto a file that cannot be created (another program holds it)
// fails, is said, and the failure reaches the ask-to-save: the window, the
// pane's text and the other program's file all stay.
TEST_F(Document, FailedSaveAsKeepsTheTextAtCloseAndNew) {
    std::string held = dir.file("held.txt");
    write_bytes(held, "theirs");
    HANDLE other = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    for (int closing : {1, 0}) {
        set_pane_text("unsaved");
        on_next_dialog(answer(IDYES));  // "Save document ... before closing?"
        on_next_dialog(choose_file(held));
        on_next_dialog(answer(IDYES));  // the dialog's own "replace it?"
        on_next_dialog(answer(IDOK));   // the failure, said
        if (closing)
            SendMessageA(g_win.main, WM_CLOSE, 0, 0);
        else
            command(CM_NEW);
        pump_messages();
        ASSERT_TRUE(IsWindow(g_win.main)) << closing;
        EXPECT_EQ(pane_text(), "unsaved") << closing;
        EXPECT_TRUE(modified()) << closing;
    }
    CloseHandle(other);
    EXPECT_EQ(read_bytes(held), "theirs");
    EXPECT_EQ(answered_boxes().back(), "Sorry: can't write the document " + held);
}

TEST_F(Document, SavingShorterTextLeavesNoRemainder) {
    std::string path = dir.file("doc.txt");
    write_bytes(path, "a long line that was there before\r\n");
    openbyname(path.c_str());
    set_pane_text("short");
    command(CM_SAVE);
    EXPECT_FALSE(g_doc.failed);
    EXPECT_EQ(read_bytes(path), "short");
    EXPECT_FALSE(modified());
}

TEST_F(Document, SaveAsOntoItsOwnPathOnlyRewritesTheFile) {
    std::string path = dir.file("same.txt");
    write_bytes(path, "0123456789");
    openbyname(path.c_str());
    HANDLE before = g_doc.file;
    set_pane_text("new text");
    on_next_dialog(choose_file(path));
    on_next_dialog(answer(IDYES));  // the dialog's own "replace it?" question
    command(CM_SAVEAS);
    EXPECT_EQ(g_doc.file, before);
    EXPECT_EQ(read_bytes(path), "new text");
    EXPECT_EQ(window_text(g_win.main), "Orvendale");  // no new file: caption unchanged
}

TEST_F(Document, SaveAsANewNameMakesItTheDocument) {
    set_pane_text("kept text");
    std::string path = dir.file("other.txt");
    on_next_dialog(choose_file(path));
    command(CM_SAVEAS);
    EXPECT_EQ(read_bytes(path), "kept text");
    EXPECT_EQ(std::string(g_doc.path), path);
    EXPECT_EQ(window_text(g_win.main), "other.txt");

    // New document restores the caption and the default title; the next
    // Save asks for a name again.
    command(CM_NEW);
    EXPECT_EQ(window_text(g_win.main), "Orvendale");
    EXPECT_EQ(std::string(g_doc.title), "Orvendale");
    EXPECT_EQ(g_doc.file, INVALID_HANDLE_VALUE);
    set_pane_text("more");
    on_next_dialog([](HWND dialog) { press(dialog, IDCANCEL); });
    command(CM_SAVE);
    EXPECT_TRUE(g_doc.failed);
}

TEST_F(Document, RevertAsksBeforeReplacingModifiedText) {
    std::string path = dir.file("r.txt");
    write_bytes(path, "saved");
    openbyname(path.c_str());
    set_pane_text("edited");
    on_next_dialog(answer(IDCANCEL));
    command(CM_REVERT);
    EXPECT_EQ(pane_text(), "edited");
    on_next_dialog(answer(IDOK));
    command(CM_REVERT);
    EXPECT_EQ(pane_text(), "saved");
    EXPECT_FALSE(modified());
    EXPECT_EQ(answered_boxes()[0], "Revert to most recently saved version of document\"r.txt\"?");
}

// Closing the window: nothing is asked for unmodified text; modified text
// asks 2001, and only Cancel (or a cancelled save) keeps the window.
TEST_F(Document, AskToSaveOnClose) {
    struct Case {
        const char* name;
        int button;
        bool cancel_save_dialog;
        bool window_stays;
    } cases[] = {
        {"cancel", IDCANCEL, false, true},
        {"yes, save dialog cancelled", IDYES, true, true},
        {"no", IDNO, false, false},
    };
    for (const Case& c : cases) {
        open_main_window(dir);
        set_pane_text("changed");
        on_next_dialog(answer(c.button));
        if (c.cancel_save_dialog) on_next_dialog([](HWND dialog) { press(dialog, IDCANCEL); });
        SendMessageA(g_win.main, WM_CLOSE, 0, 0);
        pump_messages();
        EXPECT_EQ(IsWindow(g_win.main) != 0, c.window_stays) << c.name;
        ASSERT_FALSE(answered_boxes().empty()) << c.name;
        EXPECT_EQ(answered_boxes()[0], "Save document \"Orvendale\" before closing?") << c.name;
        if (c.window_stays) {
            EXPECT_EQ(pane_text(), "changed") << c.name;
        }
    }
    open_main_window(dir);  // unmodified: closes without a question
    SendMessageA(g_win.main, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(g_win.main));
}

// After a run the report is loaded into the pane, scrolled so that the last
// line of the earlier text stands at the top.
TEST_F(Document, PublishedReportIsShownAndScrolled) {
    write_bytes(dir.file("export.txt"), "header\n");
    // A pane of a few lines, so that each report is longer than a page.
    MoveWindow(g_win.main, 0, 0, 400, 160, TRUE);
    for (int run = 1; run <= 2; ++run) {
        int lines_before = static_cast<int>(SendMessageA(g_win.pane, EM_GETLINECOUNT, 0, 0));
        g_registry.current_option = 1;
        dialogok({"export.txt"});
        std::string text = pane_text();
        EXPECT_NE(text.find("Peakread: Reading input file"), std::string::npos);
        std::string file;
        for (char c : read_bytes(g_report.text_path))
            if (c != '\r') file += c;
        EXPECT_EQ(text, file);
        EXPECT_EQ(SendMessageA(g_win.pane, EM_GETFIRSTVISIBLELINE, 0, 0), run == 1 ? 0 : lines_before - 1);
        EXPECT_STREQ(g_doc.path, g_report.text_path.c_str());
    }
}
