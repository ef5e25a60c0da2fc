#pragma once

// Runs the lumora-boxsim binary for a test that needs a real pty box: starts
// it with a private announce directory and port file, waits until the port
// is announced, and stops the process when destroyed. Plain fork/exec, so it
// works without a Qt application object.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace lumora::sim {

class BoxsimProcess {
  public:
    // Starts `binary` with `args` plus "--port-file" and waits up to
    // `startTimeout` for the port to be announced. Check started().
    BoxsimProcess(const std::string& binary, const std::vector<std::string>& args,
                  std::chrono::milliseconds startTimeout = std::chrono::seconds(5));
    ~BoxsimProcess();
    BoxsimProcess(const BoxsimProcess&) = delete;
    BoxsimProcess& operator=(const BoxsimProcess&) = delete;

    bool started() const { return !portPath_.empty(); }
    const std::string& error() const { return error_; }
    const std::string& portPath() const { return portPath_; }
    pid_t pid() const { return pid_; }
    // The private announce directory given to the box ($LUMORA_BOXSIM_DIR).
    const std::string& directory() const { return directory_; }

    // Waits up to `timeout` for the process to end by itself. Returns its wait
    // status, or nothing while it is still running.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);

    // Sends SIGTERM (SIGKILL if it has not ended within two seconds), reaps the
    // process and returns its wait status; -1 if it never ran.
    int stop();

  private:
    bool childExited();
    void cleanUp();

    std::string directory_;
    std::string portFile_;
    std::string portPath_;
    std::string error_;
    pid_t pid_ = -1;
    int status_ = -1;
};

}  // namespace lumora::sim
