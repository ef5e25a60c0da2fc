#pragma once

// Writes the box's files on a thread of its own, so that no reply on the
// line waits for an encoder or a disk. Jobs are kept per key (one file each):
// a newer job replaces one not yet started, since only the newest matters.
// A job is held back until none has come for the settle time, but no longer
// than the longest hold after the first one still waiting; with neither it
// is written as soon as the thread is free. Whatever is held when the writer
// is destroyed is written first.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace lumora::sim {

class BackgroundWriter {
  public:
    using Clock = std::chrono::steady_clock;
    // Writes one file; returns an error text, empty on success. Runs on the
    // writer's thread.
    using Job = std::function<std::string()>;

    BackgroundWriter() : BackgroundWriter({}, {}) {}
    BackgroundWriter(std::chrono::milliseconds settle, std::chrono::milliseconds longestHold);
    ~BackgroundWriter();
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    void submit(int key, Job job);
    // Writes whatever is held at once and waits until it is on disk (or has failed).
    void flush();
    // Jobs that succeeded and failed since start. Failures are also reported
    // on stderr, once per run of them.
    int written() const;
    int failed() const;

  private:
    void work();

    const std::chrono::milliseconds settle_;
    const std::chrono::milliseconds longestHold_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::map<int, Job> held_;
    Clock::time_point firstHeld_;
    Clock::time_point lastHeld_;
    bool urgent_ = false;
    bool busy_ = false;
    bool stopping_ = false;
    bool failing_ = false;
    int written_ = 0;
    int failed_ = 0;
    std::thread thread_;
};

}  // namespace lumora::sim
