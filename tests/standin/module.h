// The DLL's lock count: live objects and IClassFactory::LockServer locks.
#pragma once

namespace standin {

void LockModule() noexcept;
void UnlockModule() noexcept;
long ModuleLockCount() noexcept;

}  // namespace standin
