#include <gtest/gtest.h>

#include "datafile/arrays.h"
#include "datafile/messages.h"
#include "support/fake_platform.h"

class Arrays : public ::testing::Test {
  protected:
    void SetUp() override { reset_fake(); }
};

TEST_F(Arrays, TableCarriesSizesAndZeroedData) {
    DMatrix m = nullptr;
    TabGuard g{m};
    taballoc(m, 3, 2);
    EXPECT_EQ(m[0][0], 3.0);
    EXPECT_EQ(m[1][0], 2.0);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 2; ++j) EXPECT_EQ(m[i][j], 0.0);
}

TEST_F(Arrays, EmptyShapes) {
    DVector v = nullptr;
    IVector iv = nullptr;
    DMatrix m = nullptr;
    VecGuard vg{v};
    IVecGuard ig{iv};
    TabGuard mg{m};
    vecalloc(v, 0);
    vecintalloc(iv, 0);
    taballoc(m, 4, 0);
    EXPECT_EQ(v[0], 0.0);
    EXPECT_EQ(iv[0], 0);
    EXPECT_EQ(tabrows(m), 4);
    EXPECT_EQ(tabcols(m), 0);
}

TEST_F(Arrays, ReleaseNullsTheHandle) {
    DMatrix m = nullptr;
    taballoc(m, 2, 2);
    tabfree(m);
    EXPECT_EQ(m, nullptr);
    tabfree(m);  // a second release is harmless
}

// Each allocation routine reports an exhausted heap with its own text, at
// every block it needs.
TEST_F(Arrays, AllocationFailureIsFatalWithRoutineName) {
    struct Case {
        int fail_at;
        int which;  // 0 taballoc, 1 vecalloc, 2 vecintalloc
        const char* text;
    } cases[] = {
        {0, 0, "Error: insufficient memory (taballoc)"},
        {0, 1, "Error: insufficient memory (vecalloc)"},
        {0, 2, "Error: insufficient memory (vecintalloc)"},
    };
    for (const auto& c : cases) {
        reset_fake();
        g_arrays.fail_countdown = c.fail_at;
        DMatrix m = nullptr;
        DVector v = nullptr;
        IVector iv = nullptr;
        try {
            if (c.which == 0) taballoc(m, 5, 3);
            if (c.which == 1) vecalloc(v, 5);
            if (c.which == 2) vecintalloc(iv, 5);
            ADD_FAILURE() << "no fatal error for " << c.text;
        } catch (const RunAbandoned&) {
        }
        EXPECT_EQ(fake_events("error: "), std::vector<std::string>{c.text});
        EXPECT_TRUE(g_fake.closing);
        EXPECT_EQ(m, nullptr);
        EXPECT_EQ(v, nullptr);
        EXPECT_EQ(iv, nullptr);
    }
}

TEST_F(Arrays, AbsurdSizesAreRefusedNotAttempted) {
    DVector v = nullptr;
    EXPECT_THROW(vecalloc(v, -1), RunAbandoned);
    DMatrix m = nullptr;
    EXPECT_THROW(taballoc(m, 999999, 999999), RunAbandoned);  // ~8 TB
    EXPECT_EQ(m, nullptr);
}
