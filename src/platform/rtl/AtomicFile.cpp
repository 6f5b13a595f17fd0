// Whole-file reads and crash-safe replacement (temporary file, fsync, rename).
#include "platform/rtl/AtomicFile.h"

#include "platform/rtl/Utf8.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace mv {

namespace {

TAtomicWriteStep GArmedStep = awsNone;
int GArmedError = 0;

// True (with errno set) when a test armed a fault at this step; the fault fires once.
bool FaultFires(TAtomicWriteStep step) {
    if (GArmedStep != step) return false;
    GArmedStep = awsNone;
    errno = GArmedError;
    return true;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The file a write must replace: the target of a symbolic link, else path itself.
std::string ResolveTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) return path; // dangling: replace the link
    return resolved;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        if (FaultFires(awsWrite)) return false;
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Makes the rename itself durable. A failure here is not reported: the new content is
// already in place and readable, only its survival of a power loss is less certain.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

String SystemErrorText(int errorCode) {
    char buffer[256];
    // GNU strerror_r: may return a static string instead of filling buffer.
    const char* text = ::strerror_r(errorCode, buffer, sizeof buffer);
    return UTF8ToString(text);
}

void ArmAtomicWriteFault(TAtomicWriteStep step, int errorCode) {
    GArmedStep = step;
    GArmedError = errorCode;
}

int WriteFileAtomically(const std::string& path, std::string_view bytes) {
    const std::string target = ResolveTarget(path);
    const std::string folder = FolderOf(target);
    const auto slash = target.rfind('/');
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);

    std::string pattern = folder + "/." + name + ".XXXXXX";
    std::vector<char> temp(pattern.begin(), pattern.end());
    temp.push_back('\0');
    const int fd = FaultFires(awsCreate) ? -1 : ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return errno;

    struct stat existing {};
    const mode_t mode =
        ::stat(target.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : (0666 & ~CurrentUmask());

    auto fail = [&](int error) {
        ::close(fd);
        ::unlink(temp.data());
        return error;
    };
    if (::fchmod(fd, mode) != 0) return fail(errno);
    if (!WriteAll(fd, bytes)) return fail(errno);
    if (FaultFires(awsSync) || ::fsync(fd) != 0) return fail(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.data());
        return error;
    }
    if (FaultFires(awsRename) || ::rename(temp.data(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.data());
        return error;
    }
    SyncFolder(folder);
    return 0;
}

int ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return EISDIR;
    }
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            return error;
        }
        if (got == 0) break;
        bytes.append(chunk, static_cast<size_t>(got));
    }
    ::close(fd);
    return 0;
}

} // namespace mv
