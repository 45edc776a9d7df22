// The hidden diagnostic summary: left Ctrl + left Shift + Right arrow, pressed as real
// input, shows the endpoints and the stored settings; any other combination is an
// ordinary key for the movie.
#include <gtest/gtest.h>

#include "client_fixture.h"
#include "e2e/message_box.h"

namespace e2e {
namespace {

const std::wstring kHead =
    L"http://zembaroo.example/client/ma/booter.swf\r\nhttp://www.zembaroo.example/autoupdate/autoupdate.exe\r\n";

class SummaryTest : public ClientRun {
protected:
    void SetUp() override { deleteTree(kSettingsKey); }
    void TearDown() override { deleteTree(kSettingsKey); }

    // Presses the combination and returns the summary's text, dismissing the box.
    std::optional<std::wstring> Summary(std::initializer_list<KeyStroke> chord) {
        EXPECT_TRUE(pressChord(standin_, chord));
        HWND box = waitForMessageBox(process_->pid(), L"PlaynookApp", 3s);
        if (!box) return std::nullopt;
        const MessageBoxView view = readMessageBox(box);
        EXPECT_EQ(GetWindow(box, GW_OWNER), player_);
        pressButton(view.button(IDOK));
        for (int i = 0; i < 50 && IsWindow(box); ++i) Sleep(100);
        return view.text;
    }

    // Right-arrow key-downs that reached the movie.
    size_t RightArrowsAtMovie() const {
        return record_
            ->matching([](const Json& l) {
                return l.memberIs("ev", "key") && l.memberIs("msg", "WM_KEYDOWN") && l["vk"].integer() == VK_RIGHT;
            })
            .size();
    }
};

struct StoredCase {
    const char* name;
    std::optional<std::wstring> selected;
    std::optional<std::wstring> source;
    std::wstring expectedTail;
};

TEST_F(SummaryTest, ShowsTheEndpointsAndTheStoredSettings) {
    const std::wstring longSource(127, L'q');
    const StoredCase cases[] = {
        {"no key at all", std::nullopt, std::nullopt, L"DownloadSource=Unknown\r\nServer_None"},
        {"Unicom and an empty source", L"Unicom", L"", L"DownloadSource=\r\nServer_Unicom"},
        {"a source of 127 characters", L"telecom", longSource, L"DownloadSource=" + longSource + L"\r\nServer_Telecom"},
    };
    Start();
    for (const StoredCase& c : cases) {
        SCOPED_TRACE(c.name);
        deleteTree(kSettingsKey);
        if (c.selected) ASSERT_TRUE(writeText(kSettingsKey, L"SelectedServer", *c.selected));
        if (c.source) ASSERT_TRUE(writeText(kSettingsKey, L"DownloadSource", *c.source));
        // The registry is read afresh on every press.
        const auto text = Summary({keys::leftCtrl, keys::leftShift, keys::right});
        ASSERT_TRUE(text) << "no summary";
        EXPECT_EQ(*text, kHead + c.expectedTail);
        if (!c.selected && !c.source) EXPECT_FALSE(keyExists(kSettingsKey)) << "the summary only reads";
    }
    EXPECT_EQ(RightArrowsAtMovie(), 0u) << "the combination is consumed";
}

TEST_F(SummaryTest, OtherModifiersGiveTheMovieAnOrdinaryKey) {
    Start();
    const std::vector<std::pair<const char*, std::vector<KeyStroke>>> chords = {
        {"right Ctrl + right Shift", {keys::rightCtrl, keys::rightShift, keys::right}},
        {"left Ctrl + right Shift", {keys::leftCtrl, keys::rightShift, keys::right}},
        {"right Ctrl + left Shift", {keys::rightCtrl, keys::leftShift, keys::right}},
        {"left Shift alone", {keys::leftShift, keys::right}},
        {"left Ctrl alone", {keys::leftCtrl, keys::right}},
    };
    size_t expected = 0;
    for (const auto& [name, chord] : chords) {
        SCOPED_TRACE(name);
        if (chord.size() == 3) {
            ASSERT_TRUE(pressChord(standin_, {chord[0], chord[1], chord[2]}));
        } else {
            ASSERT_TRUE(pressChord(standin_, {chord[0], chord[1]}));
        }
        ++expected;
        EXPECT_TRUE(record_->waitUntil([&](const std::vector<Json>&) { return RightArrowsAtMovie() >= expected; }, 3s))
            << "the Right arrow did not reach the movie";
        EXPECT_FALSE(waitForMessageBox(process_->pid(), L"PlaynookApp", 300ms));
    }
    // The movie's window saw the sides as they were pressed.
    const auto keysSeen = record_->matching([](const Json& l) {
        return l.memberIs("ev", "key") && l.memberIs("via", "window") && l.memberIs("msg", "WM_KEYDOWN") &&
               l["vk"].integer() == VK_RIGHT;
    });
    ASSERT_GE(keysSeen.size(), 2u);
    EXPECT_TRUE(keysSeen[0]["rctrl"].boolean());
    EXPECT_TRUE(keysSeen[0]["rshift"].boolean());
    EXPECT_FALSE(keysSeen[0]["lshift"].boolean());
    EXPECT_TRUE(keysSeen[1]["lctrl"].boolean());
    EXPECT_TRUE(keysSeen[1]["rshift"].boolean());
}

}  // namespace
}  // namespace e2e
