// The stats line: handle, USER and GDI object counts and memory of the host's process,
// for tests that look for leaks across a long run.
#pragma once

#include "json_line.h"

namespace standin {

JsonLine StatsLine();

}  // namespace standin
