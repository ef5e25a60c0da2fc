// Command-line parsing: numbers, hex bytes and usage errors.
#include <gtest/gtest.h>

#include "cli/cli_options.h"

using lumora::cli::Options;
using lumora::cli::ParseHexBytes;
using lumora::cli::ParseNumber;
using lumora::cli::ParseOptions;
using lumora::cli::UsageError;

namespace {

std::string ErrorOf(const std::vector<std::string>& args) {
    const auto parsed = ParseOptions(args);
    const auto* error = std::get_if<UsageError>(&parsed);
    return error ? error->message : std::string();
}

}  // namespace

TEST(CliOptions, NumbersAreDecimalOrHex) {
    EXPECT_EQ(ParseNumber("82"), 82u);
    EXPECT_EQ(ParseNumber("0x52"), 0x52u);
    EXPECT_EQ(ParseNumber("0X4C00000"), 0x4C00000u);
    EXPECT_FALSE(ParseNumber(""));
    EXPECT_FALSE(ParseNumber("0x"));
    EXPECT_FALSE(ParseNumber("-1"));
    EXPECT_FALSE(ParseNumber("12a"));
    EXPECT_FALSE(ParseNumber("99999999999999999999999"));
}

TEST(CliOptions, HexBytesIgnoreBlanks) {
    EXPECT_EQ(ParseHexBytes({"20 00", "40", "00"}), (std::vector<std::uint8_t>{0x20, 0, 0x40, 0}));
    EXPECT_EQ(ParseHexBytes({"210052"}), (std::vector<std::uint8_t>{0x21, 0x00, 0x52}));
    EXPECT_FALSE(ParseHexBytes({"2"}));
    EXPECT_FALSE(ParseHexBytes({"zz"}));
    EXPECT_FALSE(ParseHexBytes({}));
}

TEST(CliOptions, CommandsAndTheirArguments) {
    const auto parsed = ParseOptions(
        {"write", "--port", "/dev/pts/3", "--channel", "1", "0x55", "0x0123", "--bits", "16"});
    const auto* options = std::get_if<Options>(&parsed);
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(options->command, "write");
    EXPECT_EQ(options->port, "/dev/pts/3");
    EXPECT_EQ(options->channel, 1);
    EXPECT_EQ(options->bits, 16);
    EXPECT_EQ(options->positional, (std::vector<std::string>{"0x55", "0x0123"}));

    EXPECT_EQ(std::get<Options>(ParseOptions({"probe", "--help"})).command, "help");
    EXPECT_EQ(std::get<Options>(ParseOptions({"ports"})).command, "ports");
}

TEST(CliOptions, UsageErrorsSayWhatIsWrong) {
    EXPECT_EQ(ErrorOf({}), "no command given");
    EXPECT_EQ(ErrorOf({"frobnicate"}), "unknown command frobnicate");
    EXPECT_EQ(ErrorOf({"probe"}), "probe needs --port");
    EXPECT_EQ(ErrorOf({"read", "--port", "p", "0x45"}), "read needs --channel");
    EXPECT_EQ(ErrorOf({"read", "--port", "p", "--channel", "3", "0x45"}),
              "--channel takes 0 (A), 1 (B) or 2 (All)");
    EXPECT_EQ(ErrorOf({"write", "--port", "p", "--channel", "0", "1", "2", "--bits", "12"}),
              "--bits takes 8, 16 or 32");
    EXPECT_EQ(ErrorOf({"probe", "--port"}), "--port needs a port name");
    EXPECT_EQ(ErrorOf({"probe", "--port", "p", "--speed", "9600"}), "unknown option --speed");
    EXPECT_EQ(ErrorOf({"send", "--port", "p"}), "send needs the bytes to send, in hex");
}

TEST(CliOptions, SizeIsTwoWholeNumbers) {
    EXPECT_EQ(lumora::cli::ParseSize("1920x1080"), std::make_pair(1920, 1080));
    EXPECT_EQ(lumora::cli::ParseSize("65535X1"), std::make_pair(65535, 1));
    for (const char* bad : {"0x1080", "1920x", "x1080", "1920", "1920*1080", "1x2x3", "+1x2",
                            "1 x2", "65536x1", "99999999999x1"}) {
        EXPECT_FALSE(lumora::cli::ParseSize(bad)) << bad;
    }
}

TEST(CliOptions, InfoAndMapTakeAFileAndNoPort) {
    const auto parsed = ParseOptions({"map", "s.lwf", "--channel", "b", "--size", "1280x720",
                                      "--no-corners", "--out-x", "x.bin", "--out-y", "y.bin"});
    const auto* map = std::get_if<Options>(&parsed);
    ASSERT_NE(map, nullptr) << std::get<UsageError>(parsed).message;
    EXPECT_EQ(map->channel, 1);
    EXPECT_EQ(std::make_pair(map->width, map->height), std::make_pair(1280, 720));
    EXPECT_TRUE(map->noCorners);
    EXPECT_EQ(map->outX + " " + map->outY, "x.bin y.bin");
    EXPECT_EQ(map->positional, (std::vector<std::string>{"s.lwf"}));
    EXPECT_EQ(
        std::get<Options>(ParseOptions({"read", "--port", "p", "--channel", "a", "1"})).channel, 0);
    EXPECT_TRUE(std::get<Options>(ParseOptions({"info", "--json", "s.lwf"})).json);

    const std::vector<std::string> m = {"map",     "f", "--size",  "8x8",
                                        "--out-x", "x", "--out-y", "y"};
    const auto with = [&](std::vector<std::string> extra) {
        extra.insert(extra.begin(), m.begin(), m.end());
        return ErrorOf(extra);
    };
    EXPECT_EQ(ErrorOf({"info"}), "info takes one settings file");
    EXPECT_EQ(with({"--channel", "2"}), "map needs --channel A or B");
    EXPECT_EQ(with({"--channel", "B", "g.lwf"}), "map takes one settings file");
    EXPECT_EQ(ErrorOf({"map", "f", "--channel", "0", "--out-x", "x", "--out-y", "y"}),
              "map needs --size WxH, the picture size of the box");
    EXPECT_EQ(ErrorOf({"map", "f", "--channel", "0", "--size", "8x8", "--out-x", "x"}),
              "map needs --out-x and --out-y");
    EXPECT_EQ(with({"--channel", "0", "--out-y", "x"}),
              "--out-x and --out-y must name different files");
    EXPECT_EQ(with({"--size", "1920"}),
              "--size takes WxH, two whole numbers from 1 to 65535, e.g. 1920x1080");
}

TEST(CliOptions, StoreTakesAPortASlotFromOneToTenAndAFile) {
    const auto parsed = ParseOptions({"store", "--port", "p", "--slot", "10", "s.lwf"});
    const auto* store = std::get_if<Options>(&parsed);
    ASSERT_NE(store, nullptr) << std::get<UsageError>(parsed).message;
    EXPECT_EQ(store->slot, 10);
    EXPECT_EQ(store->positional, (std::vector<std::string>{"s.lwf"}));

    for (const char* bad : {"0", "11", "0x0B", "-1"}) {
        EXPECT_EQ(ErrorOf({"store", "--port", "p", "--slot", bad, "s.lwf"}),
                  "--slot takes 1 to 10 (the Save to Box buttons)")
            << bad;
    }
    EXPECT_EQ(ErrorOf({"store", "--slot", "1", "s.lwf"}), "store needs --port");
    EXPECT_EQ(ErrorOf({"store", "--port", "p", "s.lwf"}), "store needs --slot 1 to 10");
    EXPECT_EQ(ErrorOf({"store", "--port", "p", "--slot", "1"}), "store takes one settings file");
}
