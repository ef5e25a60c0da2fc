#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "sim/announce.h"
#include "sim/hex.h"
#include "sim/options.h"

namespace lumora::sim {
namespace {

using link::Bytes;
using std::chrono::milliseconds;

ParsedOptions Parse(std::vector<std::string> args) {
    return ParseOptions(args);
}

TEST(BoxsimOptions, BadUsageIsRejectedWithAReason) {
    const std::vector<std::vector<std::string>> bad = {
        {"--frobnicate"},           {"--size"},
        {"--size", "1920"},         {"--size", "0x1080"},
        {"--size", "1920x70000"},   {"--drop-reply", "0"},
        {"--hangup-after", "0"},    {"--line-rate", "fast"},
        {"--reply-delay-ms", "-1"}, {"--stray-bytes", "F"},
        {"--stray-bytes", "GG"},    {"--stray-before", "1"},
        {"--silent-after", "2x"},   {"positional"}};
    for (const auto& args : bad) {
        const ParsedOptions parsed = Parse(args);
        EXPECT_FALSE(parsed.options) << args.at(0);
        EXPECT_FALSE(parsed.error.empty()) << args.at(0);
    }
}

TEST(BoxsimOptions, OverlayPngTakesADirectory) {
    EXPECT_EQ(Parse({"--overlay-png", "out/pictures"}).options->overlayPngDir, "out/pictures");
    EXPECT_EQ(Parse({"--overlay-png=/tmp/o", "--size", "1280x720"}).options->overlayPngDir,
              "/tmp/o");
    EXPECT_EQ(Parse({}).options->overlayPngDir, "");
    EXPECT_FALSE(Parse({"--overlay-png"}).options);
    EXPECT_FALSE(Parse({"--overlay-png="}).options);
    EXPECT_NE(UsageText().find("--overlay-png DIR"), std::string::npos);
}

TEST(BoxsimHex, ParsesWithOrWithoutSeparators) {
    EXPECT_EQ(ParseHex("FF00a1"), (Bytes{0xFF, 0x00, 0xA1}));
    EXPECT_EQ(ParseHex("ff, 00:A1 "), (Bytes{0xFF, 0x00, 0xA1}));
    EXPECT_FALSE(ParseHex(""));
    EXPECT_FALSE(ParseHex("F F"));
    EXPECT_FALSE(ParseHex("0x12"));
}

TEST(BoxsimAnnounce, DirectoryFollowsTheEnvironmentInOrder) {
    EXPECT_EQ(AnnounceDirectory("/a/b", "/run/user/7", 7), "/a/b");
    EXPECT_EQ(AnnounceDirectory(nullptr, "/run/user/7", 7), "/run/user/7/lumora-boxsim");
    EXPECT_EQ(AnnounceDirectory("", "/run/user/7", 7), "/run/user/7/lumora-boxsim");
    EXPECT_EQ(AnnounceDirectory(nullptr, nullptr, 1000), "/tmp/lumora-boxsim-1000");
    EXPECT_EQ(AnnounceDirectory(nullptr, "", 1000), "/tmp/lumora-boxsim-1000");
}

TEST(BoxsimAnnounce, FilesAreCreatedWithTheirDirectoriesAndReplacedWhole) {
    const std::string dir = ::testing::TempDir() + "boxsim-announce-" + std::to_string(getpid());
    const std::string nested = dir + "/x/y";
    ASSERT_EQ(MakeDirectories(nested), "");
    EXPECT_EQ(MakeDirectories(nested), "");  // existing is fine
    const std::string file = nested + "/1.port";
    ASSERT_EQ(base::WriteWholeFile(file, "/dev/pts/long-name\n", kBoxFiles), "");
    ASSERT_EQ(base::WriteWholeFile(file, "/dev/pts/3\n", kBoxFiles), "");
    std::FILE* f = std::fopen(file.c_str(), "r");
    ASSERT_NE(f, nullptr);
    char line[64] = {};
    ASSERT_NE(std::fgets(line, sizeof line, f), nullptr);
    std::fclose(f);
    EXPECT_STREQ(line, "/dev/pts/3\n");
    EXPECT_NE(base::WriteWholeFile(dir + "/missing/1.port", "x", kBoxFiles), "");
    std::remove(file.c_str());
    rmdir(nested.c_str());
    rmdir((dir + "/x").c_str());
    rmdir(dir.c_str());
}

TEST(BoxsimAnnounce, TheFolderIsMadePrivateAndAnOpenOneIsRefused) {
    const std::string parent = ::testing::TempDir() + "boxsim-private-" + std::to_string(getpid());
    const std::string dir = parent + "/announce";
    ASSERT_EQ(MakeAnnounceDirectory(dir), "");
    struct stat info {};
    ASSERT_EQ(lstat(dir.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(MakeAnnounceDirectory(dir), "");  // its own folder again is fine

    const std::string link = parent + "/link";
    ASSERT_EQ(symlink(dir.c_str(), link.c_str()), 0);
    EXPECT_EQ(MakeAnnounceDirectory(link),
              "refusing to announce in " + link + ": it is a symbolic link");
    ASSERT_EQ(chmod(dir.c_str(), 0755), 0);
    EXPECT_EQ(MakeAnnounceDirectory(dir),
              "refusing to announce in " + dir + ": its mode is 0755, not 0700");
    unlink(link.c_str());
    rmdir(dir.c_str());
    rmdir(parent.c_str());
}

}  // namespace
}  // namespace lumora::sim
