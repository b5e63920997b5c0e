// Times the data file's whole round: build the text, encipher and save,
// then load, decipher and parse, for lists of growing size.
//
//   scripts/bench            (an optimised build without sanitizers)

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "core/data_file.h"
#include "core/rc4.h"

namespace {

using Clock = std::chrono::steady_clock;

class StdFileStore final : public tessoral::FileStore {
public:
    bool ReadAll(const std::string& path, std::string& bytes) override {
        std::ifstream in(path, std::ios::binary);
        if (!in) return false;
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return true;
    }
    bool WriteAll(const std::string& path, const std::string& bytes) override {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        return static_cast<bool>(out);
    }
    bool Replace(const std::string& from, const std::string& to) override {
        return std::rename(from.c_str(), to.c_str()) == 0;
    }
    void Remove(const std::string& path) override { std::remove(path.c_str()); }
};

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

tessoral::ServerList MakeList(int count) {
    tessoral::ServerList list;
    list.Reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        list.Append(tessoral::ServerEntry{
            "10." + std::to_string(i / 65536 % 256) + "." + std::to_string(i / 256 % 256) + "." +
                std::to_string(i % 256),
            "3389", "Administrator", "p" + std::to_string(i),
            "\xB7\xFE\xCE\xF1\xC6\xF7 " + std::to_string(i), {}});
    }
    return list;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : "/tmp/tessoral-bench-ms.ini";
    StdFileStore files;
    std::printf("%8s %10s %10s %10s %10s %10s %10s\n", "entries", "bytes", "build ms", "save ms",
                "load ms", "parse ms", "load+parse");
    double previous = 0;
    for (int count : {1000, 10000, 100000}) {
        const tessoral::ServerList list = MakeList(count);
        const tessoral::StartMode mode{false, true};
        // Best of five, so a stray scheduling hiccup does not set the figure.
        double build = 1e9, save = 1e9, load = 1e9, parse = 1e9;
        size_t bytes = 0;
        for (int run = 0; run < 5; ++run) {
            auto t0 = Clock::now();
            const std::string text = tessoral::BuildDataText(list, mode, "pw");
            auto t1 = Clock::now();
            tessoral::SaveDataFile(files, path, list, mode, "pw");
            auto t2 = Clock::now();
            const tessoral::LoadedData loaded = tessoral::LoadDataFile(files, path);
            auto t3 = Clock::now();
            const tessoral::ParsedData parsed = tessoral::ParseDataText(loaded.plain);
            auto t4 = Clock::now();
            if (parsed.servers.Count() != count || loaded.startup_password != "pw") {
                std::fprintf(stderr, "round trip lost data at %d entries\n", count);
                return 1;
            }
            bytes = text.size();
            build = std::min(build, Ms(t1 - t0));
            save = std::min(save, Ms(t2 - t1));
            load = std::min(load, Ms(t3 - t2));
            parse = std::min(parse, Ms(t4 - t3));
        }
        const double total = build + save + load + parse;
        std::printf("%8d %10zu %10.2f %10.2f %10.2f %10.2f %10.2f", count, bytes, build, save,
                    load, parse, load + parse);
        if (previous > 0) std::printf("   x%.1f of the previous size", total / previous);
        std::printf("\n");
        previous = total;
    }
    files.Remove(path);
    return 0;
}
