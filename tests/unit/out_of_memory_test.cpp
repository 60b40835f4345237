// An allocation that fails anywhere in a run ends in the "insufficient
// memory" box, never an abort, and leaves no output behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>

#include "frame/run.h"
#include "framework/registry.h"
#include "support/fake_platform.h"
#include "support/report_fixture.h"
#include "support/test_dir.h"

namespace {

// Allocations of operator new still allowed before one fails; -1: none fails.
long g_allowed = -1;

}  // namespace

// This file replaces the global allocation functions: new takes its memory
// from malloc, so delete gives it back with free.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t n) {
    if (g_allowed == 0) {
        g_allowed = -1;
        throw std::bad_alloc();
    }
    if (g_allowed > 0) --g_allowed;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
// The nothrow form too (std::stable_sort's buffer), so that every block
// delete frees came from malloc.
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    try {
        return operator new(n);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

class OutOfMemory : public ReportTest {};

namespace {

// Open files of this process (where the system tells them).
int open_files() {
    int n = 0;
#ifndef _WIN32
    for (auto it = std::filesystem::directory_iterator("/proc/self/fd"); it != std::filesystem::directory_iterator();
         ++it)
        ++n;
#endif
    return n;
}

}  // namespace

TEST_F(OutOfMemory, EveryAllocationOfAnOptionOneRun) {
    write_bytes("in.txt", "Header\nB,1 f S1 1 1 0 100.5 500 2000\nG,1 f S2 2 1 0 120 800 4000\n");
    int failed = 0;
    reset_fake();
    const int files = open_files();
    for (long n = 0;; ++n) {
        reset_fake();
        std::strcpy(g_registry.ParamValues[1], "in.txt");
        g_allowed = n;
        runandpublish(1);
        bool failed_here = g_allowed == -1 && !fake_events("error: ").empty();
        g_allowed = -1;
        EXPECT_EQ(open_files(), files) << n;  // a run that failed left no file open
        for (const auto& e : std::filesystem::directory_iterator("."))
            EXPECT_EQ(e.path().string().find(".part~"), std::string::npos) << n << e.path();
        if (!failed_here) break;  // the run got through: no allocation was left to fail
        EXPECT_EQ(fake_events("error: "), std::vector<std::string>{"Error: insufficient memory (runoption)"}) << n;
        ++failed;
    }
    EXPECT_GT(failed, 5);
}
