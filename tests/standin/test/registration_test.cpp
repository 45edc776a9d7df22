// DllRegisterServer and DllUnregisterServer, run against scratch keys: HKLM and HKCR are
// redirected for this process, so the prefix's real registration is left alone.
#include "moviestandin_idl.h"
#include "test_host.h"

#include <gtest/gtest.h>

namespace standin::test {
namespace {

constexpr wchar_t kScratch[] = L"Software\\ZbStandinRegistrationTest";
constexpr wchar_t kClassKey[] = L"Software\\Classes\\CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}";
constexpr wchar_t kTypeLibKey[] = L"TypeLib\\{D050E8A9-0136-4E94-8327-A21E18B59318}";

std::wstring StringValue(HKEY root, const std::wstring& key, const wchar_t* name) {
    wchar_t value[MAX_PATH * 2] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) return L"<none>";
    return value;
}

bool KeyExists(HKEY root, const std::wstring& key) {
    UniqueRegKey k;
    return RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, k.Put()) == ERROR_SUCCESS;
}

class RedirectedRegistry {
public:
    RedirectedRegistry() {
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
        RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kScratch) + L"\\HKLM").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, machine_.Put(), nullptr);
        RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kScratch) + L"\\HKCR").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, classes_.Put(), nullptr);
        ok_ = machine_.Get() && classes_.Get() &&
              RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_.Get()) == ERROR_SUCCESS &&
              RegOverridePredefKey(HKEY_CLASSES_ROOT, classes_.Get()) == ERROR_SUCCESS;
    }
    ~RedirectedRegistry() {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
    }
    bool Ok() const { return ok_; }
    HKEY Machine() const { return machine_.Get(); }
    HKEY Classes() const { return classes_.Get(); }

private:
    UniqueRegKey machine_;
    UniqueRegKey classes_;
    bool ok_ = false;
};

TEST(RegistrationTest, RegistersTheClassInMachineClassesAndRemovesAllOfIt) {
    StandinLibrary library;
    ASSERT_TRUE(library.Loaded());
    using EntryPoint = HRESULT(STDAPICALLTYPE*)();
    auto registerServer =
        reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(library.Module(), "DllRegisterServer")));
    auto unregisterServer =
        reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(library.Module(), "DllUnregisterServer")));
    ASSERT_TRUE(registerServer && unregisterServer);

    RedirectedRegistry registry;
    ASSERT_TRUE(registry.Ok());
    ASSERT_EQ(registerServer(), S_OK);

    const std::wstring server = std::wstring(kClassKey) + L"\\InprocServer32";
    wchar_t dll[MAX_PATH] = {};
    GetModuleFileNameW(library.Module(), dll, MAX_PATH);
    EXPECT_EQ(StringValue(registry.Machine(), server, nullptr), dll);
    EXPECT_EQ(StringValue(registry.Machine(), server, L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(StringValue(registry.Machine(), std::wstring(kClassKey) + L"\\TypeLib", nullptr),
              L"{D050E8A9-0136-4E94-8327-A21E18B59318}");
    EXPECT_FALSE(KeyExists(registry.Machine(), std::wstring(kClassKey) + L"\\ProgID"));
    EXPECT_TRUE(KeyExists(registry.Classes(), kTypeLibKey));

    ASSERT_EQ(unregisterServer(), S_OK);
    EXPECT_FALSE(KeyExists(registry.Machine(), kClassKey));
    EXPECT_FALSE(KeyExists(registry.Classes(), kTypeLibKey));
    // Unregistering what is not there is no failure.
    EXPECT_EQ(unregisterServer(), S_OK);
}

}  // namespace
}  // namespace standin::test

namespace standin::test {
namespace {

// Where a prefix has the stand-in registered (scripts/wine-session.sh register), a host's
// ordinary CoCreateInstance of the player class finds it.
TEST(RegistrationTest, CoCreateInstanceFindsTheRegisteredStandIn) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    static const CLSID kPlayerClass = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
    ComPtr<IProvideClassInfo2> classInfo;
    const HRESULT hr = CoCreateInstance(kPlayerClass, nullptr, CLSCTX_INPROC_SERVER, IID_IProvideClassInfo2,
                                        classInfo.PutVoid());
    if (hr == REGDB_E_CLASSNOTREG) {
        CoUninitialize();
        GTEST_SKIP() << "the stand-in is not registered in this prefix";
    }
    ASSERT_EQ(hr, S_OK);
    IID events{};
    EXPECT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
    EXPECT_TRUE(IsEqualGUID(events, DIID_DZbMovieStandinEvents));
    classInfo.Reset();
    CoUninitialize();
}

}  // namespace
}  // namespace standin::test
