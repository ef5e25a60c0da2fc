// Runs a fuzz target without libFuzzer: random lengths around every size that
// matters, random and structured contents, a fixed seed so a failure repeats.
// Arguments: runs, the longest random input, and the length of the zero input
// cut at every point (0 for none).

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    const long runs = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 300;
    const auto longest =
        static_cast<std::size_t>(argc > 2 ? std::strtol(argv[2], nullptr, 10) : 16384);
    const auto cutLength =
        static_cast<std::size_t>(argc > 3 ? std::strtol(argv[3], nullptr, 10) : 15729);
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<std::size_t> length(0, longest);
    std::vector<std::uint8_t> input;
    for (long run = 0; run < runs; ++run) {
        input.resize(length(random));
        for (std::uint8_t& b : input) {
            b = static_cast<std::uint8_t>(byte(random));
        }
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    // Cut points across a whole input of zero bytes: every one of the first
    // bytes, then a stride that is prime to every field size.
    input.assign(cutLength, 0);
    for (std::size_t size = 0; size <= input.size(); size += size < 64 ? 1 : 17) {
        LLVMFuzzerTestOneInput(input.data(), size);
    }
    std::printf("%ld random inputs and the cut points passed\n", runs);
    return 0;
}
