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
