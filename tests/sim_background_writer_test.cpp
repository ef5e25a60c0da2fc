#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/background_writer.h"

namespace lumora::sim {
namespace {

using namespace std::chrono_literals;

// Up to five seconds: far beyond the short times below, far below the long ones.
bool WaitForWritten(const BackgroundWriter& writer, int count) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (writer.written() < count && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    return writer.written() >= count;
}

TEST(BackgroundWriter, HoldsJobsNoLongerThanItsTimesAndWritesTheNewestOfEachKey) {
    std::mutex mutex;
    std::vector<std::string> done;
    const auto job = [&](const std::string& name) {
        return [&, name] {
            std::lock_guard lock(mutex);
            done.push_back(name);
            return std::string();
        };
    };
    {
        BackgroundWriter writer(10s, 50ms);  // changes that never settle
        writer.submit(0, job("held at most 50 ms"));
        EXPECT_TRUE(WaitForWritten(writer, 1));
    }
    {
        BackgroundWriter writer(50ms, 10s);
        writer.submit(0, job("settled after 50 ms"));
        EXPECT_TRUE(WaitForWritten(writer, 1));
    }
    {
        BackgroundWriter writer(10s, 10s);
        writer.submit(0, job("replaced"));
        writer.submit(0, job("newest of 0"));
        writer.submit(1, job("newest of 1"));
        writer.flush();
        EXPECT_EQ(writer.written(), 2);
        writer.submit(2, [] { return std::string("cannot write x"); });
        writer.flush();
        EXPECT_EQ(writer.failed(), 1);
        writer.submit(1, job("held at exit"));
    }
    EXPECT_EQ(done, (std::vector<std::string>{"held at most 50 ms", "settled after 50 ms",
                                              "newest of 0", "newest of 1", "held at exit"}));
}

}  // namespace
}  // namespace lumora::sim
