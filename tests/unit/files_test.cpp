// The file-access layer: path splitting, kinds of files, locks.
#include <gtest/gtest.h>

#include <string>

#include "base/files.h"
#include "support/test_dir.h"

TEST(Files, PathSplitting) {
    struct Case {
        const char* path;
        const char* folder;
        const char* name;
        bool relative;
    };
    const Case cases[] = {
        {"Chan1", "", "Chan1", true},
        {"data/Chan1", "data", "Chan1", true},
        {"/tmp/x/b.txt", "/tmp/x", "b.txt", false},
        {"/b.txt", "/", "b.txt", false},
        {"a//b", "a", "b", true},
#ifdef _WIN32
        {"C:\\x\\a.dat", "C:\\x", "a.dat", false},
        {"C:\\a.dat", "C:\\", "a.dat", false},
        {"C:a.dat", "C:", "a.dat", false},
        {"d\\e/f", "d\\e", "f", true},
        {"\\\\server\\share\\f", "\\\\server\\share", "f", false},
#endif
    };
    for (const Case& c : cases) {
        EXPECT_EQ(folderofpath(c.path), c.folder) << c.path;
        EXPECT_EQ(basenameofpath(c.path), c.name) << c.path;
        EXPECT_EQ(isrelativepath(c.path), c.relative) << c.path;
    }
}

TEST(Files, KindsAndIdentity) {
    TestDir dir;
    write_bytes("x", "1");
    EXPECT_EQ(filekind("x"), FileKind::regular);
    EXPECT_EQ(filekind("."), FileKind::folder);
    EXPECT_EQ(filekind("nothing"), FileKind::missing);
    EXPECT_EQ(filekind(""), FileKind::missing);
#ifdef _WIN32
    for (const char* device :
         {"NUL", "nul", "COM1", "aux.txt", "lpt1.dat", "con ", "x\\CONOUT$", "\\\\.\\PhysicalDrive0"})
        EXPECT_EQ(filekind(device), FileKind::device) << device;
    EXPECT_EQ(filekind("COM10"), FileKind::missing);
#else
    EXPECT_EQ(filekind("/dev/null"), FileKind::device);
#endif
    EXPECT_TRUE(samefile("x", "./x"));
    EXPECT_TRUE(samefile("x", absolutepath("x")));
    EXPECT_FALSE(samefile("x", "nothing"));
    EXPECT_FALSE(samefile("nothing", "nothing"));
    EXPECT_TRUE(replacefile("x", "y"));
    EXPECT_EQ(filekind("x"), FileKind::missing);
    EXPECT_FALSE(removefile("."));  // never a folder
    EXPECT_TRUE(removefile("y"));
}

// A lock keeps a second holder out until it is given back, for a file and
// for a folder (a second handle of the same process is refused as another
// process would be).
TEST(Files, LocksAreExclusive) {
    TestDir dir;
    for (bool folder : {false, true}) {
        std::string path = folder ? dir.path : dir.file("QOR.temp-x");
        PathLock a, b;
        ASSERT_TRUE(trylockpath(path, folder, a)) << folder;
        EXPECT_FALSE(trylockpath(path, folder, b)) << folder;
        unlockpath(a);
        EXPECT_TRUE(trylockpath(path, folder, b)) << folder;
        unlockpath(b);
        EXPECT_EQ(b.handle, -1);
    }
}
