// Windows XP has no GetTickCount64, which the posix-threads runtime (winpthreads)
// imports for its timeouts; an import the system lacks stops the program before
// it starts. The program's own import slot answers instead: the system's
// function where there is one, else GetTickCount with its wraps counted.

#include <atomic>
#include <cstdint>

#include "store/win32/windows_api.h"

namespace {

ULONGLONG WINAPI TickCount64() {
  using TickCount64Fn = ULONGLONG(WINAPI*)();
  static const auto system = reinterpret_cast<TickCount64Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
  if (system) return system();
  // GetTickCount wraps every 49.7 days: the high half counts the wraps seen.
  static std::atomic<std::uint64_t> last{0};
  std::uint64_t previous = last.load();
  for (;;) {
    std::uint64_t now = (previous & ~std::uint64_t{0xffffffff}) | GetTickCount();
    if (now < previous) now += std::uint64_t{1} << 32;
    if (last.compare_exchange_weak(previous, now)) return now;
  }
}

}  // namespace

// The import slot the runtime calls through, by the name the import library
// would give it.
#if defined(__i386__)
extern "C" ULONGLONG(WINAPI* const korvanta_get_tick_count64)() __asm__("__imp__GetTickCount64@0");
extern "C" ULONGLONG(WINAPI* const korvanta_get_tick_count64)() = TickCount64;
#else
extern "C" ULONGLONG(WINAPI* const korvanta_get_tick_count64)() __asm__("__imp_GetTickCount64");
extern "C" ULONGLONG(WINAPI* const korvanta_get_tick_count64)() = TickCount64;
#endif
