#pragma once

// The box's picture settings and map commits as a JSON file that a person or
// a script can watch (lumora-boxsim --state-json FILE), and a writer thread
// that keeps the file up to date without holding up the box's replies.

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "sim/box_model.h"

namespace lumora::sim {

// A copy of what the file shows, taken on the serve loop's thread.
struct BoxState {
    std::array<PictureState, BoxModel::kChannels> picture;
    std::array<ColourState, BoxModel::kChannels> colour;
    std::array<std::uint64_t, BoxModel::kChannels> liveCommits{};
    std::array<std::uint64_t, BoxModel::kSlots * BoxModel::kPasses>
        slotCommits{};  // slot * 2 + pass
};

BoxState CaptureState(const BoxModel& model);

// {"channels":[{"channel":"A","blend":{...},"pattern":{...},"uniformity":{...},
// "colour":{...},"liveMap":{"commits":N}},{"channel":"B",...}],
// "slots":[{"slot":1,"commits":{"A":N,"B":N}},...]}. Uniformity points are
// listed only where they differ from neutral (gain 8191, offset 0).
std::string StateJson(const BoxState& state);

// Rewrites the file once the state has stopped changing for `quiet`, or at
// the latest `longestHold` after the first change it has not written, so a
// long upload still shows progress. Each write goes to a temporary beside
// the file and is renamed over it: a reader never sees half a file.
class StateJsonWriter {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kQuiet{150};
    static constexpr std::chrono::milliseconds kLongestHold{1000};

    explicit StateJsonWriter(std::string path, std::chrono::milliseconds quiet = kQuiet,
                             std::chrono::milliseconds longestHold = kLongestHold);
    // Writes a state still held back, then stops.
    ~StateJsonWriter();
    StateJsonWriter(const StateJsonWriter&) = delete;
    StateJsonWriter& operator=(const StateJsonWriter&) = delete;

    // Replaces whatever was held back: only the newest state matters.
    void submit(BoxState state);
    // Writes a held-back state at once and waits until it is on disk (or has failed).
    void flush();
    int written() const;
    int failed() const;

  private:
    void work();

    const std::string path_;
    const std::chrono::milliseconds quiet_;
    const std::chrono::milliseconds longestHold_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::optional<BoxState> pending_;
    Clock::time_point firstChange_;
    Clock::time_point lastChange_;
    bool urgent_ = false;
    bool busy_ = false;
    bool stopping_ = false;
    bool failing_ = false;  // reported once per run of failures
    int written_ = 0;
    int failed_ = 0;
    std::thread thread_;
};

}  // namespace lumora::sim
