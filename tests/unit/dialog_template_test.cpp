// Splitting extended dialog templates: ActiveX items out, everything else byte-exact.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "winkit/dialog_template.h"

namespace {

constexpr uint32_t kDsSetFont = 0x40;
constexpr uint32_t kWsChild = 0x40000000;

// Writes DLGTEMPLATEEX bytes the way a resource compiler lays them out.
class TemplateBuilder {
public:
    TemplateBuilder(uint32_t style, bool with_font) : style_(style), font_(with_font) {}

    struct Item {
        uint32_t id;
        uint32_t style;
        int16_t x, y, cx, cy;
        std::u16string class_text;  // empty: use class_ordinal
        uint16_t class_ordinal = 0;
        std::u16string title;
        std::vector<uint8_t> extra;
    };
    TemplateBuilder& add(Item item) {
        items_.push_back(std::move(item));
        return *this;
    }

    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> out;
        u16(out, 1);
        u16(out, 0xFFFF);
        u32(out, 0);           // help id
        u32(out, 0x00040000);  // extended style
        u32(out, style_);
        u16(out, static_cast<uint16_t>(items_.size()));
        for (int16_t v : {0, 0, 400, 230}) u16(out, static_cast<uint16_t>(v));
        u16(out, 0);  // no menu
        u16(out, 0);  // standard class
        text(out, u"PlaynookApp");
        if (font_) {
            u16(out, 8);
            u16(out, 0);
            out.push_back(0);
            out.push_back(1);
            text(out, u"MS Shell Dlg");
        }
        for (const Item& item : items_) {
            while (out.size() % 4) out.push_back(0);
            u32(out, 0);
            u32(out, 0);
            u32(out, item.style);
            for (int16_t v : {item.x, item.y, item.cx, item.cy}) u16(out, static_cast<uint16_t>(v));
            u32(out, item.id);
            if (item.class_text.empty()) {
                u16(out, 0xFFFF);
                u16(out, item.class_ordinal);
            } else {
                text(out, item.class_text);
            }
            text(out, item.title);
            u16(out, static_cast<uint16_t>(item.extra.size()));
            out.insert(out.end(), item.extra.begin(), item.extra.end());
        }
        return out;
    }

private:
    static void u16(std::vector<uint8_t>& out, uint16_t v) {
        out.push_back(static_cast<uint8_t>(v & 0xFF));
        out.push_back(static_cast<uint8_t>(v >> 8));
    }
    static void u32(std::vector<uint8_t>& out, uint32_t v) {
        u16(out, static_cast<uint16_t>(v & 0xFFFF));
        u16(out, static_cast<uint16_t>(v >> 16));
    }
    static void text(std::vector<uint8_t>& out, const std::u16string& s) {
        for (char16_t c : s) u16(out, static_cast<uint16_t>(c));
        u16(out, 0);
    }

    uint32_t style_;
    bool font_;
    std::vector<Item> items_;
};

const std::u16string kPlayerClass = u"{D27CDB6E-AE6D-11CF-96B8-444553540000}";

uint32_t read_u32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

TEST(DialogTemplate, PlayerWindowTemplateLosesItsControlAndItsVisibility) {
    const auto bytes = TemplateBuilder(0x90CF0048, true)
                           .add({1000, 0x50010000, 0, 0, 311, 176, kPlayerClass, 0, u"", {}})
                           .bytes();
    const auto split = winkit::split_dialog_template(bytes.data(), bytes.size());
    ASSERT_TRUE(split);
    EXPECT_TRUE(split->was_visible);
    EXPECT_EQ(read_u32(split->bytes, 12), 0x90CF0048u & ~winkit::kWsVisible);
    EXPECT_EQ(split->bytes[16] | (split->bytes[17] << 8), 0);  // no items left
    ASSERT_EQ(split->controls.size(), 1u);
    const auto& c = split->controls[0];
    EXPECT_EQ(c.id, 1000u);
    EXPECT_EQ(c.style, 0x50010000u);
    EXPECT_EQ(std::vector<int>({c.x, c.y, c.cx, c.cy}), std::vector<int>({0, 0, 311, 176}));
    EXPECT_EQ(c.class_name, kPlayerClass);
}

TEST(DialogTemplate, OrdinaryItemsAreKeptByteForByteAroundARemovedControl) {
    TemplateBuilder with({0x80C800C8, true});
    with.add({0xFFFF, 0x50000003, 14, 15, 20, 20, u"", 0x0082, u"", {}})
        .add({1000, kWsChild, 1, 2, 3, 4, kPlayerClass, 0, u"movie", {0xAA, 0xBB, 0xCC}})
        .add({1, 0x50030001, 178, 53, 50, 14, u"", 0x0080, u"OK", {0x01}})
        .add({0xFFFF, 0x50020080, 42, 11, 182, 8, u"Static", 0, u"Version 3.3.130", {}});
    TemplateBuilder without({0x80C800C8, true});
    without.add({0xFFFF, 0x50000003, 14, 15, 20, 20, u"", 0x0082, u"", {}})
        .add({1, 0x50030001, 178, 53, 50, 14, u"", 0x0080, u"OK", {0x01}})
        .add({0xFFFF, 0x50020080, 42, 11, 182, 8, u"Static", 0, u"Version 3.3.130", {}});

    const auto bytes = with.bytes();
    const auto split = winkit::split_dialog_template(bytes.data(), bytes.size());
    ASSERT_TRUE(split);
    EXPECT_FALSE(split->was_visible);
    // The result is what a compiler writes for the template without the control.
    EXPECT_EQ(split->bytes, without.bytes());
    ASSERT_EQ(split->controls.size(), 1u);
    EXPECT_EQ(split->controls[0].id, 1000u);

    // Splitting again finds nothing more to take out.
    const auto again = winkit::split_dialog_template(split->bytes.data(), split->bytes.size());
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->controls.empty());
    EXPECT_EQ(again->bytes, split->bytes);
}

TEST(DialogTemplate, TemplateWithoutFontAndSeveralControls) {
    const auto bytes = TemplateBuilder(0x80000000, false)
                           .add({7, kWsChild, 0, 0, 10, 10, kPlayerClass, 0, u"", {}})
                           .add({8, kWsChild, 10, 0, 10, 10, u"{00000000-0000-0000-0000-000000000001}", 0, u"", {}})
                           .bytes();
    const auto split = winkit::split_dialog_template(bytes.data(), bytes.size());
    ASSERT_TRUE(split);
    ASSERT_EQ(split->controls.size(), 2u);
    EXPECT_EQ(split->controls[0].id, 7u);
    EXPECT_EQ(split->controls[1].id, 8u);
}

TEST(DialogTemplate, MalformedTemplatesAreRefused) {
    const auto good = TemplateBuilder(0x90CF0048, true)
                          .add({1000, kWsChild, 0, 0, 311, 176, kPlayerClass, 0, u"", {}})
                          .bytes();
    // Every truncation of a template fails cleanly instead of reading past the end.
    for (size_t size = 0; size + 1 < good.size(); ++size) {
        // A cut inside the trailing padding of the last item is still a whole template.
        auto split = winkit::split_dialog_template(good.data(), size);
        if (split) {
            EXPECT_GE(size, good.size() - 2) << "accepted a template cut at " << size;
        }
    }
    // The old DLGTEMPLATE layout is not an extended template.
    std::vector<uint8_t> old = good;
    old[0] = 0x48;
    old[2] = 0x00;
    EXPECT_FALSE(winkit::split_dialog_template(old.data(), old.size()));
}

}  // namespace
