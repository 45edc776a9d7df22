#include "e2e/record.h"

#include <windows.h>

#include <thread>

#include "e2e/handle.h"

namespace e2e {

LineMatch event(std::string ev, std::string name) {
  return [ev = std::move(ev), name = std::move(name)](const Json& line) {
    return line.memberIs("ev", ev) && (name.empty() || line.memberIs("name", name));
  };
}

std::string Record::text() const {
  // The host keeps the file open for appending: share everything so that neither side
  // stands in the other's way.
  UniqueHandle file(CreateFileW(file_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return {};
  std::string content;
  char buffer[64 * 1024];
  DWORD read = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) content.append(buffer, read);
  return content;
}

std::vector<Json> Record::lines() const {
  std::string content = text();
  std::vector<Json> parsed;
  size_t start = 0;
  size_t number = 1;
  for (size_t end; (end = content.find('\n', start)) != std::string::npos; start = end + 1, ++number) {
    std::string_view line(content.data() + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    try {
      parsed.push_back(Json::parse(line));
    } catch (const JsonError& error) {
      throw JsonError("record line " + std::to_string(number) + ": " + error.what() + ": " + std::string(line));
    }
  }
  return parsed;
}

std::vector<Json> Record::matching(const LineMatch& match) const {
  std::vector<Json> found;
  for (Json& line : lines()) {
    if (match(line)) found.push_back(std::move(line));
  }
  return found;
}

std::optional<Json> Record::waitFor(const LineMatch& match, std::chrono::milliseconds timeout, size_t from) const {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    std::vector<Json> all = lines();
    for (size_t i = from; i < all.size(); ++i) {
      if (match(all[i])) return std::move(all[i]);
    }
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

bool Record::waitUntil(const std::function<bool(const std::vector<Json>&)>& holds,
                       std::chrono::milliseconds timeout) const {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (holds(lines())) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace e2e
