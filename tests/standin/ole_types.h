// Stands for the header of ole_types.idl in the header widl generates: the real system
// declarations of what that IDL file only names.
#pragma once
#include <ocidl.h>
#include <oleauto.h>
