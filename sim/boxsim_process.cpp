#include "sim/boxsim_process.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

extern char** environ;

namespace lumora::sim {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr milliseconds kPollStep{10};
constexpr milliseconds kTermGrace{2000};

std::string readFirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

void removeTree(const std::string& dir) {
    if (DIR* d = opendir(dir.c_str())) {
        while (const dirent* entry = readdir(d)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") {
                unlink((dir + "/" + name).c_str());
            }
        }
        closedir(d);
    }
    rmdir(dir.c_str());
}

}  // namespace

BoxsimProcess::BoxsimProcess(const std::string& binary, const std::vector<std::string>& args,
                             milliseconds startTimeout) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/lumora-boxsim-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        error_ = std::string("mkdtemp: ") + std::strerror(errno);
        return;
    }
    directory_ = pattern;
    portFile_ = directory_ + "/port";

    // Everything exec needs is built before fork, so the child only calls
    // async-signal-safe functions.
    std::vector<std::string> argStrings{binary};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    argStrings.push_back("--port-file");
    argStrings.push_back(portFile_);
    std::vector<char*> argv;
    for (std::string& a : argStrings) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    std::vector<std::string> envStrings{"LUMORA_BOXSIM_DIR=" + directory_};
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "LUMORA_BOXSIM_DIR=", 18) != 0) {
            envStrings.emplace_back(*e);
        }
    }
    std::vector<char*> envp;
    for (std::string& e : envStrings) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    const std::string stdoutPath = directory_ + "/stdout";

    pid_ = fork();
    if (pid_ < 0) {
        error_ = std::string("fork: ") + std::strerror(errno);
        return;
    }
    if (pid_ == 0) {
        // A test that dies must not leave its box running.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        const int out = open(stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0) {
            dup2(out, STDOUT_FILENO);
            close(out);
        }
        execve(binary.c_str(), argv.data(), envp.data());
        _exit(127);
    }

    const auto deadline = steady_clock::now() + startTimeout;
    while (steady_clock::now() < deadline) {
        if (std::string line = readFirstLine(portFile_); !line.empty()) {
            portPath_ = line;
            return;
        }
        if (childExited()) {
            error_ = binary + " ended before announcing its port (wait status " +
                     std::to_string(status_) + ")";
            return;
        }
        std::this_thread::sleep_for(kPollStep);
    }
    error_ = binary + " did not announce its port in time";
}

BoxsimProcess::~BoxsimProcess() {
    stop();
    cleanUp();
}

bool BoxsimProcess::childExited() {
    if (pid_ <= 0) {
        return true;
    }
    if (waitpid(pid_, &status_, WNOHANG) == pid_) {
        pid_ = -1;
        return true;
    }
    return false;
}

std::optional<int> BoxsimProcess::waitForExit(milliseconds timeout) {
    const auto deadline = steady_clock::now() + timeout;
    while (!childExited()) {
        if (steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(kPollStep);
    }
    return status_;
}

int BoxsimProcess::stop() {
    if (pid_ <= 0 || childExited()) {
        return status_;
    }
    kill(pid_, SIGTERM);
    const auto deadline = steady_clock::now() + kTermGrace;
    while (steady_clock::now() < deadline) {
        if (childExited()) {
            return status_;
        }
        std::this_thread::sleep_for(kPollStep);
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, &status_, 0);
    pid_ = -1;
    return status_;
}

void BoxsimProcess::cleanUp() {
    if (!directory_.empty()) {
        removeTree(directory_);
    }
}

}  // namespace lumora::sim
