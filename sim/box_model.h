#pragma once

// The box's side of the protocol, without any I/O: it takes the bytes the
// host wrote and the time they arrived, keeps the registers and warp maps the
// packets set, and says which three-byte reply each packet earns.

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "link/bytes.h"
#include "sim/box_config.h"
#include "sim/deframer.h"
#include "sim/map_tables.h"
#include "sim/overlay_memory.h"
#include "sim/picture_state.h"

namespace lumora::sim {

using Reply = std::array<std::uint8_t, 3>;

// One packet as it came off the line and the reply it earned, if any.
struct Exchange {
    ReceivedPacket packet;
    std::optional<Reply> reply;
};

// A rectangle fill started on the overlay engine, with the engine registers
// as they stood when 0x41 was written to 0x3D.
struct Fill {
    int channel = 0;
    std::uint8_t colour = 0;
    std::uint16_t width = 0;    // register 0x55
    std::uint16_t height = 0;   // register 0x57
    std::uint32_t address = 0;  // register 0x5F
};

class BoxModel {
  public:
    static constexpr int kChannels = 2;
    static constexpr std::uint8_t kAllChannels = 2;
    static constexpr int kSlots = 10;
    static constexpr int kPasses = 2;

    explicit BoxModel(ModelConfig config = {});

    // Bytes from the host, received at `now` (monotonic). Returns every packet
    // they completed, good or bad, in order, each with its reply. An empty
    // span says the line was idle until `now` (see Intake).
    std::vector<Exchange> feed(std::span<const std::uint8_t> bytes, std::chrono::milliseconds now,
                               Intake intake = Intake::kAsTheyCame);
    // A new host attached: drop any half-received packet. Registers and maps stay.
    void resetLine() { deframer_.reset(); }
    // When feed() should be called again to give up a half-received packet.
    std::optional<std::chrono::milliseconds> partialDeadline() const {
        return deframer_.partialDeadline();
    }

    // Registers. Channel is 0 or 1; register 0x00 of any bank is the bank select.
    std::uint8_t selectedBank(int channel) const;
    std::uint8_t storedRegister(int channel, std::uint8_t bank, std::uint8_t reg) const;
    void setRegister(int channel, std::uint8_t bank, std::uint8_t reg, std::uint8_t value);
    // The value a 0x21 read at `now` answers, picture size and status included.
    std::uint8_t readRegister(int channel, std::uint8_t reg, std::chrono::milliseconds now) const;
    bool fillBusy(int channel, std::chrono::milliseconds now) const;
    const std::vector<Fill>& fills() const { return fills_; }

    // Overlay: what the fills drew, whether the display switch (bank 3,
    // register 0x60) shows it, and how many drawing passes the host has ended
    // (0x40 or 0x00 written to the engine control). Exporters compare the
    // memory's revision and the pass count with what they last saw.
    const OverlayMemory& overlay(int channel) const;
    bool overlayShown(int channel) const;
    std::uint64_t overlayPassesEnded(int channel) const;

    // Warp maps: the tables live blocks (0xE0) and save blocks (0xE2) land
    // in, each channel's map as committed by 0xE1, and the stored slots.
    // MapTables::rawTable() gives a table laid out like the tool's raw dump.
    const MapTables& liveReceiving() const { return liveReceiving_; }
    const MapTables& saveReceiving() const { return saveReceiving_; }
    const std::optional<MapTables>& liveMap(int channel) const;
    const std::optional<MapTables>& slot(int slot, int pass) const;
    // How often each of those has been committed, so an exporter can tell
    // which changed since it last looked.
    std::uint64_t liveCommits(int channel) const;
    std::uint64_t slotCommits(int slot, int pass) const;

    // Picture settings: blend and pattern packets, the uniformity points
    // written through bank 1 and the colour adjust registers of bank 5.
    const PictureState& picture(int channel) const;
    ColourState colour(int channel) const;
    // Counts every packet that touched the picture settings or committed a
    // map, so an exporter can tell whether anything changed since it looked.
    std::uint64_t stateRevision() const { return stateRevision_; }

    // Traffic.
    int goodPackets() const { return goodPackets_; }
    int badPackets() const { return badPackets_; }
    const std::vector<ReceivedPacket>& packets() const { return packets_; }
    std::vector<link::Bytes> packetsWithCode(std::uint8_t code) const;
    void clearPackets() { packets_.clear(); }

    const ModelConfig& config() const { return config_; }

  private:
    struct Channel {
        std::uint8_t bank = 0;
        std::vector<std::uint8_t> registers = std::vector<std::uint8_t>(256 * 256, 0);
        std::optional<std::chrono::milliseconds> fillStarted;
        std::optional<MapTables> liveMap;
        std::uint64_t liveCommits = 0;
        OverlayMemory overlay;
        std::uint64_t passesEnded = 0;
        PictureState picture;
        // A uniformity point on its way in through registers 0x25 and 0x26.
        int indexBytes = 0;  // 0x25 writes since the last 0x24 or 0x26 write
        std::uint16_t pointIndex = 0;
        int dataBytes = 0;
        std::uint64_t pointData = 0;  // the 64 low bits hold every field read
    };

    std::optional<Reply> handle(const link::Bytes& packet, std::chrono::milliseconds now);
    std::optional<Reply> handleRead(std::span<const std::uint8_t> packet,
                                    std::chrono::milliseconds now) const;
    void writeRegisters(std::uint8_t channelByte, std::uint8_t firstReg,
                        std::span<const std::uint8_t> values, std::chrono::milliseconds now);
    void storeRegister(int channel, std::uint8_t reg, std::uint8_t value,
                       std::chrono::milliseconds now);
    std::uint16_t registerPair(int channel, std::uint8_t reg) const;
    void applyPicture(std::uint8_t command, std::span<const std::uint8_t> args);
    static void storeUniformity(Channel& ch, std::uint8_t reg, std::uint8_t value);
    static void storeBlock(MapTables& tables, std::span<const std::uint8_t> packet);
    void commitLive(std::uint8_t channelByte);
    void storeSlot(std::uint8_t slot, std::uint8_t pass);

    ModelConfig config_;
    Deframer deframer_;
    std::array<Channel, kChannels> channels_;
    std::vector<Fill> fills_;
    MapTables liveReceiving_;
    MapTables saveReceiving_;
    std::array<std::optional<MapTables>, kSlots * kPasses> slots_;
    std::array<std::uint64_t, kSlots * kPasses> slotCommits_{};
    std::uint64_t stateRevision_ = 0;
    int goodPackets_ = 0;
    int badPackets_ = 0;
    std::vector<ReceivedPacket> packets_;
};

}  // namespace lumora::sim
