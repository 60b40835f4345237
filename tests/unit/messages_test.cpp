#include <gtest/gtest.h>

#include <string>

#include "datafile/messages.h"
#include "support/fake_platform.h"

TEST(Messages, BoxesBeepFirstAndFatalClosesThenAbandons) {
    reset_fake();
    infobox("Sorry: invalid binary file");
    errorbox("plain error");
    EXPECT_FALSE(g_fake.closing);
    EXPECT_THROW(fatalerror("Error: can't write matrix (ecrmat)"), RunAbandoned);
    std::vector<std::string> want = {"beep", "info: Sorry: invalid binary file",          "beep", "error: plain error",
                                     "beep", "error: Error: can't write matrix (ecrmat)", "close"};
    EXPECT_EQ(g_fake.events, want);
}

TEST(Messages, LongTextIsCutToTheBoxBuffer) {
    reset_fake();
    std::string long_text(400, 'x');
    infobox(long_text.c_str());
    EXPECT_EQ(fake_events("info: ").at(0), std::string(255, 'x'));
}
