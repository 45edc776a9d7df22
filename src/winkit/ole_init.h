#pragma once
namespace winkit {
// OLE is needed on the UI thread for in-place activation; initialised once, on first use,
// and uninitialised when the application ends.
void ensure_ole_initialized() noexcept;
void end_ole() noexcept;
}  // namespace winkit
