#pragma once
// Controls of the native build's in-memory registry, for tests.
namespace platform::memreg {

// Forgets every key and value (the machine keys filled at start come back on next use).
void Clear();
// false makes every attempt to open a machine key for writing fail, as for a user without
// administrator rights; true (the default) allows it.
void SetMachineWritable(bool writable);

}  // namespace platform::memreg
