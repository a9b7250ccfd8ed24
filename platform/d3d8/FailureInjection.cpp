#include "platform/d3d8/FailureInjection.h"

#include "platform/host/Host.h"

namespace valmere::d3d8 {

bool InjectedFailure(const char* callName) { return host::CurrentHost().ShouldFail(callName); }

}  // namespace valmere::d3d8
