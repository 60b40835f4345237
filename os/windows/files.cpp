// File access on Windows.  The suite's paths are in the ANSI code page; they
// are converted to wide characters and the wide calls are used, so that every
// program reads the same names the *A calls and the suite's text files use,
// and absolute paths longer than MAX_PATH get the "\\?\" form the system
// needs for them.  Reserved device names (NUL, COM1, aux.txt, ...) are
// devices whatever folder they are in.
#include "base/files.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <wchar.h>

#include <cctype>
#include <cstring>
#include <vector>

namespace {

std::wstring widen(const std::string& s) {
    if (s.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
    return w;
}

// False when a character has no form in the ANSI code page.
bool narrow(const wchar_t* w, std::string& out) {
    BOOL lost = FALSE;
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w, -1, nullptr, 0, nullptr, &lost);
    if (n <= 0 || lost) return false;
    std::vector<char> buffer(static_cast<std::size_t>(n));
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w, -1, buffer.data(), n, nullptr, &lost);
    if (lost) return false;
    out = buffer.data();
    return true;
}

std::wstring full_path(const std::wstring& w) {
    DWORD n = GetFullPathNameW(w.c_str(), 0, nullptr, nullptr);
    if (n == 0) return w;
    std::vector<wchar_t> buffer(n + 1);
    DWORD got = GetFullPathNameW(w.c_str(), n + 1, buffer.data(), nullptr);
    if (got == 0 || got > n) return w;
    return std::wstring(buffer.data(), got);
}

// The wide path to hand to the system: long absolute paths in the "\\?\"
// form (which takes no "/" and no "." steps, hence the full path first).
std::wstring syspath(const std::string& path) {
    std::wstring w = widen(path);
    if (w.size() < MAX_PATH - 12 || w.compare(0, 4, L"\\\\?\\") == 0) return w;
    std::wstring full = full_path(w);
    if (full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

bool upper_is(const std::string& s, const char* word) {
    if (s.size() != std::strlen(word)) return false;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(s[i])) != word[i]) return false;
    return true;
}

// CON, PRN, AUX, NUL, COM0-9, LPT0-9, CONIN$, CONOUT$, with any extension
// and trailing blanks or dots; and "\\.\" paths.
bool reserved_name(const std::string& path) {
    if (path.compare(0, 4, "\\\\.\\") == 0 || path.compare(0, 4, "//./") == 0) return true;
    std::string stem = basenameofpath(path);
    stem = stem.substr(0, stem.find('.'));
    while (!stem.empty() && (stem.back() == ' ' || stem.back() == '.')) stem.pop_back();
    for (const char* word : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (upper_is(stem, word)) return true;
    if (stem.size() == 4 && (upper_is(stem.substr(0, 3), "COM") || upper_is(stem.substr(0, 3), "LPT")) &&
        std::isdigit(static_cast<unsigned char>(stem[3])))
        return true;
    return false;
}

HANDLE open_for_query(const std::wstring& w) {
    return CreateFileW(w.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

FileKind filekind(const std::string& path) {
    if (path.empty()) return FileKind::missing;
    if (reserved_name(path)) return FileKind::device;
    std::wstring w = syspath(path);
    DWORD attributes = GetFileAttributesW(w.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return FileKind::missing;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileKind::folder;
    if (attributes & FILE_ATTRIBUTE_DEVICE) return FileKind::device;
    HANDLE h = open_for_query(w);
    if (h == INVALID_HANDLE_VALUE) return FileKind::regular;  // there, but held by another program
    DWORD type = GetFileType(h);
    CloseHandle(h);
    return type == FILE_TYPE_DISK ? FileKind::regular : FileKind::device;
}

bool isreadonly(const std::string& path) {
    DWORD attributes = GetFileAttributesW(syspath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool samefile(const std::string& a, const std::string& b) {
    if (reserved_name(a) || reserved_name(b)) return false;
    HANDLE ha = open_for_query(syspath(a));
    if (ha == INVALID_HANDLE_VALUE) return false;
    HANDLE hb = open_for_query(syspath(b));
    bool same = false;
    BY_HANDLE_FILE_INFORMATION ia, ib;
    if (hb != INVALID_HANDLE_VALUE && GetFileInformationByHandle(ha, &ia) && GetFileInformationByHandle(hb, &ib))
        same = ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
               ia.nFileIndexLow == ib.nFileIndexLow;
    if (hb != INVALID_HANDLE_VALUE) CloseHandle(hb);
    CloseHandle(ha);
    return same;
}

std::FILE* openfile(const std::string& path, const char* mode) {
    if (path.empty()) return nullptr;
    return _wfopen(syspath(path).c_str(), widen(mode).c_str());
}

// Removing and renaming run on failure paths, also when memory has run out:
// a failed conversion is a failed step, never an exception.
bool removefile(const std::string& path) {
    try {
        return filekind(path) == FileKind::regular && DeleteFileW(syspath(path).c_str()) != 0;
    } catch (...) {
        return false;
    }
}

bool replacefile(const std::string& from, const std::string& to) {
    try {
        return MoveFileExW(syspath(from).c_str(), syspath(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    } catch (...) {
        return false;
    }
}

bool currentfolder(std::string& folder) {
    DWORD n = GetCurrentDirectoryW(0, nullptr);
    if (n == 0) return false;
    std::vector<wchar_t> buffer(n + 1);
    if (GetCurrentDirectoryW(n + 1, buffer.data()) == 0) return false;
    return narrow(buffer.data(), folder);
}

bool setcurrentfolder(const std::string& folder) {
    return !folder.empty() && SetCurrentDirectoryW(widen(folder).c_str()) != 0;
}

std::string absolutepath(const std::string& path) {
    if (path.empty()) return path;
    std::string out;
    return narrow(full_path(widen(path)).c_str(), out) ? out : path;
}

unsigned long processnumber() { return GetCurrentProcessId(); }

bool trylockpath(const std::string& path, bool folder, PathLock& lock) try {
    unlockpath(lock);
    HANDLE h;
    if (folder) {
        // A lock file inside the folder, shared with nobody and gone when
        // its handle closes.
        std::string name = path.empty() ? std::string("QOR.lock") : path + "\\QOR.lock";
        h = CreateFileW(syspath(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                        FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
    } else {
        // A byte far past the end of the file, so reading and writing the
        // file itself are not hindered.
        h = CreateFileW(syspath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        OVERLAPPED at = {};
        at.OffsetHigh = 0x7fffffff;
        if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
            CloseHandle(h);
            return false;
        }
    }
    lock.handle = reinterpret_cast<long long>(h);
    return true;
} catch (...) {
    return false;
}

void unlockpath(PathLock& lock) {
    if (lock.handle == -1) return;
    CloseHandle(reinterpret_cast<HANDLE>(lock.handle));
    lock.handle = -1;
}

void sleepmilliseconds(int ms) { Sleep(static_cast<DWORD>(ms)); }
