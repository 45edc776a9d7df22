// Key messages that reach the control, with the state of the left and right Shift and
// Ctrl keys as the thread sees them for that message.
#pragma once

#include "json_line.h"

#include <windows.h>

#include <optional>

namespace standin {

// nullopt for a message that is not one of the recorded key messages.
std::optional<JsonLine> KeyLine(const char* via, UINT message, WPARAM vk);

}  // namespace standin
