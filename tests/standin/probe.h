// The answer to the "ZbStandinProbe" message: a description of every top-level window of
// the calling thread, read from inside the host's process, where Wine's menus, placement,
// icons and layered attributes are faithful.
#pragma once

#include "json_line.h"

#include <windows.h>

namespace standin {

UINT ProbeMessage();  // RegisterWindowMessageW(L"ZbStandinProbe")
JsonLine ProbeLine(WPARAM tag);

}  // namespace standin
