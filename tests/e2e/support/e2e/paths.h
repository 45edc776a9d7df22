#pragma once
// Where things are: the build folder and the programs in it, as Windows paths (Z:\... under
// Wine), and a fresh scratch folder per test for records, scripts and screenshots.

#include <filesystem>
#include <string>
#include <string_view>

namespace e2e {

// "/work/x/build" -> "Z:\work\x\build"; a path that already has a drive keeps it.
std::filesystem::path toWindowsPath(std::string_view buildPath);

std::filesystem::path buildDir();
// The client program; it may not be built yet in the harness's own tests.
std::filesystem::path clientExe();
// The stand-in movie control's DLL.
std::filesystem::path standinDll();

// build/e2e-runs/<suite>.<test>/, emptied on the first call within a test and kept for
// the rest of it (and after it, to be looked at).
std::filesystem::path scratchDir();
// The same folder for a named test, created when missing but never emptied.
std::filesystem::path runDirOf(std::string_view suite, std::string_view test);

// Writes UTF-8 text as it is (no BOM, no newline conversion).
void writeTextFile(const std::filesystem::path& file, std::string_view text);

}  // namespace e2e
