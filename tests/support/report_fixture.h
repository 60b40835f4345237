// A test with a clean fake, a temporary current folder and an open report
// stream, for code that writes report lines.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "frame/report.h"
#include "support/fake_platform.h"
#include "support/test_dir.h"

class ReportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_fake();
        g_reportstream.name = "QOR.temp-t";
        OpenReportStream();
    }
    void TearDown() override { reset_fake(); }
    TestDir dir;
};

// A text file as written, with each CR LF of a Windows text stream read as LF.
inline std::string text_lf(const std::string& path) {
    std::string b = read_bytes(path), out;
#ifdef _WIN32
    for (std::size_t i = 0; i < b.size(); ++i)
        if (!(b[i] == '\r' && i + 1 < b.size() && b[i + 1] == '\n')) out += b[i];
    return out;
#else
    return b;
#endif
}

// The report written so far, line ends made "\n".
inline std::string report_text() {
    std::fflush(g_reportstream.file);
    return text_lf(g_reportstream.path);
}
