// XQ_ASSERT: the preconditions and invariants the code relies on, checked where the build asks for
// it. With XQ_ASSERTIONS set (Debug builds and the sanitizer build the tests run in) a false
// condition prints the file, the line and the condition, then aborts. Otherwise the condition is
// only type-checked, never evaluated, so an assertion costs nothing in the game's Release build
// and may call a function that is too slow for it (PositionIsConsistent).
#pragma once

namespace xq {

#if defined(XQ_ASSERTIONS) && XQ_ASSERTIONS
inline constexpr bool kAssertionsOn = true;
#else
inline constexpr bool kAssertionsOn = false;
#endif

// Prints "file:line: assertion failed: condition" to stderr and aborts.
[[noreturn]] void AssertionFailed(const char* condition, const char* file, int line);

}  // namespace xq

#if defined(XQ_ASSERTIONS) && XQ_ASSERTIONS
#define XQ_ASSERT(condition) \
    ((condition) ? static_cast<void>(0) : ::xq::AssertionFailed(#condition, __FILE__, __LINE__))
#else
#define XQ_ASSERT(condition) static_cast<void>(sizeof(!(condition)))
#endif
