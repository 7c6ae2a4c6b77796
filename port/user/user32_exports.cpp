// The functions "user32.dll" exports to GetProcAddress.
#include "port/kernel/module_exports.h"
#include "port/user/user32.h"

namespace {
const PortExport kUser32Exports[] = {
    PORT_EXPORT(WINNLSEnableIME),  PORT_EXPORT(RegisterClassExA), PORT_EXPORT(UnregisterClassA),
    PORT_EXPORT(CreateWindowExA),  PORT_EXPORT(DestroyWindow),    PORT_EXPORT(FindWindowA),
    PORT_EXPORT(ShowWindow),       PORT_EXPORT(UpdateWindow),     PORT_EXPORT(PeekMessageA),
    PORT_EXPORT(PostMessageA),     PORT_EXPORT(SendMessageA),     PORT_EXPORT(DispatchMessageA),
    PORT_EXPORT(TranslateMessage), PORT_EXPORT(DefWindowProcA),   PORT_EXPORT(MessageBoxA),
};
}  // namespace

std::span<const PortExport> User32Exports() { return kUser32Exports; }
