#pragma once
// The application object: one global instance, whose InitInstance the entry point calls
// once. When it returns FALSE the process ends without a message loop of its own.
#include <windows.h>

#include <string>

namespace winkit {

class Window;

class Application {
public:
    Application() noexcept;
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* Get() noexcept;

    virtual BOOL InitInstance();

    HINSTANCE GetInstance() const noexcept { return instance_; }
    // The executable's file name without its extension.
    const std::wstring& GetAppName() const noexcept { return app_name_; }

    // Names the key under HKCU\Software where a profile would live; nothing is created.
    void SetRegistryKey(const wchar_t* company);
    const std::wstring& GetRegistryKey() const noexcept { return registry_key_; }

    // A modal message box captioned with the application's name, owned by the main window.
    // A type without an icon gets the warning icon.
    int ShowMessageBox(const std::wstring& text, UINT type = MB_OK, UINT help_context = 0);

    // Routes a command through the application's command table; false when none handles it.
    bool OnCommand(UINT id);

    // The help request: ends in the main window's WinHelp.
    void OnHelp();

    // The entry point's call: records the module, runs InitInstance and returns the exit code.
    int Run(HINSTANCE instance);

    Window* m_pMainWnd = nullptr;

protected:
    struct CommandEntry {
        UINT id;  // 0 ends the table
        void (*handler)(Application& app);
    };
    virtual const CommandEntry* GetCommandMap() const;

private:
    HINSTANCE instance_ = nullptr;
    std::wstring app_name_;
    std::wstring registry_key_;
};

}  // namespace winkit
