#include "sim/box_model.h"

#include <stdexcept>

#include "link/packets.h"

namespace lumora::sim {
namespace {

namespace code = link::code;
using std::chrono::milliseconds;

// Registers with a meaning of their own inside the box.
constexpr std::uint8_t kBankSelect = 0x00;
constexpr std::uint8_t kEngineControl = 0x3D;
constexpr std::uint8_t kStartFill = 0x41;
constexpr std::uint8_t kEndMarkerPass = 0x40;
constexpr std::uint8_t kEndClear = 0x00;
constexpr std::uint8_t kFillColour = 0x40;
constexpr std::uint8_t kWidthLow = 0x45;
constexpr std::uint8_t kWidthHigh = 0x46;
constexpr std::uint8_t kHeightLow = 0x49;
constexpr std::uint8_t kHeightHigh = 0x4A;
constexpr std::uint8_t kFillWidth = 0x55;
constexpr std::uint8_t kFillHeight = 0x57;
constexpr std::uint8_t kFillAddress = 0x5F;
constexpr std::uint8_t kEngineStatus = 0x66;
constexpr std::uint8_t kOverlayBank = 0x00;
constexpr std::uint8_t kDisplayBank = 0x03;
constexpr std::uint8_t kDisplaySwitch = 0x60;

// Uniformity points go in through bank 1; colour adjust lives in bank 5.
constexpr std::uint8_t kUniformityBank = 0x01;
constexpr std::uint8_t kUniformityMode = 0x24;
constexpr std::uint8_t kUniformityIndex = 0x25;
constexpr std::uint8_t kUniformityData = 0x26;
constexpr std::uint8_t kWritingPoints = 2;  // mode while points are written
constexpr int kPointBytes = 9;              // 72 bits, least significant byte first
constexpr std::uint8_t kColourBank = 0x05;
constexpr std::uint8_t kGainEnable = 0x1F;
constexpr std::uint8_t kGainEnabledBit = 0x20;
constexpr std::uint8_t kFirstGain = 0x32;    // red low, red high, green low, ...
constexpr std::uint8_t kFirstOffset = 0x38;  // likewise
constexpr std::uint8_t kLastColourRegister = 0x3D;

constexpr std::size_t kBlockHeader = 5;  // length, command, table, block, offset

std::size_t registerIndex(std::uint8_t bank, std::uint8_t reg) {
    return static_cast<std::size_t>(bank) * 256 + reg;
}

Reply ack(std::uint8_t command) {
    return {command, 0x00, 0x00};
}

std::uint16_t le16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

// The low `bits` of `raw` as a two's-complement number.
std::int16_t signExtend(unsigned raw, int bits) {
    const int value = static_cast<int>(raw & ((1u << bits) - 1));
    return static_cast<std::int16_t>(value >= 1 << (bits - 1) ? value - (1 << bits) : value);
}

// Bytes between the command and the checksum that each picture command takes.
std::optional<std::size_t> pictureArgs(std::uint8_t command) {
    switch (command) {
        case code::kBlendWidth:
        case code::kBlendOffset:
            return 5;  // channel, two 16-bit values
        case code::kBlendWindow:
            return 13;  // channel, six 16-bit values
        case code::kBlendMarker:
        case code::kBlendGamma:
        case code::kPatternEnable:
        case code::kPatternGridSize:
            return 3;
        default:
            return std::nullopt;
    }
}

}  // namespace

BoxModel::BoxModel(ModelConfig config) : config_(config), deframer_(config.partialTimeout) {
    for (Channel& ch : channels_) {
        ch.overlay = OverlayMemory(config_.width, config_.height);
    }
}

std::vector<Exchange> BoxModel::feed(std::span<const std::uint8_t> bytes, milliseconds now,
                                     Intake intake) {
    std::vector<Exchange> exchanges;
    for (ReceivedPacket& packet : deframer_.feed(bytes, now, intake)) {
        std::optional<Reply> reply;
        if (packet.good) {
            ++goodPackets_;
            reply = handle(packet.bytes, now);
        } else {
            ++badPackets_;
        }
        if (config_.recordPackets) {
            packets_.push_back(packet);
        }
        exchanges.push_back({std::move(packet), reply});
    }
    return exchanges;
}

std::optional<Reply> BoxModel::handle(const link::Bytes& packet, milliseconds now) {
    const std::size_t length = packet.size();
    const std::uint8_t command = packet[1];
    // Arguments lie between the command byte and the checksum.
    const std::span<const std::uint8_t> args(packet.data() + 2, length - 3);
    switch (command) {
        case code::kConnect:
            if (length == 4) {
                return Reply{code::kConnect, config_.connectReply[0], config_.connectReply[1]};
            }
            break;
        case code::kWarpReset:
            if (length == 4) {
                return ack(code::kWarpReset);
            }
            break;
        case code::kRead:
            if (length == 5) {
                return handleRead(packet, now);
            }
            break;
        case code::kWrite8:
        case code::kWrite16:
        case code::kWrite32: {
            const std::size_t width = command == code::kWrite8    ? 1
                                      : command == code::kWrite16 ? 2
                                                                  : 4;
            if (length == width + 5) {
                writeRegisters(args[0], args[1], args.subspan(2), now);
            }
            break;
        }
        case code::kLiveBlock:
        case code::kSaveBlock:
            if (length == link::kMapBlockPacketSize) {
                storeBlock(command == code::kLiveBlock ? liveReceiving_ : saveReceiving_, packet);
                return ack(command);
            }
            break;
        case code::kLiveEnd:
            if (length == 4) {
                commitLive(args[0]);
                return ack(code::kLiveEnd);
            }
            break;
        case code::kSaveStore:
            if (length == 5) {
                storeSlot(args[0], args[1]);
                return ack(code::kSaveStore);
            }
            break;
        case code::kBlendWidth:
        case code::kBlendMarker:
        case code::kBlendOffset:
        case code::kBlendWindow:
        case code::kBlendGamma:
        case code::kPatternEnable:
        case code::kPatternGridSize:
            if (args.size() == pictureArgs(command)) {
                applyPicture(command, args);
            }
            break;  // taken without a word, like every picture command
        default:
            break;  // four-corner, diagnostics: taken without a word
    }
    return std::nullopt;
}

std::optional<Reply> BoxModel::handleRead(std::span<const std::uint8_t> packet,
                                          milliseconds now) const {
    const std::uint8_t channelByte = packet[2];
    const std::uint8_t reg = packet[3];
    std::uint8_t value = 0;
    if (channelByte < kChannels) {
        value = readRegister(channelByte, reg, now);
    } else if (channelByte == kAllChannels) {
        value = readRegister(0, reg, now);  // "All" reads answer for Channel A
    }
    return Reply{code::kRead, value, 0x00};
}

void BoxModel::writeRegisters(std::uint8_t channelByte, std::uint8_t firstReg,
                              std::span<const std::uint8_t> values, milliseconds now) {
    for (int channel = 0; channel < kChannels; ++channel) {
        if (channelByte != channel && channelByte != kAllChannels) {
            continue;
        }
        // Bytes past register 0xFF are dropped rather than wrapped onto the bank select.
        for (std::size_t i = 0; i < values.size() && firstReg + i <= 0xFF; ++i) {
            storeRegister(channel, static_cast<std::uint8_t>(firstReg + i), values[i], now);
        }
    }
}

void BoxModel::storeRegister(int channel, std::uint8_t reg, std::uint8_t value, milliseconds now) {
    Channel& ch = channels_.at(static_cast<std::size_t>(channel));
    if (reg == kBankSelect) {
        ch.bank = value;
        return;
    }
    ch.registers[registerIndex(ch.bank, reg)] = value;
    if (ch.bank == kUniformityBank && reg >= kUniformityMode && reg <= kUniformityData) {
        storeUniformity(ch, reg, value);
        ++stateRevision_;
        return;
    }
    if (ch.bank == kColourBank &&
        (reg == kGainEnable || (reg >= kFirstGain && reg <= kLastColourRegister))) {
        ++stateRevision_;
        return;
    }
    if (ch.bank != kOverlayBank || reg != kEngineControl) {
        return;
    }
    if (value == kEndMarkerPass || value == kEndClear) {
        ++ch.passesEnded;
    } else if (value == kStartFill) {
        ch.fillStarted = now;
        const auto at = [&](std::uint8_t r) {
            return ch.registers[registerIndex(kOverlayBank, r)];
        };
        const std::uint32_t address =
            static_cast<std::uint32_t>(registerPair(channel, kFillAddress)) |
            static_cast<std::uint32_t>(registerPair(channel, kFillAddress + 2)) << 16;
        const Fill fill{channel, at(kFillColour), registerPair(channel, kFillWidth),
                        registerPair(channel, kFillHeight), address};
        // The fill completes at once in memory; only the status register
        // keeps reporting busy for the configured time.
        ch.overlay.fill(fill.width, fill.height, fill.address, fill.colour);
        if (config_.recordPackets) {
            fills_.push_back(fill);
        }
    }
}

void BoxModel::storeUniformity(Channel& ch, std::uint8_t reg, std::uint8_t value) {
    UniformityState& uniformity = ch.picture.uniformity;
    if (reg == kUniformityMode) {
        uniformity.mode = value;
        if (value == 0 || value == 1) {
            uniformity.enabled = value == 1;
        }
        ch.indexBytes = 0;
        ch.dataBytes = 0;
        ch.pointData = 0;
    } else if (reg == kUniformityIndex) {
        // Twice per point: the low byte of Y x 32 + X, then the high byte.
        ch.pointIndex = ch.indexBytes % 2 == 0
                            ? value
                            : static_cast<std::uint16_t>((ch.pointIndex & 0xFF) | value << 8);
        ++ch.indexBytes;
        ch.dataBytes = 0;
        ch.pointData = 0;
    } else {
        ch.indexBytes = 0;
        if (uniformity.mode != kWritingPoints) {
            return;  // points are taken only between 0x24 := 2 and the closing mode write
        }
        // Each field comes three times; the first copies (bits 0-9 and 30-43)
        // lie in the low eight bytes.
        if (ch.dataBytes < 8) {
            ch.pointData |= static_cast<std::uint64_t>(value) << (8 * ch.dataBytes);
        }
        if (++ch.dataBytes < kPointBytes) {
            return;
        }
        if (ch.pointIndex < UniformityState::kPoints) {
            UniformityPoint& point = uniformity.points[ch.pointIndex];
            point.offset = signExtend(static_cast<unsigned>(ch.pointData & 0x3FF), 10);
            point.gain = static_cast<std::uint16_t>((ch.pointData >> 30) & 0x3FFF);
        }
        ch.dataBytes = 0;
        ch.pointData = 0;
    }
}

void BoxModel::applyPicture(std::uint8_t command, std::span<const std::uint8_t> args) {
    ++stateRevision_;
    for (int channel = 0; channel < kChannels; ++channel) {
        if (args[0] != channel && args[0] != kAllChannels) {
            continue;
        }
        PictureState& picture = channels_.at(static_cast<std::size_t>(channel)).picture;
        BlendState& blend = picture.blend;
        switch (command) {
            case code::kBlendWidth: {
                const std::uint16_t mask = le16(args, 1);
                for (int edge = 0; edge < BlendState::kEdges; ++edge) {
                    if ((mask & 1u << edge) != 0) {
                        blend.edgeWidth[static_cast<std::size_t>(edge)] = le16(args, 3);
                    }
                }
                break;
            }
            case code::kBlendMarker:
                blend.marker = le16(args, 1);
                break;
            case code::kBlendOffset: {
                const std::uint16_t which = le16(args, 1);
                if (which == 0) {
                    blend.transitionOffset = le16(args, 3);
                } else if (which == 2) {
                    blend.nonTransitionOffset = le16(args, 3);
                }
                break;
            }
            case code::kBlendWindow: {
                const std::uint16_t kind = le16(args, 1);
                const BlendWindow window{le16(args, 3), le16(args, 5), le16(args, 7), le16(args, 9),
                                         le16(args, 11)};
                if (kind == 0) {
                    blend.transitionWindow = window;
                } else if (kind == 2) {
                    blend.nonTransitionWindow = window;
                }
                break;
            }
            case code::kBlendGamma:
                blend.gamma = le16(args, 1);
                break;
            case code::kPatternEnable:
                picture.pattern.colour = args[1];
                picture.pattern.on = args[2] != 0;
                break;
            case code::kPatternGridSize:
                picture.pattern.horizontal = args[1];
                picture.pattern.vertical = args[2];
                break;
            default:
                break;
        }
    }
}

std::uint16_t BoxModel::registerPair(int channel, std::uint8_t reg) const {
    return static_cast<std::uint16_t>(storedRegister(channel, kOverlayBank, reg) |
                                      storedRegister(channel, kOverlayBank, reg + 1) << 8);
}

std::uint8_t BoxModel::selectedBank(int channel) const {
    return channels_.at(static_cast<std::size_t>(channel)).bank;
}

std::uint8_t BoxModel::storedRegister(int channel, std::uint8_t bank, std::uint8_t reg) const {
    const Channel& ch = channels_.at(static_cast<std::size_t>(channel));
    return reg == kBankSelect ? ch.bank : ch.registers[registerIndex(bank, reg)];
}

void BoxModel::setRegister(int channel, std::uint8_t bank, std::uint8_t reg, std::uint8_t value) {
    Channel& ch = channels_.at(static_cast<std::size_t>(channel));
    if (reg == kBankSelect) {
        ch.bank = value;
    } else {
        ch.registers[registerIndex(bank, reg)] = value;
        ++stateRevision_;  // it may be a colour register
    }
}

std::uint8_t BoxModel::readRegister(int channel, std::uint8_t reg, milliseconds now) const {
    switch (reg) {
        case kWidthLow:
            return static_cast<std::uint8_t>(config_.width & 0xFF);
        case kWidthHigh:
            return static_cast<std::uint8_t>(config_.width >> 8);
        case kHeightLow:
            return static_cast<std::uint8_t>(config_.height & 0xFF);
        case kHeightHigh:
            return static_cast<std::uint8_t>(config_.height >> 8);
        default:
            break;
    }
    const std::uint8_t bank = selectedBank(channel);
    if (reg == kEngineStatus && bank == kOverlayBank) {
        return fillBusy(channel, now) ? 0x01 : 0x00;
    }
    return storedRegister(channel, bank, reg);
}

bool BoxModel::fillBusy(int channel, milliseconds now) const {
    const auto& started = channels_.at(static_cast<std::size_t>(channel)).fillStarted;
    return started && now < *started + config_.fillBusy;
}

void BoxModel::storeBlock(MapTables& tables, std::span<const std::uint8_t> packet) {
    const int table = packet[2];
    const int column = packet[3];
    const int offset = packet[4];
    for (std::size_t i = 0; i < link::kMapBlockEntries; ++i) {
        const int row = offset + static_cast<int>(i);
        if (!MapTables::contains(table, column, row)) {
            continue;  // a block reaching past the table keeps only what fits
        }
        const std::size_t at = kBlockHeader + 2 * i;
        const auto raw = static_cast<std::uint16_t>(packet[at] | packet[at + 1] << 8);
        tables.set(table, column, row, static_cast<std::int16_t>(raw));
    }
}

void BoxModel::commitLive(std::uint8_t channelByte) {
    for (int channel = 0; channel < kChannels; ++channel) {
        if (channelByte == channel || channelByte == kAllChannels) {
            Channel& ch = channels_.at(static_cast<std::size_t>(channel));
            ch.liveMap = liveReceiving_;
            ++ch.liveCommits;
            ++stateRevision_;
        }
    }
}

void BoxModel::storeSlot(std::uint8_t slot, std::uint8_t pass) {
    if (slot < kSlots && pass < kPasses) {
        const auto index = static_cast<std::size_t>(slot * kPasses + pass);
        slots_[index] = saveReceiving_;
        ++slotCommits_[index];
        ++stateRevision_;
    }
}

const PictureState& BoxModel::picture(int channel) const {
    return channels_.at(static_cast<std::size_t>(channel)).picture;
}

ColourState BoxModel::colour(int channel) const {
    const auto reg = [&](int r) {
        return static_cast<unsigned>(
            storedRegister(channel, kColourBank, static_cast<std::uint8_t>(r)));
    };
    ColourState colour;
    colour.gainEnabled = (reg(kGainEnable) & kGainEnabledBit) != 0;
    for (std::size_t i = 0; i < 3; ++i) {
        const int at = static_cast<int>(2 * i);
        colour.gains[i] = static_cast<std::uint16_t>(reg(kFirstGain + at) |
                                                     (reg(kFirstGain + at + 1) & 0x07) << 8);
        colour.offsets[i] =
            signExtend(reg(kFirstOffset + at) | (reg(kFirstOffset + at + 1) & 0x03) << 8, 10);
    }
    return colour;
}

const OverlayMemory& BoxModel::overlay(int channel) const {
    return channels_.at(static_cast<std::size_t>(channel)).overlay;
}

bool BoxModel::overlayShown(int channel) const {
    return storedRegister(channel, kDisplayBank, kDisplaySwitch) != 0;
}

std::uint64_t BoxModel::overlayPassesEnded(int channel) const {
    return channels_.at(static_cast<std::size_t>(channel)).passesEnded;
}

const std::optional<MapTables>& BoxModel::liveMap(int channel) const {
    return channels_.at(static_cast<std::size_t>(channel)).liveMap;
}

const std::optional<MapTables>& BoxModel::slot(int slot, int pass) const {
    if (slot < 0 || slot >= kSlots || pass < 0 || pass >= kPasses) {
        throw std::out_of_range("no such slot or pass");
    }
    return slots_.at(static_cast<std::size_t>(slot * kPasses + pass));
}

std::uint64_t BoxModel::liveCommits(int channel) const {
    return channels_.at(static_cast<std::size_t>(channel)).liveCommits;
}

std::uint64_t BoxModel::slotCommits(int slot, int pass) const {
    if (slot < 0 || slot >= kSlots || pass < 0 || pass >= kPasses) {
        throw std::out_of_range("no such slot or pass");
    }
    return slotCommits_.at(static_cast<std::size_t>(slot * kPasses + pass));
}

std::vector<link::Bytes> BoxModel::packetsWithCode(std::uint8_t command) const {
    std::vector<link::Bytes> out;
    for (const ReceivedPacket& packet : packets_) {
        if (packet.good && packet.bytes[1] == command) {
            out.push_back(packet.bytes);
        }
    }
    return out;
}

}  // namespace lumora::sim
