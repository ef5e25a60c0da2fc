#include "cli/zip_archive.h"

#include <zip.h>

#include <memory>

namespace lumora::cli {
namespace {

struct SourceFree {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
struct ArchiveDiscard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Source = std::unique_ptr<zip_source_t, SourceFree>;
using Archive = std::unique_ptr<zip_t, ArchiveDiscard>;

std::string Failure(zip_error_t* error) {
    return std::string("cannot build the archive: ") + zip_error_strerror(error);
}

// An error of our own, not one that an archive or source owns and frees.
std::string LocalFailure(zip_error_t* error) {
    std::string text = Failure(error);
    zip_error_fini(error);
    return text;
}

}  // namespace

std::variant<std::vector<std::uint8_t>, std::string> ZipArchive(std::span<const ZipEntry> entries) {
    zip_error_t error;
    zip_error_init(&error);
    Source buffer(zip_source_buffer_create(nullptr, 0, 0, &error));
    if (!buffer) {
        return LocalFailure(&error);
    }
    Archive archive(zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error));
    if (!archive) {
        return LocalFailure(&error);
    }
    // The archive takes the buffer over; keep it alive past zip_close to read it back.
    zip_source_keep(buffer.get());
    for (const ZipEntry& entry : entries) {
        zip_source_t* source =
            zip_source_buffer(archive.get(), entry.bytes.data(), entry.bytes.size(), 0);
        if (source == nullptr ||
            zip_file_add(archive.get(), entry.name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            return Failure(zip_get_error(archive.get()));
        }
    }
    if (zip_close(archive.get()) != 0) {
        return Failure(zip_get_error(archive.get()));
    }
    archive.release();  // closed: nothing left to discard

    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(buffer.get(), &stat) != 0 || zip_source_open(buffer.get()) != 0) {
        return Failure(zip_source_error(buffer.get()));
    }
    std::vector<std::uint8_t> bytes(stat.size);
    const zip_int64_t read = zip_source_read(buffer.get(), bytes.data(), bytes.size());
    zip_source_close(buffer.get());
    if (read != static_cast<zip_int64_t>(bytes.size())) {
        return Failure(zip_source_error(buffer.get()));
    }
    return bytes;
}

}  // namespace lumora::cli
