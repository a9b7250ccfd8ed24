// Failure injection for tests: a device call asks the active host whether it
// should fail (HeadlessHost::SetCallFails("<CallName>", true)).
#pragma once

namespace valmere::d3d8 {

bool InjectedFailure(const char* callName);

}  // namespace valmere::d3d8
