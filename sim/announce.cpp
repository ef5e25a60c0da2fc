#include "sim/announce.h"

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

std::string MakeAnnounceDirectory(const std::string& dir) {
    const std::size_t slash = dir.find_last_of('/');
    const std::string parent = slash == std::string::npos ? "." : dir.substr(0, slash);
    if (!parent.empty()) {
        if (std::string error = MakeDirectories(parent); !error.empty()) {
            return error;
        }
    }
    if (mkdir(dir.c_str(), 0700) == 0) {
        chmod(dir.c_str(), 0700);  // whatever the umask took away
    } else if (errno != EEXIST) {
        return errorText("cannot create", dir);
    }
    struct stat info {};
    if (lstat(dir.c_str(), &info) != 0) {
        return errorText("cannot examine", dir);
    }
    const std::string refused = "refusing to announce in " + dir + ": ";
    if (S_ISLNK(info.st_mode)) {
        return refused + "it is a symbolic link";
    }
    if (!S_ISDIR(info.st_mode)) {
        return refused + "it is not a directory";
    }
    if (info.st_uid != geteuid()) {
        return refused + "it belongs to user " + std::to_string(info.st_uid) + ", not to " +
               std::to_string(geteuid());
    }
    if ((info.st_mode & 0777) != 0700) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 0777));
        return refused + "its mode is " + mode + ", not 0700";
    }
    return {};
}

}  // namespace lumora::sim
