// The servers the user keeps, in the order of the data file and the list view.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessoral {

enum class ServerStatus : int32_t { Online = 1, Offline = 2, Unknown = 3 };

struct ServerEntry {
    std::string host;
    std::string port;  // kept as typed; only the probe reads it as a number
    std::string account;
    std::string password;
    std::string remark;
    ServerStatus status = ServerStatus::Unknown;  // never saved
};

// Addressed by 1-based position, like the list view's item values.
// Callers pass positions from 1 to Count().
class ServerList {
public:
    int Count() const { return static_cast<int>(entries_.size()); }
    bool Contains(int position) const { return position >= 1 && position <= Count(); }

    const ServerEntry& At(int position) const { return entries_[Index(position)]; }

    void Append(ServerEntry entry) { entries_.push_back(std::move(entry)); }
    void Remove(int position) { entries_.erase(entries_.begin() + static_cast<long>(Index(position))); }
    // Replaces the five texts; the status stays.
    void Replace(int position, ServerEntry texts);
    void SetStatus(int position, ServerStatus status) { entries_[Index(position)].status = status; }

    void Reserve(size_t count) { entries_.reserve(count); }
    const std::vector<ServerEntry>& Entries() const { return entries_; }

private:
    static size_t Index(int position) { return static_cast<size_t>(position - 1); }

    std::vector<ServerEntry> entries_;
};

}  // namespace tessoral
