#include "runtime/platform/startup/network.h"

#include "runtime/platform/core/log.h"

namespace {
void* gNetworkSlots[HandleCapacity(HandleTypeNetwork)];
}  // namespace

int NetworkStarted = 0;
HandleTable NetworkHandles = MakeHandleTable(HandleTypeNetwork, gNetworkSlots);

// Both return at once while the layer is not started, and nothing in this system starts it.
int PumpSocketMessages(int) { return 0; }
int TerminateNetwork() { return 0; }

int HandleSocketEvent(int, SOCKET socket) {
  for (int slot = 0; slot < NetworkHandles.endIndex; ++slot) {
    auto* connection = static_cast<NetworkConnection*>(NetworkHandles.slots[slot]);
    if (connection && connection->socket == socket) return 0;
  }
  WriteLogText("通信エラー No.1\n");
  return 0;
}

// No call of this system opens a connection, so no handle names one and each of these refuses.
int RecvSocket(int) { return -1; }
int SendSocket(int) { return -1; }
int CloseSocketAfterFlush(int) { return -1; }
int CloseSocketNow(int) { return -1; }
