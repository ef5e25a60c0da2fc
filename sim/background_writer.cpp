#include "sim/background_writer.h"

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>

namespace lumora::sim {
namespace {

// The thread takes no signals: the serve loop's own wait is where the stop
// signals must land.
std::thread StartQuietThread(std::function<void()> body) {
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &previous);
    std::thread thread(std::move(body));
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return thread;
}

}  // namespace

BackgroundWriter::BackgroundWriter(std::chrono::milliseconds settle,
                                   std::chrono::milliseconds longestHold)
    : settle_(settle), longestHold_(longestHold), thread_(StartQuietThread([this] { work(); })) {}

BackgroundWriter::~BackgroundWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void BackgroundWriter::submit(int key, Job job) {
    {
        std::lock_guard lock(mutex_);
        const Clock::time_point now = Clock::now();
        if (held_.empty()) {
            firstHeld_ = now;
        }
        lastHeld_ = now;
        held_[key] = std::move(job);
    }
    wake_.notify_all();
}

void BackgroundWriter::flush() {
    std::unique_lock lock(mutex_);
    if (!held_.empty()) {
        urgent_ = true;
        wake_.notify_all();
    }
    idle_.wait(lock, [this] { return !busy_ && held_.empty(); });
}

int BackgroundWriter::written() const {
    std::lock_guard lock(mutex_);
    return written_;
}

int BackgroundWriter::failed() const {
    std::lock_guard lock(mutex_);
    return failed_;
}

void BackgroundWriter::work() {
    // Below the serve loop: on a busy machine the replies come first.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !held_.empty(); });
        if (held_.empty()) {
            return;  // stopping, and everything is written
        }
        // Held back while jobs keep coming; a stop or a flush ends the wait.
        while (!stopping_ && !urgent_) {
            const Clock::time_point due = std::min(lastHeld_ + settle_, firstHeld_ + longestHold_);
            if (Clock::now() >= due) {
                break;
            }
            wake_.wait_until(lock, due);
        }
        const Job job = std::move(held_.begin()->second);
        held_.erase(held_.begin());
        urgent_ = urgent_ && !held_.empty();
        busy_ = true;
        lock.unlock();

        const std::string error = job();

        lock.lock();
        busy_ = false;
        if (error.empty()) {
            ++written_;
            failing_ = false;
        } else {
            ++failed_;
            if (!failing_) {
                std::fprintf(stderr, "lumora-boxsim: %s\n", error.c_str());
            }
            failing_ = true;
        }
        idle_.notify_all();
    }
}

}  // namespace lumora::sim
