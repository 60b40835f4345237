// File access on POSIX systems: paths are bytes and go to the system as they
// are.
#include "base/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

FileKind filekind(const std::string& path) {
    struct stat s;
    if (path.empty() || ::stat(path.c_str(), &s) != 0) return FileKind::missing;
    if (S_ISREG(s.st_mode)) return FileKind::regular;
    if (S_ISDIR(s.st_mode)) return FileKind::folder;
    return FileKind::device;
}

bool isreadonly(const std::string& path) {
    struct stat s;
    return ::stat(path.c_str(), &s) == 0 && (s.st_mode & S_IWUSR) == 0;
}

bool samefile(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

std::FILE* openfile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

bool removefile(const std::string& path) { return filekind(path) == FileKind::regular && ::unlink(path.c_str()) == 0; }

bool replacefile(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

bool currentfolder(std::string& folder) {
    std::vector<char> buffer(PATH_MAX + 1);
    while (!::getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE || buffer.size() > (1u << 20)) return false;
        buffer.resize(buffer.size() * 2);
    }
    folder = buffer.data();
    return true;
}

bool setcurrentfolder(const std::string& folder) { return !folder.empty() && ::chdir(folder.c_str()) == 0; }

std::string absolutepath(const std::string& path) {
    std::string here;
    if (!isrelativepath(path) || !currentfolder(here)) return path;
    if (path.empty() || path == ".") return here;
    if (here.size() > 1) here += '/';
    return here + path;
}

unsigned long processnumber() { return static_cast<unsigned long>(::getpid()); }

bool trylockpath(const std::string& path, bool folder, PathLock& lock) {
    unlockpath(lock);
    int fd = folder ? ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                    : ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    lock.handle = fd;
    return true;
}

void unlockpath(PathLock& lock) {
    if (lock.handle < 0) return;
    ::close(static_cast<int>(lock.handle));  // closing drops the flock
    lock.handle = -1;
}

void sleepmilliseconds(int ms) { ::usleep(static_cast<useconds_t>(ms) * 1000); }
