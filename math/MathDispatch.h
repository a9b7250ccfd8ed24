// MathDispatchTable: the 57 most used math operations are called through a
// table of function pointers. The public entries (MathEntries.cpp) load
// their slot and jump through it. At start every slot holds a first-call
// stub that runs the selection (D3DXCpuOptimizations(TRUE)) and then calls
// through the filled slot; slots 55 and 56 start empty and their public
// entries call D3DXCpuOptimizations(TRUE) on every call.
//
// Selection fills the table from PortableMathTable, installs the x87
// subset (slots 0 to 7), and, unless the registry value "DisableD3DXPSGP"
// is 1, the first of the 3DNow!, SSE2 and SSE sets the processor supports.
//
// Normalisation and reciprocals in the SIMD sets (the portable rules are in
// D3DXMath.h):
// - x87 Vec3Normalize: zero when q is 0 or denormal, the input when
//   |q − 1| ≤ 1e-5, otherwise scaled by the piecewise-linear 1/√q of
//   InvSqrtTable.h.
// - SSE and SSE2 Vec3Normalize, PlaneNormalize, Vec4Normalize and
//   QuaternionNormalize: zero when q < 2⁻⁴⁶, otherwise scaled by the rsqrt
//   estimate refined once, r′ = 0.5·r·(3 − q·r²) (about 23 bits); no
//   shortcut for q near 1.
// - SSE and SSE2 divisions (TransformCoord, MatrixInverse, PlaneIntersectLine,
//   QuaternionInverse) multiply by the rcp estimate refined once,
//   r′ = 2r − x·r² (about 23 bits).
//
// Slots are std::atomic pointers written and read with relaxed order: two
// threads may run the selection at once; both write the same contents, and
// the state is published only after the table is filled.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <tuple>
#include <utility>

#include "math/PortableMath.h"

namespace valmere::math {

enum MathSlot : std::size_t {
    kVec2Transform, kVec3Transform, kVec4Transform, kMatrixMultiply, kMatrixMultiplyTranspose,
    kVec2TransformNormal, kVec3TransformNormal, kVec3Normalize, kVec4Normalize, kVec2TransformCoord,
    kVec3TransformCoord, kMatrixfDeterminant, kPlaneFromPointNormal, kPlaneFromPoints, kVec3Project,
    kVec3Unproject, kVec4Cross, kVec2Hermite, kMatrixInverse, kQuaternionMultiply,
    kQuaternionNormalize, kPlaneNormalize, kPlaneIntersectLine, kQuaternionToAxisAngle,
    kQuaternionRotationMatrix, kQuaternionRotationYawPitchRoll, kMatrixTranslation, kMatrixShadow,
    kMatrixReflect, kQuaternionRotationAxis, kMatrixRotationX, kMatrixRotationY, kMatrixRotationZ,
    kMatrixScaling, kPlaneTransform, kQuaternionSlerp, kQuaternionBaryCentric, kMatrixTranspose,
    kMatrixRotationQuaternion, kMatrixTransformation, kMatrixRotationYawPitchRoll,
    kMatrixAffineTransformation, kMatrixRotationAxis, kQuaternionSquad, kQuaternionInverse,
    kQuaternionSquadSetup, kVec2Normalize, kVec2CatmullRom, kVec2BaryCentric, kVec3Hermite,
    kVec3CatmullRom, kVec3BaryCentric, kVec4Hermite, kVec4CatmullRom, kVec4BaryCentric,
    kQuaternionLn, kQuaternionExp, kMathSlotCount
};

// The portable implementation of every slot, in slot order. Its type,
// MathFunctionTable, is also the type of a variant set being assembled.
inline constexpr std::tuple PortableMathTable{
    &portable::Vec2Transform, &portable::Vec3Transform, &portable::Vec4Transform, &portable::MatrixMultiply,
    &portable::MatrixMultiplyTranspose, &portable::Vec2TransformNormal, &portable::Vec3TransformNormal,
    &portable::Vec3Normalize, &portable::Vec4Normalize, &portable::Vec2TransformCoord,
    &portable::Vec3TransformCoord, &portable::MatrixfDeterminant, &portable::PlaneFromPointNormal,
    &portable::PlaneFromPoints, &portable::Vec3Project, &portable::Vec3Unproject, &portable::Vec4Cross,
    &portable::Vec2Hermite, &portable::MatrixInverse, &portable::QuaternionMultiply,
    &portable::QuaternionNormalize, &portable::PlaneNormalize, &portable::PlaneIntersectLine,
    &portable::QuaternionToAxisAngle, &portable::QuaternionRotationMatrix,
    &portable::QuaternionRotationYawPitchRoll, &portable::MatrixTranslation, &portable::MatrixShadow,
    &portable::MatrixReflect, &portable::QuaternionRotationAxis, &portable::MatrixRotationX,
    &portable::MatrixRotationY, &portable::MatrixRotationZ, &portable::MatrixScaling, &portable::PlaneTransform,
    &portable::QuaternionSlerp, &portable::QuaternionBaryCentric, &portable::MatrixTranspose,
    &portable::MatrixRotationQuaternion, &portable::MatrixTransformation, &portable::MatrixRotationYawPitchRoll,
    &portable::MatrixAffineTransformation, &portable::MatrixRotationAxis, &portable::QuaternionSquad,
    &portable::QuaternionInverse, &portable::QuaternionSquadSetup, &portable::Vec2Normalize,
    &portable::Vec2CatmullRom, &portable::Vec2BaryCentric, &portable::Vec3Hermite, &portable::Vec3CatmullRom,
    &portable::Vec3BaryCentric, &portable::Vec4Hermite, &portable::Vec4CatmullRom, &portable::Vec4BaryCentric,
    &portable::QuaternionLn, &portable::QuaternionExp};

using MathFunctionTable = std::remove_const_t<decltype(PortableMathTable)>;
static_assert(std::tuple_size_v<MathFunctionTable> == kMathSlotCount, "one portable function per slot");

template <std::size_t S>
using SlotFunction = std::tuple_element_t<S, MathFunctionTable>;

namespace detail {
template <typename Sequence>
struct AtomicSlots;
template <std::size_t... S>
struct AtomicSlots<std::index_sequence<S...>> {
    using type = std::tuple<std::atomic<SlotFunction<S>>...>;
};
}  // namespace detail

using MathSlotTable = detail::AtomicSlots<std::make_index_sequence<kMathSlotCount>>::type;

// Hidden: the library is linked statically, so no other module binds to
// the table, and each public entry is a single `jmp *slot(%rip)` without a
// load of the table's address first.
extern MathSlotTable MathDispatchTable __attribute__((visibility("hidden")));

// MathVariantState values.
inline constexpr std::uint32_t kVariantNotSelected = 0xFFFF;
inline constexpr std::uint32_t kVariantPortable = 0;  // portable set with the x87 subset
inline constexpr std::uint32_t kVariant3DNow = 1;
inline constexpr std::uint32_t kVariantSse2 = 2;
inline constexpr std::uint32_t kVariantSse = 3;

extern std::atomic<std::uint32_t> MathVariantState;

template <std::size_t S>
inline SlotFunction<S> LoadSlot() {
    return std::get<S>(MathDispatchTable).load(std::memory_order_relaxed);
}

// Variant sets: each replaces its slots in `table` (see the slot lists in
// VariantSets.cpp). The SSE and SSE2 sets are empty in builds without x86
// SIMD.
void InstallX87Subset(MathFunctionTable& table);
void InstallSseSet(MathFunctionTable& table);
void InstallSse2Set(MathFunctionTable& table);

// The table a selection with the given state installs.
MathFunctionTable BuildVariantTable(std::uint32_t state);

}  // namespace valmere::math
