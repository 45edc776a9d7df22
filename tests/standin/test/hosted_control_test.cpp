// The stand-in hosted the way a container hosts the player: created through its class
// object, given a site, activated in a window, driven through automation, its events
// advised, and its record read back.
#include "moviestandin_idl.h"
#include "standin_dispids.h"
#include "test_host.h"

#include <gtest/gtest.h>

#include <memory>

namespace standin::test {
namespace {

std::string Number(const void* handle) { return std::to_string(reinterpret_cast<std::uintptr_t>(handle)); }

std::string RectJson(const RECT& r) {
    return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + "]";
}

std::int64_t TimeOf(const std::string& line) {
    const size_t at = line.find("\"t\":");
    return at == std::string::npos ? -1 : std::stoll(line.substr(at + 4));
}

class HostedControlTest : public testing::Test {
protected:
    static void SetUpTestSuite() { library_ = new StandinLibrary(); }
    static void TearDownTestSuite() {
        delete library_;
        library_ = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        folder_ = NewTempFolder();
        const std::wstring& folder = folder_;
        record_ = folder + L"record.jsonl";
        script_ = folder + L"movie.txt";
        SetEnvironmentVariableW(L"ZB_STANDIN_RECORD", record_.c_str());
        SetEnvironmentVariableW(L"ZB_STANDIN_SCRIPT", script_.c_str());
        ASSERT_TRUE(library_->Loaded()) << "moviestandin.dll beside the test program";
        host_ = std::make_unique<HostWindow>(640, 480);
        site_ = TestSite::Create(host_->Handle());
        control_ = library_->CreateControl();
        ASSERT_TRUE(control_);
        oleObject_ = control_.Query<IOleObject>(IID_IOleObject);
        dispatch_ = control_.Query<IDispatch>(IID_IDispatch);
        ASSERT_TRUE(oleObject_ && dispatch_);
    }

    void TearDown() override {
        if (oleObject_) {
            oleObject_->Close(OLECLOSE_NOSAVE);
            oleObject_->SetClientSite(nullptr);
        }
        oleObject_.Reset();
        dispatch_.Reset();
        control_.Reset();
        site_.Reset();
        host_.reset();
        PumpFor(10);
        OleUninitialize();
        SetEnvironmentVariableW(L"ZB_STANDIN_RECORD", nullptr);
        SetEnvironmentVariableW(L"ZB_STANDIN_SCRIPT", nullptr);
        DeleteFileW(record_.c_str());
        DeleteFileW(script_.c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    void Activate(LONG verb = OLEIVERB_INPLACEACTIVATE) {
        ASSERT_EQ(oleObject_->SetClientSite(site_.Get()), S_OK);
        ASSERT_EQ(oleObject_->DoVerb(verb, nullptr, site_.Get(), 0, host_->Handle(), &site_->position), S_OK);
    }

    HWND ControlWindow() {
        HWND window = nullptr;
        if (auto ole = control_.Query<IOleWindow>(IID_IOleWindow)) ole->GetWindow(&window);
        return window;
    }

    // The way a host finds the event interface: from the class info, not from a header.
    void Advise(FsCommandSink* sink) {
        auto classInfo = control_.Query<IProvideClassInfo2>(IID_IProvideClassInfo2);
        ASSERT_TRUE(classInfo);
        IID events{};
        ASSERT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
        auto container = control_.Query<IConnectionPointContainer>(IID_IConnectionPointContainer);
        ComPtr<IConnectionPoint> point;
        ASSERT_EQ(container->FindConnectionPoint(events, point.Put()), S_OK);
        DWORD cookie = 0;
        ASSERT_EQ(point->Advise(sink, &cookie), S_OK);
        EXPECT_NE(cookie, 0u);
    }

    void LoadMovie(const std::string& script) {
        WriteTextFile(script_, script);
        ASSERT_EQ(CallMethod(dispatch_.Get(), ZB_DISPID_LOADMOVIE,
                             {IntArgument(0), TextArgument(std::wstring(L"http://example.test/booter.swf?111018"))},
                             nullptr),
                  S_OK);
    }

    std::vector<std::string> Record() const { return ReadLines(record_); }

    static StandinLibrary* library_;
    std::wstring folder_;
    std::wstring record_;
    std::wstring script_;
    std::unique_ptr<HostWindow> host_;
    ComPtr<TestSite> site_;
    ComPtr<IUnknown> control_;
    ComPtr<IOleObject> oleObject_;
    ComPtr<IDispatch> dispatch_;
};

StandinLibrary* HostedControlTest::library_ = nullptr;

TEST_F(HostedControlTest, ClassInfoLeadsToTheEventInterfaceAndItsFsCommand) {
    auto classInfo = control_.Query<IProvideClassInfo2>(IID_IProvideClassInfo2);
    ASSERT_TRUE(classInfo);
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(classInfo->GetClassInfo(coclass.Put()), S_OK);

    // The coclass's [default, source] interface is the one GetGUID names.
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->typekind, TKIND_COCLASS);
    EXPECT_TRUE(IsEqualGUID(attr->guid, CLSID_MovieStandin));
    ComPtr<ITypeInfo> source;
    for (UINT i = 0; i < attr->cImplTypes; ++i) {
        INT flags = 0;
        coclass->GetImplTypeFlags(i, &flags);
        if ((flags & (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) != (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE))
            continue;
        HREFTYPE ref = 0;
        coclass->GetRefTypeOfImplType(i, &ref);
        coclass->GetRefTypeInfo(ref, source.Put());
    }
    coclass->ReleaseTypeAttr(attr);
    ASSERT_TRUE(source);
    IID named{};
    ASSERT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &named), S_OK);
    ASSERT_EQ(source->GetTypeAttr(&attr), S_OK);
    EXPECT_TRUE(IsEqualGUID(attr->guid, named));
    EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
    const WORD functions = attr->cFuncs;
    source->ReleaseTypeAttr(attr);

    bool found = false;
    for (WORD i = 0; i < functions; ++i) {
        FUNCDESC* f = nullptr;
        source->GetFuncDesc(i, &f);
        if (f->memid == ZB_DISPID_FSCOMMAND) {
            found = true;
            ASSERT_EQ(f->cParams, 2);
            EXPECT_EQ(f->lprgelemdescParam[0].tdesc.vt, VT_BSTR);
            EXPECT_EQ(f->lprgelemdescParam[1].tdesc.vt, VT_BSTR);
            UniqueBstr name;
            source->GetDocumentation(f->memid, name.Put(), nullptr, nullptr, nullptr);
            EXPECT_STREQ(name.Get(), L"FSCommand");
        }
        source->ReleaseFuncDesc(f);
    }
    EXPECT_TRUE(found);

    // The automation type info and the control agree on the player's dispatch ids.
    ComPtr<ITypeInfo> automation;
    ASSERT_EQ(dispatch_->GetTypeInfo(0, LOCALE_USER_DEFAULT, automation.Put()), S_OK);
    struct NameId {
        const wchar_t* name;
        DISPID id;
    };
    for (NameId expected : {NameId{L"AllowFullScreen", 202}, NameId{L"FlashVars", 170}, NameId{L"LoadMovie", 142},
                            NameId{L"Play", 112}, NameId{L"GetVariable", 152}, NameId{L"CallFunction", 198}}) {
        LPOLESTR name = const_cast<LPOLESTR>(expected.name);
        MEMBERID fromTypeInfo = DISPID_UNKNOWN;
        DISPID fromControl = DISPID_UNKNOWN;
        EXPECT_EQ(automation->GetIDsOfNames(&name, 1, &fromTypeInfo), S_OK);
        EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &fromControl), S_OK);
        EXPECT_EQ(fromTypeInfo, expected.id);
        EXPECT_EQ(fromControl, expected.id);
    }
}

TEST_F(HostedControlTest, InPlaceActivationShowsAChildWindowWhereTheSitePlacesIt) {
    DWORD misc = 0;
    ASSERT_EQ(oleObject_->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
    EXPECT_EQ(misc, static_cast<DWORD>(OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INSIDEOUT |
                                       OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE));
    Activate();
    HWND window = ControlWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(GetParent(window), host_->Handle());
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    EXPECT_STREQ(className, L"ZbMovieStandin");
    const DWORD style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    const DWORD wanted = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS;
    EXPECT_EQ(style & wanted, wanted);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(SendMessageW(window, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS);

    RECT placed{};
    GetWindowRect(window, &placed);
    MapWindowPoints(nullptr, host_->Handle(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(RectJson(placed), RectJson(site_->position));

    auto inPlace = control_.Query<IOleInPlaceObject>(IID_IOleInPlaceObject);
    const RECT moved{0, 0, 200, 100};
    ASSERT_EQ(inPlace->SetObjectRects(&moved, &moved), S_OK);
    RECT onScreen{};
    GetWindowRect(window, &onScreen);
    EXPECT_EQ(onScreen.right - onScreen.left, 200);
    EXPECT_EQ(onScreen.bottom - onScreen.top, 100);

    RECT hostWindow{};
    GetWindowRect(host_->Handle(), &hostWindow);
    const auto lines = LinesWith(
        Record(), {"\"name\":\"IOleInPlaceObject::SetObjectRects\"", "\"args\":[0,0,200,100]",
                   "\"self\":" + RectJson(onScreen),
                   "\"top\":{\"hwnd\":" + Number(host_->Handle()) + ",\"window\":" + RectJson(hostWindow)});
    EXPECT_EQ(lines.size(), 1u);

    ASSERT_EQ(oleObject_->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(site_->inPlaceActivations, 1);
    EXPECT_EQ(site_->inPlaceDeactivations, 1);
}

TEST_F(HostedControlTest, UiActivationMakesTheControlTheFramesActiveObject) {
    Activate(OLEIVERB_UIACTIVATE);
    EXPECT_EQ(site_->uiActivations, 1);
    auto active = control_.Query<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject);
    EXPECT_EQ(site_->activeObject.Get(), active.Get());
    EXPECT_EQ(GetFocus(), ControlWindow());

    auto inPlace = control_.Query<IOleInPlaceObject>(IID_IOleInPlaceObject);
    ASSERT_EQ(inPlace->UIDeactivate(), S_OK);
    EXPECT_FALSE(site_->activeObject);
    EXPECT_EQ(site_->uiDeactivations, 1);
}

TEST_F(HostedControlTest, InitialPropertiesFromABagAreRecordedAndReadBack) {
    auto bag = TestPropertyBag::Create(
        {{L"WMode", L"Window"}, {L"Quality", L"High"}, {L"Scale", L"ShowAll"}, {L"AllowNetworking", L"all"}});
    auto persist = control_.Query<IPersistPropertyBag>(IID_IPersistPropertyBag);
    ASSERT_TRUE(persist);
    ASSERT_EQ(persist->InitNew(), S_OK);
    ASSERT_EQ(persist->Load(bag.Get(), nullptr), S_OK);
    auto stream = control_.Query<IPersistStreamInit>(IID_IPersistStreamInit);
    ASSERT_EQ(stream->InitNew(), S_OK);

    const auto record = Record();
    EXPECT_EQ(LinesWith(record, {"\"name\":\"IPersistPropertyBag::Load\"",
                                 "\"props\":{\"WMode\":\"Window\",\"Quality\":\"High\",\"Scale\":\"ShowAll\","
                                 "\"AllowNetworking\":\"all\"}"})
                  .size(),
              1u);
    // The two InitNew methods are told apart.
    EXPECT_EQ(LinesWith(record, {"\"name\":\"IPersistPropertyBag::InitNew\""}).size(), 1u);
    EXPECT_EQ(LinesWith(record, {"\"name\":\"IPersistStreamInit::InitNew\""}).size(), 1u);

    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT value;
    VariantInit(&value);
    ASSERT_EQ(dispatch_->Invoke(ZB_DISPID_WMODE, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr),
              S_OK);
    ASSERT_EQ(V_VT(&value), VT_BSTR);
    EXPECT_STREQ(V_BSTR(&value), L"Window");
    VariantClear(&value);
}

TEST_F(HostedControlTest, ScriptFiresFsCommandsThroughTheAdvisedSinkOnTime) {
    auto sink = FsCommandSink::Create(DIID_DZbMovieStandinEvents);
    Advise(sink.Get());
    Activate();
    ASSERT_EQ(PutText(dispatch_.Get(), ZB_DISPID_ALLOWFULLSCREEN, std::wstring(L"true")), S_OK);
    LoadMovie(
        "at 30 fs SwfInitialzed \"\"\n"
        "at 60 fs FullScreen null\n"
        "burst 90 1000 fs Unknown x\n"
        "at 120 stats\n"
        "bogus line\n");
    ASSERT_TRUE(PumpUntil([&] { return LinesWith(Record(), {"\"ev\":\"stats\""}).size() == 2; }, 5000));

    ASSERT_EQ(sink->events.size(), 1002u);
    EXPECT_EQ(sink->events[0].command, std::wstring(L"SwfInitialzed"));
    EXPECT_EQ(sink->events[0].args, std::wstring(L""));
    EXPECT_EQ(sink->events[1].command, std::wstring(L"FullScreen"));
    EXPECT_EQ(sink->events[1].args, std::nullopt);  // a null BSTR, not an empty one
    EXPECT_EQ(sink->events[1001].command, std::wstring(L"Unknown"));

    const auto record = Record();
    EXPECT_EQ(LinesWith(record, {"\"name\":\"put_AllowFullScreen\"", "\"args\":[\"true\"]"}).size(), 1u);
    const auto load = LinesWith(record, {"\"name\":\"LoadMovie\"",
                                         "\"args\":[0,\"http://example.test/booter.swf?111018\"]", "\"self\":["});
    ASSERT_EQ(load.size(), 1u);
    const auto first = LinesWith(record, {"\"ev\":\"fire\"", "\"args\":[\"SwfInitialzed\",\"\"]", "\"sinks\":1"});
    ASSERT_EQ(first.size(), 1u);
    EXPECT_GE(TimeOf(first[0]) - TimeOf(load[0]), 30);
    EXPECT_EQ(LinesWith(record, {"\"ev\":\"fire\"", "\"args\":[\"FullScreen\",null]"}).size(), 1u);
    // A burst is one line, however many events it fires.
    const auto bursts = LinesWith(record, {"\"ev\":\"fire\"", "\"Unknown\""});
    ASSERT_EQ(bursts.size(), 1u);
    EXPECT_NE(bursts[0].find("\"count\":1000"), std::string::npos);
    EXPECT_EQ(LinesWith(record, {"\"ev\":\"script\"", "\"note\":\"line 5: unknown step 'bogus'\""}).size(), 1u);
    const auto stats = LinesWith(record, {"\"ev\":\"stats\"", "\"handles\":", "\"user\":", "\"gdi\":",
                                          "\"peak_ws\":", "\"private\":"});
    ASSERT_EQ(stats.size(), 2u);
    // Counts a leak test can use, also where Wine stubs the usual calls out.
    EXPECT_EQ(stats[0].find("\"handles\":0,"), std::string::npos) << stats[0];
    EXPECT_EQ(stats[0].find("\"private\":0,"), std::string::npos) << stats[0];
    // Every line carries the time, its number in the process and the process id.
    std::uint64_t expectedSeq = 0;
    for (const std::string& line : record) {
        const size_t at = line.find(",\"seq\":");
        ASSERT_EQ(line.rfind("{\"t\":", 0), 0u) << line;
        ASSERT_NE(at, std::string::npos);
        const std::uint64_t seq = std::stoull(line.substr(at + 7));
        if (expectedSeq) {
            EXPECT_EQ(seq, expectedSeq + 1);
        }
        expectedSeq = seq;
        EXPECT_NE(line.find(",\"pid\":" + std::to_string(GetCurrentProcessId()) + ","), std::string::npos);
    }
}

TEST_F(HostedControlTest, ScriptedVariablesAnswerAndScriptedFailuresRaiseExceptions) {
    LoadMovie("var $version \"WIN 32,0,0,465\"\nfail CallFunction\n");
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(CallMethod(dispatch_.Get(), ZB_DISPID_GETVARIABLE, {TextArgument(std::wstring(L"$version"))}, &result),
              S_OK);
    ASSERT_EQ(V_VT(&result), VT_BSTR);
    EXPECT_EQ(BstrText(V_BSTR(&result)), L"WIN 32,0,0,465");
    VariantClear(&result);
    ASSERT_EQ(CallMethod(dispatch_.Get(), ZB_DISPID_GETVARIABLE, {TextArgument(std::wstring(L"unset"))}, &result),
              S_OK);
    EXPECT_EQ(V_VT(&result), VT_BSTR);
    EXPECT_EQ(V_BSTR(&result), nullptr);
    VariantClear(&result);

    EXCEPINFO exception{};
    EXPECT_EQ(CallMethod(dispatch_.Get(), ZB_DISPID_CALLFUNCTION, {TextArgument(std::wstring(L"<invoke/>"))}, &result,
                         &exception),
              DISP_E_EXCEPTION);
    EXPECT_EQ(BstrText(exception.bstrDescription), L"stand-in: CallFunction failed");
    EXPECT_EQ(exception.scode, E_FAIL);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);

    // A new LoadMovie plays a new script with its own failures.
    LoadMovie("fail GetVariable\n");
    exception = EXCEPINFO{};
    EXPECT_EQ(CallMethod(dispatch_.Get(), ZB_DISPID_GETVARIABLE, {TextArgument(std::wstring(L"$version"))}, &result,
                         &exception),
              DISP_E_EXCEPTION);
    EXPECT_EQ(BstrText(exception.bstrDescription), L"stand-in: GetVariable failed");
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    ASSERT_EQ(CallMethod(dispatch_.Get(), ZB_DISPID_CALLFUNCTION, {TextArgument(std::wstring(L"<invoke/>"))}, &result),
              S_OK);
    EXPECT_EQ(BstrText(V_BSTR(&result)), L"<undefined/>");
    VariantClear(&result);

    const auto record = Record();
    EXPECT_EQ(LinesWith(record, {"\"name\":\"CallFunction\"", "\"failed\":true"}).size(), 1u);
    EXPECT_EQ(LinesWith(record, {"\"name\":\"GetVariable\"", "\"failed\":true"}).size(), 1u);
    EXPECT_EQ(LinesWith(record, {"\"name\":\"GetVariable\"", "\"result\":\"WIN 32,0,0,465\""}).size(), 1u);
}

TEST_F(HostedControlTest, CallFunctionRecordsTheWholeRequest) {
    const std::wstring request = L"<invoke name=\"NofityClientEnvironment\" returntype=\"xml\"><arguments><string>" +
                                 std::wstring(L"\u4e2d\u6587\0&", 4) + std::wstring(1 << 20, L'a') +
                                 L"</string></arguments></invoke>";
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(CallMethod(dispatch_.Get(), ZB_DISPID_CALLFUNCTION, {TextArgument(request)}, &result), S_OK);
    VariantClear(&result);
    const auto lines = LinesWith(
        Record(), {"\"name\":\"CallFunction\",\"args\":[\"<invoke name=\\\"NofityClientEnvironment\\\" "
                   "returntype=\\\"xml\\\"><arguments><string>\\u4e2d\\u6587\\u0000&aaaa",
                   "aaaa</string></arguments></invoke>\"]"});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_GT(lines[0].size(), static_cast<size_t>(1 << 20));
}

TEST_F(HostedControlTest, KeysAreRecordedFromTranslateAcceleratorAndTheWindowWithEachSide) {
    Activate();
    HWND window = ControlWindow();
    BYTE saved[256] = {};
    GetKeyboardState(saved);
    BYTE keys[256] = {};
    keys[VK_SHIFT] = keys[VK_RSHIFT] = 0x80;
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
    SetKeyboardState(keys);

    auto active = control_.Query<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject);
    MSG keyDown{window, WM_KEYDOWN, VK_RIGHT, 0, 0, {0, 0}};
    EXPECT_EQ(active->TranslateAccelerator(&keyDown), S_FALSE);  // the host must dispatch it
    MSG mouse{window, WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
    EXPECT_EQ(active->TranslateAccelerator(&mouse), S_FALSE);
    SendMessageW(window, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageW(window, WM_CHAR, 'a', 0);
    SetKeyboardState(saved);

    const std::string sides = "\"lshift\":false,\"rshift\":true,\"lctrl\":true,\"rctrl\":false";
    const auto record = Record();
    EXPECT_EQ(LinesWith(record, {"\"ev\":\"key\",\"via\":\"TranslateAccelerator\",\"msg\":\"WM_KEYDOWN\",\"vk\":39," +
                                 sides})
                  .size(),
              1u);
    EXPECT_EQ(LinesWith(record, {"\"via\":\"window\",\"msg\":\"WM_KEYDOWN\",\"vk\":39," + sides}).size(), 1u);
    EXPECT_EQ(LinesWith(record, {"\"via\":\"window\",\"msg\":\"WM_CHAR\",\"vk\":97,"}).size(), 1u);
    EXPECT_EQ(LinesWith(record, {"\"ev\":\"key\""}).size(), 3u);  // the mouse message is no key
}

TEST_F(HostedControlTest, ProbeDescribesTheHostThreadsTopLevelWindowsFromInside) {
    Activate();
    HWND host = host_->Handle();
    SetWindowTextW(host, L"Zembaroo \u4e2d\u6587");
    HMENU systemMenu = GetSystemMenu(host, FALSE);
    ASSERT_TRUE(systemMenu);
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu, MF_STRING, 0x10, L"&About Zembaroo...");
    SetWindowLongW(host, GWL_EXSTYLE, GetWindowLongW(host, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(host, 0, 200, LWA_ALPHA);
    HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
    SendMessageW(host, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutW(ControlWindow(), RegisterWindowMessageW(L"ZbStandinProbe"), 4242, 0,
                                    SMTO_NORMAL, 2000, &answer));
    EXPECT_EQ(answer, 1u);

    const auto probes = LinesWith(Record(), {"\"ev\":\"probe\",\"tag\":4242,"});
    ASSERT_EQ(probes.size(), 1u);
    const std::string& line = probes[0];
    const size_t hostAt = line.find("{\"hwnd\":" + Number(host) + ",\"class\":\"ZbStandinTestHost\"");
    ASSERT_NE(hostAt, std::string::npos);
    const std::string hostPart = line.substr(hostAt);
    EXPECT_EQ(hostPart.find("\"text\":\"Zembaroo \\u4e2d\\u6587\""), hostPart.find("\"text\""));
    EXPECT_NE(hostPart.find("\"visible\":true"), std::string::npos);
    EXPECT_NE(hostPart.find("\"placement\":{\"flags\":0,\"show\":1,"), std::string::npos);
    EXPECT_NE(hostPart.find("\"icon_big\":" + Number(icon) + ",\"icon_small\":0,"), std::string::npos);
    EXPECT_NE(hostPart.find("\"layered\":{\"key\":0,\"alpha\":200,\"flags\":2}"), std::string::npos);
    // Items the program appends come last (after Wine's "About Wine").
    EXPECT_NE(hostPart.find("{\"id\":16,\"flags\":0,\"text\":\"&About Zembaroo...\"}]"), std::string::npos);
}

TEST_F(HostedControlTest, CloseStepClosesTheTopLevelWindow) {
    Activate();
    LoadMovie("at 40 close\n");
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(host_->Handle()); }, 3000));
    EXPECT_FALSE(ControlWindow());
    EXPECT_EQ(LinesWith(Record(), {"\"ev\":\"script\"", "\"note\":\"close\""}).size(), 1u);
}

// With no environment the paths come from moviestandin.ini beside the DLL, and a Unix
// path there is taken as Wine's Z: path.
TEST(StandinConfigurationTest, RecordPathComesFromTheIniBesideTheDll) {
    const std::wstring folder = NewTempFolder();
    const std::wstring dll = folder + L"moviestandin.dll";
    ASSERT_TRUE(CopyFileW(StandinLibrary::DefaultPath().c_str(), dll.c_str(), FALSE));
    const std::string unixRecord = "/tmp/zb-standin-ini-" + std::to_string(GetCurrentProcessId()) + ".jsonl";
    std::wstring windowsRecord = L"Z:" + std::wstring(unixRecord.begin(), unixRecord.end());
    for (wchar_t& c : windowsRecord) {
        if (c == L'/') c = L'\\';
    }
    DeleteFileW(windowsRecord.c_str());
    WriteTextFile(folder + L"moviestandin.ini", "# test\r\nrecord=" + unixRecord + "\r\n");
    SetEnvironmentVariableW(L"ZB_STANDIN_RECORD", nullptr);
    SetEnvironmentVariableW(L"ZB_STANDIN_SCRIPT", nullptr);
    {
        StandinLibrary copy(dll);
        ASSERT_TRUE(copy.Loaded());
        ASSERT_NE(copy.Module(), GetModuleHandleW(StandinLibrary::DefaultPath().c_str()));
        ComPtr<IUnknown> control = copy.CreateControl();
        ASSERT_TRUE(control);
    }
    EXPECT_EQ(LinesWith(ReadLines(windowsRecord), {"\"name\":\"IClassFactory::CreateInstance\""}).size(), 1u);
    DeleteFileW(windowsRecord.c_str());
    DeleteFileW(dll.c_str());
    DeleteFileW((folder + L"moviestandin.ini").c_str());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace standin::test
