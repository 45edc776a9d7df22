#pragma once
// The player vendor's download page, opened when the player control is missing.
inline constexpr wchar_t kFlashPlayerDownloadPage[] = L"http://get.player-vendor.example/download/";

// The message shown when the player control is missing.
inline constexpr wchar_t kMissingPlayerMessage[] =
    L"\u6CA1\u6709\u5728\u60A8\u7684\u7CFB\u7EDF\u68C0\u6D4B\u5230 Flash \u64AD\u653E\u5668\uFF0C"
    L"\u8BF7\u4E0B\u8F7D\u540E\u5B89\u88C5\uFF01";

// The key named for the framework's per-user profile; nothing is stored under it.
inline constexpr wchar_t kProfileRegistryKey[] = L"Local AppWizard-Generated Applications";
