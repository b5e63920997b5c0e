// Whole-file access as the data file needs it. Paths are code page 936 text.
#pragma once

#include <string>

namespace tessoral {

class FileStore {
public:
    virtual ~FileStore() = default;

    // The whole content; false when the file is missing or cannot be read.
    virtual bool ReadAll(const std::string& path, std::string& bytes) = 0;
    // Creates or truncates `path` and writes `bytes`, flushed to disk;
    // false when any part of that fails.
    virtual bool WriteAll(const std::string& path, const std::string& bytes) = 0;
    // Puts `from` in the place of `to` in one step, replacing any file there.
    virtual bool Replace(const std::string& from, const std::string& to) = 0;
    virtual void Remove(const std::string& path) = 0;
};

}  // namespace tessoral
