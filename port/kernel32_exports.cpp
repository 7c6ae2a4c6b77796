#include "port/last_error.h"
#include "port/module_exports.h"

namespace {
const PortExport kKernel32Exports[] = {
    PORT_EXPORT(GetLastError),
    PORT_EXPORT(SetLastError),
    PORT_EXPORT(LoadLibraryA),
    PORT_EXPORT(GetModuleHandleA),
    PORT_EXPORT(GetProcAddress),
    PORT_EXPORT(FreeLibrary),
};
}  // namespace

std::span<const PortExport> Kernel32Exports() { return kKernel32Exports; }
