#include "sim/deframer.h"

#include <algorithm>

#include "link/packets.h"

namespace lumora::sim {
namespace {

// Cap on one bad record, so endless garbage cannot grow memory.
constexpr std::size_t kMaxJunk = 256;

}  // namespace

Deframer::Head Deframer::classify(std::size_t pos) const {
    const std::size_t length = buffer_[pos];
    if (length < kMinLength || length > kMaxLength) {
        return Head::kInvalid;
    }
    if (buffer_.size() - pos < length) {
        return Head::kIncomplete;
    }
    const std::span<const std::uint8_t> body(buffer_.data() + pos, length - 1);
    return link::PacketChecksum(body) == buffer_[pos + length - 1] ? Head::kValid : Head::kInvalid;
}

std::size_t Deframer::resyncPoint(bool& foundValid) const {
    std::optional<std::size_t> firstUndecided;
    for (std::size_t pos = 1; pos < buffer_.size(); ++pos) {
        const Head head = classify(pos);
        if (head == Head::kValid) {
            foundValid = true;
            return pos;
        }
        if (head == Head::kIncomplete && !firstUndecided) {
            firstUndecided = pos;
        }
    }
    foundValid = false;
    return firstUndecided.value_or(buffer_.size());
}

void Deframer::moveToJunk(std::size_t count) {
    junk_.insert(junk_.end(), buffer_.begin(),
                 buffer_.begin() + static_cast<std::ptrdiff_t>(count));
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(count));
}

void Deframer::flushJunk(std::vector<ReceivedPacket>& out, std::chrono::milliseconds now) {
    for (std::size_t at = 0; at < junk_.size(); at += kMaxJunk) {
        const std::size_t end = std::min(junk_.size(), at + kMaxJunk);
        out.push_back({link::Bytes(junk_.begin() + static_cast<std::ptrdiff_t>(at),
                                   junk_.begin() + static_cast<std::ptrdiff_t>(end)),
                       false, now});
    }
    junk_.clear();
}

void Deframer::extract(std::vector<ReceivedPacket>& out, std::chrono::milliseconds now) {
    while (!buffer_.empty()) {
        const Head head = classify(0);
        if (head == Head::kValid) {
            flushJunk(out, now);
            const std::size_t length = buffer_[0];
            out.push_back({link::Bytes(buffer_.begin(), buffer_.begin() + length), true, now});
            buffer_.erase(buffer_.begin(), buffer_.begin() + length);
            synced_ = true;
            continue;
        }
        if (head == Head::kIncomplete && synced_) {
            return;
        }
        // A rejected or doubtful head: skip to where the stream makes sense again.
        bool foundValid = false;
        const std::size_t skip = resyncPoint(foundValid);
        if (head == Head::kIncomplete && !foundValid) {
            return;  // still undecided; wait for more bytes
        }
        synced_ = false;
        moveToJunk(skip);
        if (junk_.size() >= kMaxJunk) {
            flushJunk(out, now);
        }
        if (!foundValid) {
            return;
        }
    }
}

void Deframer::expire(std::vector<ReceivedPacket>& out, std::chrono::milliseconds now) {
    // Nothing more is coming for the buffered head, so it is given up; but
    // complete packets that arrived behind it are still taken.
    while (!buffer_.empty()) {
        bool foundValid = false;
        const std::size_t skip = resyncPoint(foundValid);
        if (!foundValid) {
            moveToJunk(buffer_.size());
            break;
        }
        moveToJunk(skip);
        extract(out, now);
    }
    flushJunk(out, now);
    synced_ = true;
}

std::vector<ReceivedPacket> Deframer::feed(std::span<const std::uint8_t> bytes,
                                           std::chrono::milliseconds now, Intake intake) {
    std::vector<ReceivedPacket> out;
    const bool idleUntilNow = intake == Intake::kAsTheyCame || bytes.empty();
    if (idleUntilNow && hasPartial() && now - lastByte_ >= partialTimeout_) {
        expire(out, now);
    }
    if (bytes.empty()) {
        return out;
    }
    lastByte_ = now;
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    extract(out, now);
    return out;
}

void Deframer::reset() {
    buffer_.clear();
    junk_.clear();
    synced_ = true;
}

std::optional<std::chrono::milliseconds> Deframer::partialDeadline() const {
    if (!hasPartial()) {
        return std::nullopt;
    }
    return lastByte_ + partialTimeout_;
}

}  // namespace lumora::sim
