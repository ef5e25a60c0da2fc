#pragma once

// The box's picture settings and map commits as a JSON file that a person or
// a script can watch (lumora-boxsim --state-json FILE), and a writer thread
// that keeps the file up to date without holding up the box's replies.

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

#include "sim/background_writer.h"
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
// long upload still shows progress; and at the end, with what is held back.
// On a thread of its own; each write replaces the file whole, so a reader
// never sees half a file.
class StateJsonWriter {
  public:
    static constexpr std::chrono::milliseconds kQuiet{150};
    static constexpr std::chrono::milliseconds kLongestHold{1000};

    explicit StateJsonWriter(std::string path, std::chrono::milliseconds quiet = kQuiet,
                             std::chrono::milliseconds longestHold = kLongestHold)
        : path_(std::move(path)), writer_(quiet, longestHold) {}

    // Replaces whatever was held back: only the newest state matters.
    void submit(BoxState state);
    // Writes a held-back state at once and waits until it is on disk (or has failed).
    void flush() { writer_.flush(); }
    int written() const { return writer_.written(); }
    int failed() const { return writer_.failed(); }

  private:
    const std::string path_;
    BackgroundWriter writer_;
};

}  // namespace lumora::sim
