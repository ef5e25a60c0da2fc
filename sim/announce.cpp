#include "sim/announce.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace lumora::sim {
namespace {

bool isSet(const char* value) {
    return value != nullptr && *value != '\0';
}

std::string errorText(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

std::string AnnounceDirectory(const char* boxsimDir, const char* runtimeDir, uid_t uid) {
    if (isSet(boxsimDir)) {
        return boxsimDir;
    }
    if (isSet(runtimeDir)) {
        return std::string(runtimeDir) + "/lumora-boxsim";
    }
    return "/tmp/lumora-boxsim-" + std::to_string(uid);
}

std::string AnnounceDirectoryFromEnvironment() {
    return AnnounceDirectory(std::getenv("LUMORA_BOXSIM_DIR"), std::getenv("XDG_RUNTIME_DIR"),
                             getuid());
}

std::string MakeDirectories(const std::string& dir) {
    for (std::size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
        const std::string prefix = dir.substr(0, slash);
        if (!prefix.empty() && mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
            return errorText("cannot create", prefix);
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat info {};
    if (stat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return "not a directory: " + dir;
    }
    return {};
}

std::string WriteFileAtomically(const std::string& path, const std::string& content) {
    const std::string temp = path + ".tmp." + std::to_string(getpid());
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return errorText("cannot write", temp);
    }
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const std::string error = errorText("cannot write", temp);
            close(fd);
            unlink(temp.c_str());
            return error;
        }
        done += static_cast<std::size_t>(n);
    }
    close(fd);
    if (rename(temp.c_str(), path.c_str()) != 0) {
        const std::string error = errorText("cannot rename to", path);
        unlink(temp.c_str());
        return error;
    }
    return {};
}

}  // namespace lumora::sim
