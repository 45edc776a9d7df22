#pragma once
// The system registry as a RegistrySeam (Windows build only, settings_win).

#include "settings/registry_seam.h"

// The one stateless adapter over RegOpenKeyExW, RegQueryValueExW, RegCreateKeyExW,
// RegSetValueExW and RegCloseKey.
RegistrySeam& SystemRegistry();
