#include "sim/virtual_box.h"

namespace lumora::sim {

VirtualBox::Result VirtualBox::receive(std::span<const std::uint8_t> bytes,
                                       std::chrono::microseconds now, Intake intake) {
    Result result;
    result.exchanges =
        model_.feed(bytes, std::chrono::duration_cast<std::chrono::milliseconds>(now), intake);
    // Packet by packet, so that "silent after N" cuts exactly between two
    // packets that arrived in the same batch.
    for (const Exchange& exchange : result.exchanges) {
        if (!exchange.packet.good) {
            continue;
        }
        plan_.notePacketReceived();
        if (exchange.reply) {
            std::vector<TimedWrite> writes = plan_.planReply(*exchange.reply, now);
            result.writes.insert(result.writes.end(), std::make_move_iterator(writes.begin()),
                                 std::make_move_iterator(writes.end()));
        }
    }
    return result;
}

}  // namespace lumora::sim
