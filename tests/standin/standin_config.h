// Where the record and the movie script are: the environment first
// (ZB_STANDIN_RECORD, ZB_STANDIN_SCRIPT), then moviestandin.ini beside the DLL
// (lines record=PATH, script=PATH). Windows and Unix paths are both accepted.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace standin {

std::wstring RecordPath();
std::wstring ScriptPath();

// The value of `key=` in an ini text; blanks around key and value, a UTF-8 BOM, CR line
// ends and lines starting with '#' or ';' are ignored. Keys compare without case.
std::optional<std::string> IniValue(std::string_view text, std::string_view key);

// "/tmp/x" becomes the DOS name Wine gives it (Z:\tmp\x); other paths stay as they are.
std::wstring ToWindowsPath(const std::wstring& path);

// The module that holds this code (the DLL, or a program that links the code in).
HMODULE ThisModule();
std::wstring ThisModuleDirectory();

// Reads a whole file; nullopt when it cannot be opened.
std::optional<std::string> ReadWholeFile(const std::wstring& path);

}  // namespace standin
