#include "link/reply_reassembler.h"

namespace lumora::link {

std::vector<Reply> ReplyReassembler::feed(std::span<const std::uint8_t> bytes, std::int64_t nowMs) {
    std::vector<Reply> replies;
    if (bytes.empty()) {
        return replies;
    }
    lastByteMs_ = nowMs;
    for (std::uint8_t byte : bytes) {
        partial_[count_++] = byte;
        if (count_ == partial_.size()) {
            replies.push_back({partial_[0], partial_[1], partial_[2]});
            count_ = 0;
        }
    }
    return replies;
}

std::size_t ReplyReassembler::lineQuiet(std::int64_t nowMs) {
    if (count_ == 0 || nowMs - lastByteMs_ <= kSilenceMs) {
        return 0;
    }
    const std::size_t dropped = count_;
    dropped_ += dropped;
    count_ = 0;
    return dropped;
}

}  // namespace lumora::link
