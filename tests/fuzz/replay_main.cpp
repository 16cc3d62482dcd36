// Runs a fuzz target once on each file named on the command line, without libFuzzer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

// Feeds every named file to the target; a broken invariant aborts the process.
int main(int argc, char **argv)
{
    for (int k = 1; k < argc; k++) {
        std::ifstream in(argv[k], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", argv[k]);
            return 1;
        }
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
    }
    std::printf("%d inputs read\n", argc - 1);
    return 0;
}
