#pragma once
// Whether the movie player control is installed: false only when its class is not
// registered. Any other outcome of creating it, success or failure, counts as installed.
bool IsFlashPlayerInstalled();
