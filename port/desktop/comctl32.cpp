#include "port/desktop/comctl32.h"

#include "port/kernel/module_exports.h"

void WINAPI InitCommonControls() {}

namespace {
const PortExport kComctl32Exports[] = {
    PORT_EXPORT(InitCommonControls),
};
}  // namespace

std::span<const PortExport> Comctl32Exports() { return kComctl32Exports; }
