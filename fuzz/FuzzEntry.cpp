// The libFuzzer entry point of the call targets: each target's own file
// defines Run, which reads the input as the byte layout at its top says.
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    valmere::fuzz::FuzzInput in(data, size);
    valmere::fuzz::Run(in);
    return 0;
}
