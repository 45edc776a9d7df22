#pragma once
// A read-only IPropertyBag over a control's initial property set.
#include <ocidl.h>

#include <string>
#include <utility>
#include <vector>

#include "winkit/com_ptr.h"

namespace winkit {

com_ptr<IPropertyBag> make_property_bag(std::vector<std::pair<std::wstring, std::wstring>> values);

}  // namespace winkit
