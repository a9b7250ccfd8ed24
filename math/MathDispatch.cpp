// The dispatch table, its first-call stubs and the variant selection.
#include "math/MathDispatch.h"

#include "math/CpuFeatures.h"

namespace valmere::math {
namespace {

// Selects the variant set on first use, then calls through the filled slot
// with the caller's arguments.
template <std::size_t S, typename F = SlotFunction<S>>
struct FirstCallStub;
template <std::size_t S, typename R, typename... A>
struct FirstCallStub<S, R (*)(A...)> {
    static R Call(A... args) {
        D3DXCpuOptimizations(TRUE);
        return LoadSlot<S>()(args...);
    }
};

template <std::size_t S>
constexpr SlotFunction<S> InitialSlot() {
    if constexpr (S == kQuaternionLn || S == kQuaternionExp) {
        return nullptr;
    } else {
        return &FirstCallStub<S>::Call;
    }
}

template <std::size_t... S>
constexpr MathSlotTable InitialTable(std::index_sequence<S...>) {
    return MathSlotTable(InitialSlot<S>()...);
}

template <std::size_t... S>
void Publish(const MathFunctionTable& table, std::index_sequence<S...>) {
    (std::get<S>(MathDispatchTable).store(std::get<S>(table), std::memory_order_relaxed), ...);
}
void Publish(const MathFunctionTable& table) { Publish(table, std::make_index_sequence<kMathSlotCount>()); }

std::uint32_t ChooseVariant() {
    DWORD disable = 0;
    if (!ReadDirect3DRegistryValue(REG_DWORD, "DisableD3DXPSGP", &disable, sizeof disable)) disable = 0;
    if (disable == 1) return kVariantPortable;
    if (ProcessorHasFeature(PF_3DNOW_INSTRUCTIONS_AVAILABLE)) return kVariant3DNow;
    if (ProcessorHasFeature(PF_XMMI64_INSTRUCTIONS_AVAILABLE)) return kVariantSse2;
    if (ProcessorHasFeature(PF_XMMI_INSTRUCTIONS_AVAILABLE)) return kVariantSse;
    return kVariantPortable;
}

}  // namespace

constinit MathSlotTable MathDispatchTable = InitialTable(std::make_index_sequence<kMathSlotCount>());
constinit std::atomic<std::uint32_t> MathVariantState{kVariantNotSelected};

MathFunctionTable BuildVariantTable(std::uint32_t state) {
    MathFunctionTable table = PortableMathTable;
    if (state == kVariantNotSelected) return table;
    InstallX87Subset(table);
    switch (state) {
        // Processors that run this build have no 3DNow!, so no 3DNow! code is
        // carried: state 1 keeps the portable set and the x87 subset, as it
        // does on a processor without the MMX and 3DNow! CPUID flags.
        case kVariant3DNow: break;
        case kVariantSse2: InstallSse2Set(table); break;
        case kVariantSse: InstallSseSet(table); break;
        default: break;
    }
    return table;
}

}  // namespace valmere::math

using namespace valmere::math;

DWORD D3DXCpuOptimizations(BOOL enable) {
    if (!enable) {
        MathVariantState.store(kVariantNotSelected, std::memory_order_release);
        Publish(PortableMathTable);
        return kVariantNotSelected;
    }
    const std::uint32_t current = MathVariantState.load(std::memory_order_acquire);
    if (current != kVariantNotSelected) return current;
    // The state is published only once the table is filled, so a caller that
    // sees a selected state never finds a first-call stub in its slot.
    const std::uint32_t state = ChooseVariant();
    Publish(BuildVariantTable(state));
    MathVariantState.store(state, std::memory_order_release);
    return state;
}
