// File access for every program of the suite: the one place where a path
// meets the operating system.
//
// Paths are the suite's 8-bit strings: on Windows in the ANSI code page (what
// the *A calls, the command line and the suite's text files use), elsewhere
// plain bytes.  The Windows implementation converts them to wide characters
// and uses the wide calls, so folder names with characters of the code page
// and paths longer than 260 characters work; the POSIX one passes them on.
// Nothing here throws.  Implementations: os/posix/files.cpp, os/windows/files.cpp.
#pragma once

#include <cstdio>
#include <string>

enum class FileKind {
    missing,  // nothing of that name (or the path cannot be looked at)
    regular,  // a plain file (a link to one counts as one)
    folder,
    device,  // a device, pipe, socket, or a reserved device name on Windows
};

FileKind filekind(const std::string& path);
inline bool isregularfile(const std::string& path) { return filekind(path) == FileKind::regular; }
// True when the path exists and its owner may not write it.
bool isreadonly(const std::string& path);
// Both paths name one existing file (also through other spellings or links).
bool samefile(const std::string& a, const std::string& b);

// The stdio fopen with the suite's paths; the mode is fopen's ("r", "wb", ...).
std::FILE* openfile(const std::string& path, const char* mode);
// Removes a regular file (never a folder or device); false when it failed.
bool removefile(const std::string& path);
// Renames from over to, replacing a file of that name.
bool replacefile(const std::string& from, const std::string& to);

// The current folder; false when it cannot be told (on Windows also when
// its name holds characters that the ANSI code page lacks).
bool currentfolder(std::string& folder);
// Makes a folder current; false (and nothing changes) when it cannot.
bool setcurrentfolder(const std::string& folder);
// The path made absolute against the current folder (the path itself when
// that fails).
std::string absolutepath(const std::string& path);
bool isrelativepath(const std::string& path);
// The folder part of a path ("" when it has none) and the name after it.
std::string folderofpath(const std::string& path);
std::string basenameofpath(const std::string& path);

// A number that no other running process has (the process id).
unsigned long processnumber();

// An advisory lock that keeps other processes out while this one holds it;
// the system drops it when the process ends, however it ends, and it leaves
// nothing on disk.  Locking a folder guards the names inside it; locking a
// file guards that file (which is created when missing).
struct PathLock {
    long long handle = -1;  // -1: not held
};
// Tries once; false when another process holds it (or it cannot be taken).
bool trylockpath(const std::string& path, bool folder, PathLock& lock);
void unlockpath(PathLock& lock);

// Waits about that many milliseconds.
void sleepmilliseconds(int ms);
