#include "runtime/platform/startup/network.h"

#include <gtest/gtest.h>

#include "tests/support/log_capture.h"

namespace {

TEST(Network, InertLayerRefusesEveryHandleQuietly) {
  LogCapture log(0);
  EXPECT_EQ(NetworkStarted, 0);
  EXPECT_EQ(NetworkHandles.type, HandleTypeNetwork);
  EXPECT_EQ(NetworkHandles.capacity, 8192);
  EXPECT_EQ(NetworkHandles.count, 0);

  const int handles[] = {-1, 0, MakeHandle(HandleTypeNetwork, 0, 0),
                         MakeHandle(HandleTypeNetwork, 5, 8191), MakeHandle(HandleTypeGraph, 0, 0)};
  for (int h : handles) {
    EXPECT_EQ(RecvSocket(h), -1) << h;
    EXPECT_EQ(SendSocket(h), -1) << h;
    EXPECT_EQ(CloseSocketAfterFlush(h), -1) << h;
    EXPECT_EQ(CloseSocketNow(h), -1) << h;
  }
  EXPECT_EQ(PumpSocketMessages(0), 0);
  EXPECT_EQ(PumpSocketMessages(1), 0);
  EXPECT_EQ(TerminateNetwork(), 0);
  EXPECT_EQ(log.Contents(), "");
}

TEST(Network, SocketEventForNoConnectionIsLogged) {
  LogCapture log(1000);
  LogCapture::SetTime(1007);
  EXPECT_EQ(HandleSocketEvent(FD_READ, 0x104), 0);
  EXPECT_EQ(log.Contents(), "7:通信エラー No.1\r\n");

  // The search is over the live connections: a socket that one of them owns is not an error.
  int h = AllocHandle(&NetworkHandles, sizeof(NetworkConnection), __FILE__, __LINE__);
  ASSERT_GE(h, 0);
  static_cast<NetworkConnection*>(GetHandleRecord(&NetworkHandles, h))->socket = 0x104;
  EXPECT_EQ(HandleSocketEvent(FD_READ, 0x104), 0);
  EXPECT_EQ(HandleSocketEvent(FD_CLOSE, 0x108), 0);
  ASSERT_EQ(ReleaseHandle(&NetworkHandles, h), 0);
  EXPECT_EQ(log.Contents(), "7:通信エラー No.1\r\n7:通信エラー No.1\r\n");
}

}  // namespace
