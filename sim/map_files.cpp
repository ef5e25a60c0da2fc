#include "sim/map_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <span>

#include "sim/announce.h"

namespace lumora::sim {
namespace {

char ChannelLetter(int channel) {
    return channel == 0 ? 'A' : 'B';
}

char TableLetter(int table) {
    return table == 0 ? 'x' : 'y';
}

std::string Failure(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

std::string WriteTemporary(const std::string& path, std::span<const std::uint8_t> bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return Failure("cannot write", path);
    }
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            std::string error = Failure("cannot write", path);
            close(fd);
            return error;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return close(fd) == 0 ? std::string() : Failure("cannot write", path);
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

// Both tables go to hidden temporaries first and are renamed into place only
// once both are complete, so a reader never sees half a table, nor a new X
// beside a Y that could not be written. Not synced to disk: readers need whole files, not
// files that outlive a crash, and a sync on a busy disk held the reply to the
// closing packet up by up to 66 ms.
std::string MapFiles::writePair(const std::string& nameX, const std::string& nameY,
                                const MapTables& tables) const {
    const std::string targets[] = {path(nameX), path(nameY)};
    const std::string temps[] = {path("." + nameX + ".tmp"), path("." + nameY + ".tmp")};
    std::string error;
    for (int table = 0; table < MapTables::kTables && error.empty(); ++table) {
        error = WriteTemporary(temps[table], tables.rawTable(table));
    }
    for (int table = 0; table < MapTables::kTables && error.empty(); ++table) {
        if (rename(temps[table].c_str(), targets[table].c_str()) != 0) {
            error = Failure("cannot rename to", targets[table]);
        }
    }
    if (!error.empty()) {
        for (const std::string& temp : temps) {
            unlink(temp.c_str());
        }
    }
    return error;
}

}  // namespace lumora::sim
