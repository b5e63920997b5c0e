// An in-memory FileStore for native tests, with switches to make writes fail.
#pragma once

#include <map>
#include <string>

#include "core/file_store.h"

namespace tessoral::testing {

class MemoryFileStore : public FileStore {
public:
    std::map<std::string, std::string> files;
    bool fail_writes = false;    // the disk is full, or the folder is missing
    size_t write_limit = SIZE_MAX;  // bytes that reach the disk before a failure
    bool fail_replace = false;

    bool ReadAll(const std::string& path, std::string& bytes) override {
        auto it = files.find(path);
        if (it == files.end()) return false;
        bytes = it->second;
        return true;
    }
    bool WriteAll(const std::string& path, const std::string& bytes) override {
        if (fail_writes) return false;
        files[path] = bytes.substr(0, write_limit);
        return bytes.size() <= write_limit;
    }
    bool Replace(const std::string& from, const std::string& to) override {
        auto it = files.find(from);
        if (fail_replace || it == files.end()) return false;
        files[to] = it->second;
        files.erase(from);
        return true;
    }
    void Remove(const std::string& path) override { files.erase(path); }
};

}  // namespace tessoral::testing
