// Helpers shared by the image readers: little-endian field reads,
// overflow-checked size arithmetic and the rejection reason.
#pragma once

#include "platform/win32/Win32.h"

#include <cstddef>
#include <cstdint>

namespace valmere {

inline UINT ReadLe16(const BYTE* p) { return static_cast<UINT>(p[0]) | (static_cast<UINT>(p[1]) << 8); }

inline UINT ReadLe32(const BYTE* p) {
    return static_cast<UINT>(p[0]) | (static_cast<UINT>(p[1]) << 8) | (static_cast<UINT>(p[2]) << 16) |
           (static_cast<UINT>(p[3]) << 24);
}

// Sizes from files are computed in 64 bits and every step is checked: a
// false result means the value does not exist in memory and the file is bad.
inline bool CheckedMul(std::uint64_t a, std::uint64_t b, std::uint64_t& out) {
    return !__builtin_mul_overflow(a, b, &out);
}
inline bool CheckedAdd(std::uint64_t a, std::uint64_t b, std::uint64_t& out) {
    return !__builtin_add_overflow(a, b, &out);
}
// Rounds up to a multiple of 4; v must be below 2^63 (a product of two 32-bit values is).
inline std::uint64_t AlignUp4(std::uint64_t v) { return (v + 3) & ~std::uint64_t{3}; }

inline bool FitsUint32(std::uint64_t v) { return v <= 0xFFFFFFFFu; }

// Whether [offset, offset + count) lies inside `size` bytes.
inline bool RangeFits(std::uint64_t offset, std::uint64_t count, std::size_t size) {
    return offset <= size && count <= size - offset;
}

// Records why a reader turned the bytes down ("TGA: colour map does not
// fit") and returns E_FAIL. The reason is kept per thread until the next one.
HRESULT Reject(const char* reason);
// The same with the reason formatted as by printf ("DDS: DXGI format %u (%s)
// is not read"), kept in a per-thread buffer of 160 bytes.
HRESULT RejectFormatted(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The last reason given on this thread, or "" when none was.
const char* LastRejection();

}  // namespace valmere
