#pragma once
// One run of the real client with the stand-in playing a given movie script, seen from
// outside: its process, its player window, the stand-in's window and record.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "e2e/input.h"
#include "e2e/json.h"
#include "e2e/paths.h"
#include "e2e/process.h"
#include "e2e/record.h"
#include "e2e/registry.h"
#include "e2e/standin.h"
#include "e2e/window_query.h"

namespace e2e {

inline constexpr wchar_t kPlayerCaption[] = L"Zembaroo";
inline constexpr wchar_t kDialogClass[] = L"#32770";
inline constexpr wchar_t kSettingsKey[] = L"Corvelle\\PlaynookClient";

class ClientRun : public ::testing::Test {
protected:
    // Starts the client with this movie script; waits for the player window and the
    // stand-in inside it.
    void Start(const std::string& script = "", std::vector<std::pair<std::wstring, std::wstring>> env = {}) {
        const auto dir = scratchDir();
        record_.emplace(dir / "record.jsonl");
        writeTextFile(dir / "movie.txt", script);
        LaunchOptions options;
        options.movie(dir / "record.jsonl", dir / "movie.txt");
        for (auto& [name, value] : env) options.set(name, value);
        process_.emplace(Process::start(options));
        player_ = waitForWindow(process_->pid(), kDialogClass, kPlayerCaption, 15s);
        ASSERT_TRUE(player_) << "no player window";
        ASSERT_TRUE(record_->waitFor(event("call", "Play"), 10s)) << record_->text();
        standin_ = findStandinWindow(player_);
        ASSERT_TRUE(standin_) << "no stand-in window in the player window";
    }

    // The client rectangle of the player window in screen coordinates.
    RECT ClientOnScreen() const { return describe(player_).clientOnScreen; }

    static std::vector<long> Ints(const Json& array) {
        std::vector<long> out;
        for (const Json& v : array.items()) out.push_back(static_cast<long>(v.integer()));
        return out;
    }
    static std::vector<long> Rect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

    // The place the host last gave the control, in the player's client coordinates.
    std::vector<long> LastObjectRects() const {
        const auto lines = record_->events("call", "IOleInPlaceObject::SetObjectRects");
        if (lines.empty()) return {};
        return Ints(lines.back()["args"]);
    }

    // Waits until the host has placed the control over the player's whole client area.
    bool ControlCoversClient(std::chrono::milliseconds timeout = 5s) const {
        return record_->waitUntil(
            [&](const std::vector<Json>&) {
                RECT client = describe(player_).client;
                return LastObjectRects() == Rect(client);
            },
            timeout);
    }

    // Waits for the process to end.
    bool Ends(std::chrono::milliseconds timeout = 10s) const { return process_->waitForExit(timeout).has_value(); }

    std::optional<Record> record_;
    std::optional<Process> process_;
    HWND player_ = nullptr;
    HWND standin_ = nullptr;
};

}  // namespace e2e
