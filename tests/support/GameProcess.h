// Runs the viewer's process lifecycle inside a test: the four globals are
// destroyed (in reverse order) and built again (in order) on a fresh
// HeadlessHost, so that every test starts from a new process. A test may
// make platform calls fail before the globals are built.
#pragma once

#include <functional>

#include "platform/host/HeadlessHost.h"

namespace valmere::test {

// Ends the current globals, resets the platform (windows, registry, focus,
// system-info overrides), installs a fresh HeadlessHost, lets `prepare` set
// it up (failures, scripted input), then builds the globals in the order
// camera, application, input, world. Returns the host.
host::HeadlessHost& StartProcess(const std::function<void(host::HeadlessHost&)>& prepare = {});

// Runs the destructors of the globals in the reverse order of construction,
// as at process exit. The globals stay destroyed until the next
// StartProcess (which every test fixture calls); at the end of the test
// program they are rebuilt so that the static destructors find live objects.
void EndProcess();

// The active HeadlessHost of the current process.
host::HeadlessHost& Host();

}  // namespace valmere::test
