// The record: one JSON object per line, appended to a file with one WriteFile per line so
// that another process can read it at any time and a crash loses nothing already written.
#pragma once

#include "json_line.h"

#include <cstdint>
#include <mutex>
#include <string>

#include "com_util.h"

namespace standin {

class Record {
public:
    static Record& Instance();

    // Appends to this file from now on (creating it); an empty path stops recording.
    // Reopens only when the path differs from the current one.
    void UsePath(const std::wstring& path);
    bool Enabled();

    // Writes {"t":…,"seq":…,"pid":…,"ev":…<fields>}; does nothing while disabled.
    void Write(const JsonLine& line);

private:
    Record() = default;

    std::mutex mutex_;
    std::wstring path_;
    UniqueHandle file_;
    std::uint64_t seq_ = 0;
};

}  // namespace standin
