#include "record.h"

#include "clock.h"

namespace standin {

Record& Record::Instance() {
    static Record record;
    return record;
}

void Record::UsePath(const std::wstring& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (path == path_ && (file_.Valid() || path.empty())) return;
    file_.Reset();
    path_ = path;
    if (path.empty()) return;
    // Append-only access makes every WriteFile land at the current end of the file, also
    // when a test or a second control appends to the same file.
    file_ = UniqueHandle(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool Record::Enabled() {
    std::lock_guard<std::mutex> lock(mutex_);
    return file_.Valid();
}

void Record::Write(const JsonLine& line) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!file_.Valid()) return;
    std::string text;
    text.reserve(line.Body().size() + 96);
    text += "{\"t\":";
    text += std::to_string(MillisecondsSinceLoad());
    text += ",\"seq\":";
    text += std::to_string(++seq_);
    text += ",\"pid\":";
    text += std::to_string(GetCurrentProcessId());
    text += ",\"ev\":";
    AppendJsonString(text, line.Ev());
    text += line.Body();
    text += "}\n";
    DWORD written = 0;
    WriteFile(file_.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace standin
