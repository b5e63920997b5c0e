#include "core/data_file.h"

#include <initializer_list>

#include "core/rc4.h"
#include "core/text.h"

namespace tessoral {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kPasswordOpen = "#LoadinPass:<";
constexpr std::string_view kPasswordClose = ">";

}  // namespace

std::string BuildDataText(const ServerList& servers, StartMode mode,
                          std::string_view startup_password) {
    size_t size = 64 + startup_password.size();
    for (const ServerEntry& e : servers.Entries()) {
        size += e.host.size() + e.port.size() + e.account.size() + e.password.size() +
                e.remark.size() + 6;
    }
    std::string text;
    text.reserve(size);
    for (const ServerEntry& e : servers.Entries()) {
        text.append(e.host).append("|").append(e.port).append("|").append(e.account);
        text.append("|").append(e.password).append("|").append(e.remark).append(kLineEnd);
    }
    if (mode.console) text.append("#onsole:1").append(kLineEnd);
    if (mode.admin) text.append("#admin:1").append(kLineEnd);
    text.append("#Start:1").append(kLineEnd);
    text.append("#Start:0").append(kLineEnd);
    text.append(kPasswordOpen).append(startup_password).append(kPasswordClose).append(kLineEnd);
    return text;
}

ParsedData ParseDataText(std::string_view plain) {
    ParsedData parsed;
    ForEachPiece(TextUpToZero(plain), kLineEnd, [&](std::string_view line) {
        std::string_view fields[5];
        int count = 0;
        ForEachPiece(line, "|", [&](std::string_view field) {
            if (count < 5) fields[count] = field;
            ++count;
        });
        if (count >= 3) {
            ServerEntry entry;
            entry.host = fields[0];
            entry.port = fields[1];
            entry.account = fields[2];
            if (count >= 4) entry.password = fields[3];
            if (count >= 5) entry.remark = fields[4];
            parsed.servers.Append(std::move(entry));
        }
        const bool ends_in_one = !line.empty() && line.back() == '1';
        if (Find(line, "#onsole:", 0) != -1) {
            if (ends_in_one) parsed.marks.console = true;
        } else if (Find(line, "#admin:", 0) != -1) {
            if (ends_in_one) parsed.marks.admin = true;
        }
    });
    return parsed;
}

std::string StartupPasswordOf(std::string_view plain) {
    return ExtractBetween(TextUpToZero(plain), kPasswordOpen, kPasswordClose);
}

namespace {

std::string_view FirstOf(std::string_view text, std::initializer_list<std::string_view> pieces) {
    // Scanned like the reader scans, so the second byte of a two-byte
    // character is never taken for a "|".
    int first = -1;
    std::string_view found;
    for (std::string_view piece : pieces) {
        const int at = Find(text, piece, 0);
        if (at != -1 && (first == -1 || at < first)) {
            first = at;
            found = piece;
        }
    }
    return found;
}

}  // namespace

std::string_view UnstorableInServerField(std::string_view field) {
    // A marker inside an entry's line would also set a start mode.
    return FirstOf(field, {"|", "\r", "\n", kPasswordOpen, "#onsole:", "#admin:"});
}

std::string_view UnstorableInStartupPassword(std::string_view password) {
    return FirstOf(password, {"|", ">", "\r", "\n", kPasswordOpen});
}

LoadedData LoadDataFile(FileStore& files, const std::string& path) {
    std::string bytes;
    if (!files.ReadAll(path, bytes)) bytes.clear();
    LoadedData loaded;
    loaded.plain = Rc4Transform(bytes, kDataFileKey);
    loaded.startup_password = StartupPasswordOf(loaded.plain);
    return loaded;
}

bool SaveDataFile(FileStore& files, const std::string& path, const ServerList& servers,
                  StartMode mode, std::string_view startup_password) {
    const std::string bytes =
        Rc4Transform(BuildDataText(servers, mode, startup_password), kDataFileKey);
    const std::string temporary = path + ".new";
    if (!files.WriteAll(temporary, bytes)) {
        files.Remove(temporary);
        return false;
    }
    if (!files.Replace(temporary, path)) {
        files.Remove(temporary);
        return false;
    }
    return true;
}

}  // namespace tessoral
