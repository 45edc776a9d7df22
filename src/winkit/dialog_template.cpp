#include "winkit/dialog_template.h"

#include <cstring>

namespace winkit {
namespace {

constexpr uint32_t kDsSetFont = 0x40;
constexpr uint32_t kDsShellFont = 0x48;  // DS_SETFONT | DS_FIXEDSYS

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool ok() const { return ok_; }
    size_t pos() const { return pos_; }

    uint16_t u16() {
        if (!need(2)) return 0;
        uint16_t v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    uint32_t u32() {
        uint32_t lo = u16();
        uint32_t hi = u16();
        return lo | (hi << 16);
    }
    void skip(size_t n) {
        if (need(n)) pos_ += n;
    }
    void align4() {
        size_t aligned = (pos_ + 3) & ~size_t{3};
        if (aligned > size_) {
            // Trailing padding may be missing after the last item.
            pos_ = size_;
        } else {
            pos_ = aligned;
        }
    }
    // A text terminated by a NUL unit.
    std::u16string text() {
        std::u16string s;
        for (;;) {
            uint16_t c = u16();
            if (!ok_ || c == 0) break;
            s.push_back(static_cast<char16_t>(c));
        }
        return s;
    }
    // sz_Or_Ord: nothing (0), an ordinal (0xFFFF, n) or a text.
    std::u16string text_or_ordinal() {
        if (!need(2)) return {};
        uint16_t first = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        if (first == 0) {
            pos_ += 2;
            return {};
        }
        if (first == 0xFFFF) {
            pos_ += 2;
            u16();
            return {};
        }
        return text();
    }

private:
    bool need(size_t n) {
        if (!ok_ || size_ - pos_ < n) ok_ = false;
        return ok_;
    }
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

void put_u16(std::vector<uint8_t>& out, size_t at, uint16_t v) {
    out[at] = static_cast<uint8_t>(v & 0xFF);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}

void put_u32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    put_u16(out, at, static_cast<uint16_t>(v & 0xFFFF));
    put_u16(out, at + 2, static_cast<uint16_t>(v >> 16));
}

}  // namespace

std::optional<SplitTemplate> split_dialog_template(const uint8_t* data, size_t size) {
    Reader r(data, size);
    if (r.u16() != 1 || r.u16() != 0xFFFF) return std::nullopt;  // not DLGTEMPLATEEX
    r.u32();                                                     // help id
    r.u32();                                                     // extended style
    const size_t style_at = r.pos();
    const uint32_t style = r.u32();
    const size_t count_at = r.pos();
    const uint16_t count = r.u16();
    r.skip(8);               // x, y, cx, cy
    r.text_or_ordinal();     // menu
    r.text_or_ordinal();     // window class
    r.text();                // title
    if (style & (kDsSetFont | kDsShellFont)) {
        r.skip(6);  // point size, weight, italic, charset
        r.text();   // typeface
    }
    if (!r.ok()) return std::nullopt;

    SplitTemplate result;
    const size_t header_end = r.pos();
    result.bytes.assign(data, data + header_end);

    uint16_t kept = 0;
    for (uint16_t i = 0; i < count; ++i) {
        r.align4();
        const size_t item_begin = r.pos();
        DialogItemPlace item;
        r.u32();  // help id
        item.ex_style = r.u32();
        item.style = r.u32();
        item.x = static_cast<int16_t>(r.u16());
        item.y = static_cast<int16_t>(r.u16());
        item.cx = static_cast<int16_t>(r.u16());
        item.cy = static_cast<int16_t>(r.u16());
        item.id = r.u32();
        item.class_name = r.text_or_ordinal();
        r.text_or_ordinal();  // title
        const uint16_t extra = r.u16();
        r.skip(extra);
        if (!r.ok()) return std::nullopt;
        const size_t item_end = r.pos();

        if (!item.class_name.empty() && item.class_name.front() == u'{') {
            result.controls.push_back(std::move(item));
            continue;
        }
        while (result.bytes.size() % 4 != 0) result.bytes.push_back(0);
        result.bytes.insert(result.bytes.end(), data + item_begin, data + item_end);
        ++kept;
    }

    put_u16(result.bytes, count_at, kept);
    if (style & kWsVisible) {
        result.was_visible = true;
        put_u32(result.bytes, style_at, style & ~kWsVisible);
    }
    return result;
}

}  // namespace winkit
