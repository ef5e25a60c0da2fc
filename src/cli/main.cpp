#include <QCoreApplication>
#include <iostream>

#include "cli/cli_commands.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    const auto parsed = lumora::cli::ParseOptions(args);
    if (const auto* error = std::get_if<lumora::cli::UsageError>(&parsed)) {
        std::cerr << "lumora-warp-cli: " << error->message << "\n\n" << lumora::cli::UsageText();
        return lumora::cli::kExitUsage;
    }
    return lumora::cli::RunCommand(std::get<lumora::cli::Options>(parsed), std::cout, std::cerr);
}
