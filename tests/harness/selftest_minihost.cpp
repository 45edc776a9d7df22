// The harness proves itself on minihost: the bare host takes the stand-in control, the
// control's record shows the conversation, real key input arrives with its modifier sides,
// and without the control the host's message box can be read and dismissed.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "e2e/input.h"
#include "e2e/message_box.h"
#include "e2e/paths.h"
#include "e2e/process.h"
#include "e2e/record.h"
#include "e2e/registry.h"
#include "e2e/standin.h"
#include "e2e/window_query.h"

namespace {

using namespace std::chrono_literals;
using e2e::Json;

constexpr wchar_t kHostClass[] = L"ZbMiniHost";
constexpr wchar_t kHostCaption[] = L"minihost";
constexpr wchar_t kHelloRequest[] =
    L"<invoke name=\"Hello\" returntype=\"xml\"><arguments><string>minihost</string></arguments></invoke>";

std::filesystem::path minihostExe() { return e2e::toWindowsPath(ZB_MINIHOST_EXE); }

using Corners = std::array<long, 4>;

Corners cornersOf(const Json& array) {
  return {static_cast<long>(array[0].integer()), static_cast<long>(array[1].integer()),
          static_cast<long>(array[2].integer()), static_cast<long>(array[3].integer())};
}

Corners cornersOf(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

class Minihost : public ::testing::Test {
 protected:
  // Starts minihost with the stand-in playing `script` and recording into the test's
  // scratch folder.
  e2e::Process start(std::string_view script) {
    std::filesystem::path dir = e2e::scratchDir();
    e2e::writeTextFile(dir / "movie.txt", script);
    e2e::LaunchOptions options;
    options.program = minihostExe();
    options.movie(record.path(), dir / "movie.txt");
    return e2e::Process::start(options);
  }

  e2e::Record record{e2e::scratchDir() / "record.jsonl"};
};

// The key line that a key-down of the Right arrow produced, from line `from` on.
std::optional<Json> rightArrowDown(const e2e::Record& record, size_t from) {
  return record.waitFor(
      [](const Json& line) {
        return line.memberIs("ev", "key") && line.memberIs("msg", "WM_KEYDOWN") && line["vk"].integer() == VK_RIGHT;
      },
      3s, from);
}

TEST_F(Minihost, HostsTheStandinAndHoldsTheScriptedConversation) {
  e2e::Process host = start("var $version \"WIN 32,0,0,465\"\n"
                            "at 200 fs SwfInitialzed \"\"\n"
                            "at 1500 close\n");
  HWND window = e2e::waitForWindow(host.pid(), kHostClass, kHostCaption);
  ASSERT_NE(window, nullptr) << "no minihost window";
  HWND standin = e2e::findStandinWindow(window);
  ASSERT_NE(standin, nullptr) << "the stand-in's window is not inside the host";

  // Real key input reaches the control with the sides of its modifiers, and nothing is
  // left held down from one chord to the next.
  struct Chord {
    const char* label;
    std::vector<e2e::KeyStroke> keys;
    bool lshift, rshift, lctrl, rctrl;
  };
  const Chord chords[] = {
      {"left Ctrl + left Shift + Right", {e2e::keys::leftCtrl, e2e::keys::leftShift, e2e::keys::right}, true, false,
       true, false},
      {"right Shift + Right", {e2e::keys::rightShift, e2e::keys::right}, false, true, false, false},
      {"right Ctrl + Right", {e2e::keys::rightCtrl, e2e::keys::right}, false, false, false, true},
  };
  for (const Chord& chord : chords) {
    SCOPED_TRACE(chord.label);
    size_t mark = record.lines().size();
    ASSERT_TRUE(e2e::pressChord(standin, chord.keys));
    std::optional<Json> key = rightArrowDown(record, mark);
    ASSERT_TRUE(key) << record.text();
    EXPECT_EQ((*key)["lshift"].boolean(), chord.lshift);
    EXPECT_EQ((*key)["rshift"].boolean(), chord.rshift);
    EXPECT_EQ((*key)["lctrl"].boolean(), chord.lctrl);
    EXPECT_EQ((*key)["rctrl"].boolean(), chord.rctrl);
  }

  // The movie's announcement, and the host's answer to it with the exact request text.
  ASSERT_TRUE(record.waitFor(
      [](const Json& line) {
        return line.memberIs("ev", "fire") && line.memberIs("name", "FSCommand") &&
               line["args"][0].text() == L"SwfInitialzed" && line["args"][1].text().empty();
      },
      5s))
      << record.text();
  std::optional<Json> answer = record.waitFor(e2e::event("call", "CallFunction"), 5s);
  ASSERT_TRUE(answer) << record.text();
  EXPECT_EQ((*answer)["args"][0].text(), kHelloRequest);

  // The control covers exactly the host's 960x600 client area, by the record and by us.
  e2e::WindowInfo seen = e2e::describe(window);
  EXPECT_EQ(seen.client.right, 960);
  EXPECT_EQ(seen.client.bottom, 600);
  std::optional<Json> play = record.waitFor(e2e::event("call", "Play"), 5s);
  ASSERT_TRUE(play) << record.text();
  EXPECT_EQ(cornersOf((*play)["self"]), cornersOf((*play)["top"]["client"]));
  EXPECT_EQ(cornersOf((*play)["top"]["client"]), cornersOf(seen.clientOnScreen));

  // The script closes the window; minihost tears the control down and ends.
  EXPECT_EQ(host.waitForExit(10s), 0u);
  for (const char* step : {"IOleObject::Close", "IOleObject::SetClientSite"}) {
    EXPECT_FALSE(record.events("call", step).empty()) << step << " missing from the teardown";
  }
}

TEST_F(Minihost, WithoutTheControlItShowsItsMessageBoxAndEnds) {
  std::wstring clsidKey = std::wstring(L"CLSID\\") + e2e::kStandinClsid;
  ASSERT_TRUE(e2e::keyExists(clsidKey)) << "the stand-in is not registered";
  {
    e2e::StandinUnregistered unregistered;
    ASSERT_EQ(unregistered.result(), S_OK);
    EXPECT_FALSE(e2e::keyExists(clsidKey));

    e2e::Process host = start("at 100 close\n");
    HWND box = e2e::waitForMessageBox(host.pid(), kHostCaption);
    ASSERT_NE(box, nullptr) << "no message box";
    e2e::MessageBoxView view = e2e::readMessageBox(box);
    EXPECT_EQ(view.text,
              L"minihost could not host the movie control: CoCreateInstance failed (0x80040154).");
    EXPECT_EQ(e2e::recogniseIcon(view), e2e::MessageIcon::error) << e2e::toString(e2e::recogniseIcon(view));
    ASSERT_EQ(view.buttons.size(), 1u);
    EXPECT_EQ(view.buttons[0].text, L"OK");
    EXPECT_EQ(e2e::pressButton(view.button(IDOK)), e2e::Pressed::byMouse);
    EXPECT_EQ(host.waitForExit(10s), 2u);
    EXPECT_TRUE(record.lines().empty()) << "no control, so nothing may have been recorded";
  }
  EXPECT_TRUE(e2e::keyExists(clsidKey)) << "the stand-in was not registered again";
}

TEST_F(Minihost, AProcessDoesNotOutliveItsOwner) {
  DWORD pid = 0;
  {
    // No close in the script: minihost would run on.
    e2e::Process host = start("at 100 fs SwfInitialzed \"\"\n");
    pid = host.pid();
    HWND window = e2e::waitForWindow(pid, kHostClass, kHostCaption);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(e2e::answers(window));
    EXPECT_TRUE(host.alive());
    EXPECT_FALSE(host.exitCode());
  }
  e2e::UniqueHandle gone(OpenProcess(SYNCHRONIZE, FALSE, pid));
  EXPECT_TRUE(!gone || WaitForSingleObject(gone.get(), 0) == WAIT_OBJECT_0) << "minihost still runs";
}

}  // namespace
