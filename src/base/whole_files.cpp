#include "base/whole_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <utility>
#include <vector>

namespace lumora::base {
namespace {

struct Pending {
    std::string target;    // as the caller named it, for messages
    std::string replaced;  // the regular file the temporary goes over; empty: written directly
    std::string temp;      // ours until renamed; removed on failure
    int fd = -1;
    std::span<const std::uint8_t> bytes;
};

std::string Failure(const std::string& path, int error) {
    return "cannot write " + path + ": " + std::strerror(error);
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a chain of symbolic links ends at, so that replacing it keeps the
// links pointing at it. A loop or an unreadable link is left to the rename to
// report.
std::string FollowLinks(std::string path) {
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            break;
        }
        char buffer[PATH_MAX];
        const ssize_t n = readlink(path.c_str(), buffer, sizeof buffer);
        if (n <= 0 || n == static_cast<ssize_t>(sizeof buffer)) {
            break;
        }
        const std::string link(buffer, static_cast<std::size_t>(n));
        path = link.front() == '/' ? link : DirectoryOf(path) + "/" + link;
    }
    return path;
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return true;
}

// A fresh name in the target's directory, so the rename stays on one file
// system. O_EXCL: a name someone else holds is never opened, nor later removed.
int CreateTemporary(const std::string& path, mode_t mode, std::string& temp) {
    static std::atomic<unsigned> counter{0};
    const std::string prefix = DirectoryOf(path) + "/." + path.substr(path.rfind('/') + 1) + "." +
                               std::to_string(getpid());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = prefix + "-" + std::to_string(counter++) + ".tmp";
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            temp = name;
            return fd;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    return -1;
}

std::string Prepare(const WholeFile& file, const WholeFileOptions& options, Pending& p) {
    p.target = file.path;
    p.bytes = file.bytes;
    struct stat info {};
    if (stat(file.path.c_str(), &info) != 0) {
        if (errno != ENOENT) {
            return Failure(file.path, errno);
        }
    } else if (S_ISDIR(info.st_mode)) {
        return Failure(file.path, EISDIR);
    } else if (S_ISSOCK(info.st_mode)) {
        return "cannot write " + file.path + ": it is a socket";
    } else if (!S_ISREG(info.st_mode)) {
        // A device or FIFO: a rename would put a regular file in place of the node.
        p.fd = open(file.path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        return p.fd < 0 ? Failure(file.path, errno) : std::string();
    }

    p.replaced = FollowLinks(file.path);
    struct stat old {};
    const bool exists = lstat(p.replaced.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        return "cannot write " + file.path + ": it changed while being written";
    }
    p.fd = CreateTemporary(p.replaced, options.newFileMode, p.temp);
    if (p.fd < 0) {
        return Failure(file.path, errno);
    }
    // A replaced file keeps its owner (where the system allows) and its mode.
    if (exists && fchown(p.fd, old.st_uid, old.st_gid) != 0 && errno != EPERM) {
        return Failure(file.path, errno);
    }
    if ((exists && fchmod(p.fd, old.st_mode & 0777) != 0) || !WriteAll(p.fd, file.bytes) ||
        (options.sync && fsync(p.fd) != 0) || close(std::exchange(p.fd, -1)) != 0) {
        return Failure(file.path, errno);
    }
    return {};
}

std::string Commit(std::vector<Pending>& pending) {
    // Direct writes first: they are the ones that fail (a full device, a FIFO
    // whose reader left) and cannot be taken back.
    for (Pending& p : pending) {
        if (p.replaced.empty() &&
            (!WriteAll(p.fd, p.bytes) || close(std::exchange(p.fd, -1)) != 0)) {
            return Failure(p.target, errno);
        }
    }
    for (Pending& p : pending) {
        if (!p.replaced.empty()) {
            if (rename(p.temp.c_str(), p.replaced.c_str()) != 0) {
                return Failure(p.target, errno);
            }
            p.temp.clear();
        }
    }
    return {};
}

}  // namespace

std::string WriteWholeFiles(std::span<const WholeFile> files, const WholeFileOptions& options) {
    std::vector<Pending> pending(files.size());
    std::string error;
    for (std::size_t i = 0; i < files.size() && error.empty(); ++i) {
        error = Prepare(files[i], options, pending[i]);
    }
    if (error.empty()) {
        error = Commit(pending);
    }
    for (Pending& p : pending) {
        if (p.fd >= 0) {
            close(p.fd);
        }
        if (!p.temp.empty()) {
            unlink(p.temp.c_str());
        }
    }
    return error;
}

std::string WriteWholeFile(const std::string& path, std::string_view text,
                           const WholeFileOptions& options) {
    const WholeFile file{
        path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())};
    return WriteWholeFiles(std::span(&file, 1), options);
}

}  // namespace lumora::base
