#include "sim/map_files.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "sim/announce.h"

namespace lumora::sim {
namespace {

char ChannelLetter(int channel) {
    return channel == 0 ? 'A' : 'B';
}

char TableLetter(int table) {
    return table == 0 ? 'x' : 'y';
}

}  // namespace

std::string MapFiles::LiveFileName(int channel, int table) {
    return std::string("live-") + ChannelLetter(channel) + "-" + TableLetter(table) + ".bin";
}

std::string MapFiles::SlotFileName(int slot, int pass, int table) {
    // A slot's pass 0 holds Channel A's map, pass 1 Channel B's.
    return "slot-" + std::to_string(slot + 1) + "-" + ChannelLetter(pass) + "-" +
           TableLetter(table) + ".bin";
}

std::string MapFiles::prepare() {
    if (std::string error = MakeDirectories(dir_); !error.empty()) {
        return error;
    }
    std::vector<std::string> names;
    for (int table = 0; table < MapTables::kTables; ++table) {
        for (int channel = 0; channel < BoxModel::kChannels; ++channel) {
            names.push_back(LiveFileName(channel, table));
        }
        for (int slot = 0; slot < BoxModel::kSlots; ++slot) {
            for (int pass = 0; pass < BoxModel::kPasses; ++pass) {
                names.push_back(SlotFileName(slot, pass, table));
            }
        }
    }
    for (const std::string& name : names) {
        const std::string file = path(name);
        if (unlink(file.c_str()) != 0 && errno != ENOENT) {
            return "cannot remove " + file + ": " + std::strerror(errno);
        }
    }
    return {};
}

std::vector<std::string> MapFiles::update(const BoxModel& model) {
    std::vector<std::string> errors;
    const auto write = [&](const std::string& nameX, const std::string& nameY,
                           const std::optional<MapTables>& tables) {
        if (!tables) {
            return;
        }
        if (std::string error = writePair(nameX, nameY, *tables); !error.empty()) {
            errors.push_back(std::move(error));
        }
    };
    for (int channel = 0; channel < BoxModel::kChannels; ++channel) {
        std::uint64_t& written = liveWritten_.at(static_cast<std::size_t>(channel));
        if (model.liveCommits(channel) != written) {
            written = model.liveCommits(channel);
            write(LiveFileName(channel, 0), LiveFileName(channel, 1), model.liveMap(channel));
        }
    }
    for (int slot = 0; slot < BoxModel::kSlots; ++slot) {
        for (int pass = 0; pass < BoxModel::kPasses; ++pass) {
            std::uint64_t& written =
                slotWritten_.at(static_cast<std::size_t>(slot * BoxModel::kPasses + pass));
            if (model.slotCommits(slot, pass) != written) {
                written = model.slotCommits(slot, pass);
                write(SlotFileName(slot, pass, 0), SlotFileName(slot, pass, 1),
                      model.slot(slot, pass));
            }
        }
    }
    return errors;
}

// Both tables or neither, so a reader never sees a new X beside a Y that
// could not be written; and no sync, which held the reply to the closing
// packet up.
std::string MapFiles::writePair(const std::string& nameX, const std::string& nameY,
                                const MapTables& tables) const {
    const std::vector<std::uint8_t> x = tables.rawTable(0);
    const std::vector<std::uint8_t> y = tables.rawTable(1);
    const base::WholeFile pair[] = {{path(nameX), x}, {path(nameY), y}};
    return base::WriteWholeFiles(pair, kBoxFiles);
}

}  // namespace lumora::sim
