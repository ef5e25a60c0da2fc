#pragma once

// The warp maps the box holds, as raw tables in a folder, so that what
// arrived can be compared byte for byte (`cmp`) with what the tool computed:
// DIR/live-A-x.bin for Channel A's live X table, DIR/slot-10-B-y.bin for
// the Y table of pass 1 of the slot the operator calls 10 (slot byte 9).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/box_model.h"

namespace lumora::sim {

class MapFiles {
  public:
    explicit MapFiles(std::string dir) : dir_(std::move(dir)) {}

    // "live-A-x.bin" for channel 0, table 0.
    static std::string LiveFileName(int channel, int table);
    // "slot-1-A-x.bin" for slot byte 0, pass 0, table 0.
    static std::string SlotFileName(int slot, int pass, int table);
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    // Creates the folder if missing and removes files of these names that an
    // earlier run left there: a box that has just started holds no map, and
    // a stale table would pass for one that arrived. Returns an error text,
    // empty on success.
    std::string prepare();

    // Writes the pair of every map `model` committed since the last call;
    // both tables of a pair are replaced together or not at all. Returns one
    // error text per pair that could not be written.
    std::vector<std::string> update(const BoxModel& model);

  private:
    std::string writePair(const std::string& nameX, const std::string& nameY,
                          const MapTables& tables) const;

    std::string dir_;
    std::array<std::uint64_t, BoxModel::kChannels> liveWritten_{};
    std::array<std::uint64_t, BoxModel::kSlots * BoxModel::kPasses> slotWritten_{};
};

}  // namespace lumora::sim
