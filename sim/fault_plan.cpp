#include "sim/fault_plan.h"

#include <algorithm>

namespace lumora::sim {

using std::chrono::microseconds;

FaultPlan::FaultPlan(FaultConfig config) : config_(std::move(config)) {}

bool FaultPlan::silent() const {
    return config_.silentAfter && packetsReceived_ > *config_.silentAfter;
}

microseconds FaultPlan::place(std::vector<TimedWrite>& out, std::span<const std::uint8_t> bytes,
                              microseconds earliest) {
    const microseconds start = std::max(earliest, lineFree_);
    if (!config_.lineRate || *config_.lineRate <= 0) {
        out.push_back({start, link::Bytes(bytes.begin(), bytes.end())});
        lineFree_ = start;
        return start;
    }
    // Each byte is 10 bit times; it reaches the host once its stop bit is
    // out. Offsets are taken from the start so rounding does not add up.
    const std::int64_t rate = *config_.lineRate;
    microseconds done = start;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto bitsSent = static_cast<std::int64_t>(i + 1) * 10;
        done = start + microseconds(bitsSent * 1'000'000 / rate);
        out.push_back({done, link::Bytes{bytes[i]}});
    }
    lineFree_ = done;
    return done;
}

std::vector<TimedWrite> FaultPlan::planReply(std::span<const std::uint8_t> reply,
                                             microseconds now) {
    std::vector<TimedWrite> out;
    const int number = ++repliesPlanned_;
    if (silent()) {
        return out;
    }
    microseconds at = now + config_.replyDelay;
    const auto markStart = [&out] {
        if (!out.empty()) {
            out.front().startsReply = true;
        }
    };
    if (!config_.strayBytes.empty() && (!config_.strayBefore || *config_.strayBefore == number)) {
        at = place(out, config_.strayBytes, at);
    }
    if (config_.dropReply && *config_.dropReply == number) {
        markStart();
        return out;
    }
    if (config_.splitReplies && reply.size() > 1) {
        const microseconds headDone = place(out, reply.first(1), at);
        place(out, reply.subspan(1), headDone + config_.splitGap);
    } else {
        place(out, reply, at);
    }
    markStart();
    return out;
}

}  // namespace lumora::sim
