// Runs the fuzz target over seeded random and mutated inputs, for builds
// without libFuzzer. Usage: tessoral_fuzz_reader [iterations]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "core/rc4.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    const long iterations = argc > 1 ? std::atol(argv[1]) : 10000;
    std::mt19937 random(5093);
    const std::vector<std::string> seeds = {
        "",
        "#Start:1\r\n#Start:0\r\n#LoadinPass:<>\r\n",
        "#admin:1\r\n#Start:1\r\n#Start:0\r\n#LoadinPass:<>\r\n",
        "10.0.0.1|3389|Administrator|pw|\xB1\xB8\xD7\xA2\r\n#onsole:1\r\n#LoadinPass:<x>\r\n",
        "a|b\r\n|||\r\n\r\n\xB1\x7C|\xB1|>\r\n#LoadinPass:<#LoadinPass:<>>\r\n",
    };
    const char pieces[][16] = {"|", "\r\n", "\r", "\n", "#onsole:", "#admin:", "1",
                               "#LoadinPass:<", ">", "\xB1", "\x7C", "\0"};
    for (long n = 0; n < iterations; ++n) {
        std::string input = seeds[static_cast<size_t>(random()) % seeds.size()];
        const int edits = static_cast<int>(random() % 8);
        for (int e = 0; e < edits; ++e) {
            const size_t at = input.empty() ? 0 : random() % (input.size() + 1);
            switch (random() % 4) {
            case 0: input.insert(at, pieces[random() % (sizeof pieces / sizeof pieces[0])]); break;
            case 1: input.insert(at, 1, static_cast<char>(random())); break;
            case 2: if (at < input.size()) input.erase(at, 1 + random() % 4); break;
            default: if (at < input.size()) input[at] = static_cast<char>(random()); break;
            }
        }
        if (n % 3 == 0) {
            // Wholly random bytes, and text enciphered as a real file would be.
            input.resize(random() % 512);
            for (char& c : input) c = static_cast<char>(random());
        } else if (n % 3 == 1) {
            input = tessoral::Rc4Transform(input, "5093");
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
    }
    std::printf("%ld inputs, no failure\n", iterations);
    return 0;
}
