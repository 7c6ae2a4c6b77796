// The export lists of the port's built-in modules, one function per module, each defined
// beside the functions it lists. module_table.cpp names the modules.
#pragma once

#include "port/kernel/module_table.h"

std::span<const PortExport> Kernel32Exports();
std::span<const PortExport> Ole32Exports();
std::span<const PortExport> DsoundExports();
std::span<const PortExport> WinmmExports();
std::span<const PortExport> Ws2_32Exports();
std::span<const PortExport> User32Exports();
std::span<const PortExport> Imm32Exports();
std::span<const PortExport> D3d9Exports();
std::span<const PortExport> Comctl32Exports();
std::span<const PortExport> DwmapiExports();
std::span<const PortExport> Msacm32Exports();
