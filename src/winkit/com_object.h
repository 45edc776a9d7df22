#pragma once
// Reference counting for the layer's own COM objects. The C++ owner keeps a com_ptr; an
// object that outlives its owner (a control may hold on to its site) answers with
// E_UNEXPECTED once detached.
#include <unknwn.h>

#include <atomic>

namespace winkit {

class ref_counted {
public:
    ref_counted() = default;
    ref_counted(const ref_counted&) = delete;
    ref_counted& operator=(const ref_counted&) = delete;

protected:
    virtual ~ref_counted() = default;
    ULONG add_ref() noexcept { return ++refs_; }
    ULONG release() noexcept {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

private:
    std::atomic<ULONG> refs_{1};
};

}  // namespace winkit
