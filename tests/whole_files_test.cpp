// Files written as a set: all put in place or none touched, and nodes that are
// not regular files are never replaced.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "base/whole_files.h"

namespace {

using lumora::base::WholeFile;
using lumora::base::WriteWholeFiles;

using Bytes = std::vector<std::uint8_t>;

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// Hidden names too: a temporary left behind would show here.
QStringList Entries(const QTemporaryDir& dir) {
    return QDir(dir.path())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                   QDir::Name);
}

TEST(WholeFiles, APairGoesInPlaceTogetherOrNotAtAll) {
    QTemporaryDir dir;
    const std::string base = dir.path().toStdString();
    const std::string x = base + "/x.bin";
    const Bytes oldX{0x01, 0x02, 0x03};
    WriteAll(base + "/real-x.bin", oldX);
    ASSERT_EQ(symlink("real-x.bin", x.c_str()), 0);
    const Bytes newX(19500, 0xAB);
    const Bytes newY(19500, 0xCD);

    // The second table's folder does not exist: the first stays as it was.
    WholeFile pair[] = {{x, newX}, {base + "/missing/y.bin", newY}};
    const std::string error = WriteWholeFiles(pair);
    EXPECT_EQ(error, "cannot write " + pair[1].path + ": " + std::strerror(ENOENT));
    EXPECT_EQ(ReadAll(x), oldX);
    EXPECT_EQ(Entries(dir), (QStringList{"real-x.bin", "x.bin"}));

    pair[1].path = base + "/y.bin";
    ASSERT_EQ(WriteWholeFiles(pair), "");
    EXPECT_EQ(ReadAll(base + "/y.bin"), newY);
    // Written through the link, which stays a link.
    struct stat info {};
    ASSERT_EQ(lstat(x.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(ReadAll(base + "/real-x.bin"), newX);
    EXPECT_EQ(Entries(dir), (QStringList{"real-x.bin", "x.bin", "y.bin"}));
}

TEST(WholeFiles, AFifoIsWrittenInPlaceNotReplaced) {
    QTemporaryDir dir;
    const std::string fifo = dir.filePath("fifo").toStdString();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Held open for reading, so the write neither blocks nor fails.
    const int reader = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const Bytes bytes{0x05, 0x21, 0x00, 0x52, 0x78};
    const WholeFile files[] = {{fifo, bytes}, {dir.filePath("y.bin").toStdString(), bytes}};

    ASSERT_EQ(WriteWholeFiles(files), "");
    struct stat info {};
    ASSERT_EQ(lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    Bytes got(16);
    got.resize(
        static_cast<std::size_t>(std::max<ssize_t>(0, read(reader, got.data(), got.size()))));
    EXPECT_EQ(got, bytes);
    EXPECT_EQ(Entries(dir), (QStringList{"fifo", "y.bin"}));
    close(reader);
}

}  // namespace
