#pragma once

// Writer threads of the virtual box take no signals: the serve loop's own
// wait is where the stop signals must land.

#include <pthread.h>

#include <csignal>
#include <functional>
#include <thread>

namespace lumora::sim {

inline std::thread StartQuietThread(std::function<void()> body) {
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &previous);
    std::thread thread(std::move(body));
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return thread;
}

}  // namespace lumora::sim
