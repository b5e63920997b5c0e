// Feeds arbitrary bytes to the data-file reader, both as file content (to
// be deciphered) and as already deciphered text, and checks what must hold
// for any input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/data_file.h"
#include "core/rc4.h"
#include "core/text.h"

namespace {

class OneFile final : public tessoral::FileStore {
public:
    explicit OneFile(std::string bytes) : bytes_(std::move(bytes)) {}
    bool ReadAll(const std::string&, std::string& bytes) override {
        bytes = bytes_;
        return true;
    }
    bool WriteAll(const std::string&, const std::string& bytes) override {
        bytes_ = bytes;
        return true;
    }
    bool Replace(const std::string&, const std::string&) override { return true; }
    void Remove(const std::string&) override {}

private:
    std::string bytes_;
};

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    OneFile file(input);
    const tessoral::LoadedData loaded = tessoral::LoadDataFile(file, "ms.ini");
    Check(loaded.plain.size() == input.size());
    tessoral::ParseDataText(loaded.plain);

    // The same bytes read as plain text, written out and read again: no
    // entry is lost, no mark is lost, and a password the layout can carry
    // comes back as it was.
    const tessoral::ParsedData parsed = tessoral::ParseDataText(input);
    const std::string password = tessoral::StartupPasswordOf(input);
    const std::string text = tessoral::BuildDataText(parsed.servers, parsed.marks, password);
    const tessoral::ParsedData again = tessoral::ParseDataText(text);
    // The layout cannot carry ">", "|" or CR LF in the password, nor a
    // second "#LoadinPass:<" anywhere in the text.
    const bool one_password_line = text.find("#LoadinPass:<") == text.rfind("#LoadinPass:<");
    if (one_password_line && password.find_first_of("|>\r\n") == std::string::npos) {
        Check(tessoral::StartupPasswordOf(text) == password);
    }
    Check(again.servers.Count() >= parsed.servers.Count());
    // A saved mark always comes back; the reader only ever turns marks on.
    Check(!parsed.marks.console || again.marks.console);
    Check(!parsed.marks.admin || again.marks.admin);
    return 0;
}
