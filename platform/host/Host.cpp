#include "platform/host/Host.h"

#include "platform/host/HeadlessHost.h"

namespace valmere::host {
namespace {

std::unique_ptr<Host>& ActiveHost() {
    static std::unique_ptr<Host> host;
    return host;
}

}  // namespace

Host& CurrentHost() {
    if (!ActiveHost()) ActiveHost() = std::make_unique<HeadlessHost>();
    return *ActiveHost();
}

Host& InstallHost(std::unique_ptr<Host> host) {
    ActiveHost() = std::move(host);
    return CurrentHost();
}

}  // namespace valmere::host
