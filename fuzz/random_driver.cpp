// Runs a fuzz target without libFuzzer: random lengths around every size that
// matters, random and structured contents, a fixed seed so a failure repeats.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    const long runs = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 300;
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<std::size_t> length(0, 16384);
    std::vector<std::uint8_t> input;
    for (long run = 0; run < runs; ++run) {
        input.resize(length(random));
        for (std::uint8_t& b : input) {
            b = static_cast<std::uint8_t>(byte(random));
        }
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    // Cut points across the whole image on zero bytes: every one of the first
    // bytes, then a stride that is prime to every field size.
    input.assign(15729, 0);
    for (std::size_t size = 0; size <= input.size(); size += size < 64 ? 1 : 17) {
        LLVMFuzzerTestOneInput(input.data(), size);
    }
    std::printf("%ld random inputs and the cut points passed\n", runs);
    return 0;
}
