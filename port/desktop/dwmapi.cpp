#include "port/desktop/dwmapi.h"

#include <atomic>

#include "port/kernel/module_exports.h"

namespace {

std::atomic<int> gCallCount{0};
std::atomic<int> gLastAction{-1};

}  // namespace

HRESULT WINAPI DwmEnableComposition(UINT compositionAction) {
  if (compositionAction != DWM_EC_DISABLECOMPOSITION &&
      compositionAction != DWM_EC_ENABLECOMPOSITION)
    return E_INVALIDARG;
  gLastAction = static_cast<int>(compositionAction);
  ++gCallCount;
  return S_OK;
}

int PortDesktopCompositionCallCount() { return gCallCount; }
int PortDesktopCompositionLastAction() { return gLastAction; }

void PortResetDesktopComposition() {
  gCallCount = 0;
  gLastAction = -1;
}

namespace {
const PortExport kDwmapiExports[] = {
    PORT_EXPORT(DwmEnableComposition),
};
}  // namespace

std::span<const PortExport> DwmapiExports() { return kDwmapiExports; }
