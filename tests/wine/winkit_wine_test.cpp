// The Win32 layer against the real system: the dispatch helper's results and errors, the
// exception boundary of window procedures, and dialogs whose controls cannot be made.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "winkit/boundary.h"
#include "winkit/dialog.h"
#include "winkit/dispatch.h"
#include "winkit/window.h"

namespace {

// An automation object that records what it was called with and fails on request.
class FakeDispatch final : public IDispatch {
public:
    HRESULT fail_with = S_OK;
    std::wstring error_text;
    std::wstring result_text = L"answer";
    std::vector<VARTYPE> types;
    std::vector<std::wstring> texts;
    WORD flags = 0;
    UINT named = 0;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD f, DISPPARAMS* p, VARIANT* result, EXCEPINFO* error,
                        UINT*) override {
        flags = f;
        named = p->cNamedArgs;
        // Record in natural order: the last slot is the first argument.
        for (UINT i = p->cArgs; i-- > 0;) {
            types.push_back(p->rgvarg[i].vt);
            texts.push_back(p->rgvarg[i].vt == VT_BSTR ? p->rgvarg[i].bstrVal : std::to_wstring(p->rgvarg[i].lVal));
        }
        if (fail_with == DISP_E_EXCEPTION) {
            error->scode = E_FAIL;
            error->bstrDescription = ::SysAllocString(error_text.c_str());
            return DISP_E_EXCEPTION;
        }
        if (FAILED(fail_with)) return fail_with;
        if (result) {
            result->vt = VT_BSTR;
            result->bstrVal = ::SysAllocString(result_text.c_str());
        }
        return S_OK;
    }
};

TEST(DispatchHelper, MethodArgumentsInOrderAndTextResult) {
    FakeDispatch target;
    const std::wstring result =
        winkit::invoke_helper(&target, 142, DISPATCH_METHOD, {0L, std::wstring(L"http://x/booter.swf?111018")});
    EXPECT_EQ(result, L"answer");
    EXPECT_EQ(target.types, (std::vector<VARTYPE>{VT_I4, VT_BSTR}));
    EXPECT_EQ(target.texts, (std::vector<std::wstring>{L"0", L"http://x/booter.swf?111018"}));
    EXPECT_EQ(target.named, 0u);
}

TEST(DispatchHelper, PropertyPutNamesItsArgument) {
    FakeDispatch target;
    EXPECT_EQ(winkit::invoke_helper(&target, 202, DISPATCH_PROPERTYPUT, {std::wstring(L"true")}), L"");
    EXPECT_EQ(target.flags, DISPATCH_PROPERTYPUT);
    EXPECT_EQ(target.named, 1u);
}

TEST(DispatchHelper, FailuresThrowWithResultAndControlText) {
    FakeDispatch target;
    target.fail_with = DISP_E_EXCEPTION;
    target.error_text = L"the movie refused";
    try {
        winkit::invoke_helper(&target, 198, DISPATCH_METHOD, {std::wstring(L"<invoke/>")});
        FAIL() << "no exception";
    } catch (const winkit::DispatchError& e) {
        EXPECT_EQ(e.result(), E_FAIL);
        EXPECT_EQ(e.dispid(), 198);
        EXPECT_EQ(e.description(), L"the movie refused");
        EXPECT_NE(e.message().find(L"the movie refused"), std::wstring::npos);
    }

    target.fail_with = DISP_E_MEMBERNOTFOUND;
    try {
        winkit::invoke_helper(&target, 999, DISPATCH_METHOD, {});
        FAIL() << "no exception";
    } catch (const winkit::DispatchError& e) {
        EXPECT_EQ(e.result(), DISP_E_MEMBERNOTFOUND);
        EXPECT_TRUE(e.description().empty());
    }

    EXPECT_THROW(winkit::invoke_helper(nullptr, 112, DISPATCH_METHOD, {}), winkit::DispatchError);
}

// A window whose size handler throws on request.
class ThrowingWindow : public winkit::Window {
public:
    explicit ThrowingWindow(HWND hwnd) { Subclass(hwnd); }
    ~ThrowingWindow() override { Unsubclass(); }
    int calls = 0;
    bool throw_next = false;

protected:
    const winkit::MessageEntry* GetMessageMap() const override {
        static constexpr winkit::MessageEntry map[] = {winkit::on_size<&ThrowingWindow::OnSize>, winkit::end_of_map};
        return map;
    }

private:
    void OnSize(UINT, int, int) {
        ++calls;
        if (throw_next) {
            throw_next = false;
            throw std::runtime_error("handler failed");
        }
    }
};

TEST(ExceptionBoundary, AThrowingHandlerLeavesTheWindowRunning) {
    HWND hwnd = ::CreateWindowExW(0, L"STATIC", L"boundary", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(hwnd);
    {
        ThrowingWindow window(hwnd);
        window.throw_next = true;
        EXPECT_EQ(::SendMessageW(hwnd, WM_SIZE, 0, MAKELPARAM(10, 10)), 0);
        EXPECT_TRUE(::IsWindow(hwnd));
        ::SendMessageW(hwnd, WM_SIZE, 0, MAKELPARAM(20, 20));
        EXPECT_EQ(window.calls, 2);
    }
    ::DestroyWindow(hwnd);
}

TEST(ExceptionBoundary, GuardedReturnsTheFallbackForAnyException) {
    EXPECT_EQ(winkit::guarded("test", 7, []() -> int { throw std::runtime_error("x"); }), 7);
    EXPECT_EQ(winkit::guarded("test", 7, []() -> int { throw 42; }), 7);
    EXPECT_EQ(winkit::guarded("test", 7, [] { return 1; }), 1);
}

class TestDialog : public winkit::Dialog {
public:
    explicit TestDialog(UINT id) : winkit::Dialog(id, nullptr) {}
    bool initialised = false;

protected:
    BOOL OnInitDialog() override {
        initialised = true;
        winkit::Dialog::OnInitDialog();
        EndDialog(42);
        return TRUE;
    }
};

TEST(Dialog, AControlThatCannotBeCreatedEndsTheRunBeforeTheWindowShows) {
    ::OleInitialize(nullptr);
    TestDialog dialog(200);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_FALSE(dialog.initialised);
    EXPECT_FALSE(::FindWindowW(nullptr, L"winkit test: missing control"));
}

TEST(Dialog, EndDialogDuringInitialisationEndsWithItsResult) {
    TestDialog dialog(201);
    EXPECT_EQ(dialog.DoModal(), 42);
    EXPECT_TRUE(dialog.initialised);
    EXPECT_FALSE(::FindWindowW(nullptr, L"winkit test: plain"));
}

TEST(Dialog, MissingTemplateFails) {
    TestDialog dialog(999);
    EXPECT_EQ(dialog.DoModal(), -1);
}

}  // namespace
