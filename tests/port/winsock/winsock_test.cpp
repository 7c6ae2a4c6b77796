#include "port/win32.h"

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <thread>

#include <gtest/gtest.h>

namespace {

sockaddr_in Loopback(u_short port) {
  sockaddr_in a;
  std::memset(&a, 0, sizeof a);
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = inet_addr("127.0.0.1");
  return a;
}

const sockaddr* Name(const sockaddr_in& a) { return reinterpret_cast<const sockaddr*>(&a); }

// Binds to some free loopback port (other programs may hold any given one) and returns it.
u_short BindSomewhere(SOCKET s) {
  std::random_device seed;
  u_short port = static_cast<u_short>(20000 + seed() % 30000);
  for (int tries = 0; tries < 200; ++tries, ++port) {
    sockaddr_in a = Loopback(port);
    if (bind(s, Name(a), sizeof a) == 0) return port;
    if (WSAGetLastError() != WSAEADDRINUSE) break;
  }
  ADD_FAILURE() << "no free port, last error " << WSAGetLastError();
  return 0;
}

class Winsock : public testing::Test {
 protected:
  void SetUp() override {
    WSADATA data;
    ASSERT_EQ(WSAStartup(0x0202, &data), 0);
  }
  void TearDown() override {
    EXPECT_EQ(WSACleanup(), 0);
    EXPECT_EQ(PortOpenSocketCount(), 0);
  }
};

TEST_F(Winsock, StreamOverLoopback) {
  SOCKET server = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  ASSERT_NE(server, INVALID_SOCKET);
  u_short port = BindSomewhere(server);
  ASSERT_NE(port, 0);
  ASSERT_EQ(listen(server, SOMAXCONN), 0);

  SOCKET client = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_NE(client, INVALID_SOCKET);
  sockaddr_in target = Loopback(port);
  ASSERT_EQ(connect(client, Name(target), sizeof target), 0) << WSAGetLastError();

  sockaddr_in peer;
  int peerLength = sizeof peer;
  SOCKET accepted = accept(server, reinterpret_cast<sockaddr*>(&peer), &peerLength);
  ASSERT_NE(accepted, INVALID_SOCKET) << WSAGetLastError();
  EXPECT_EQ(peerLength, static_cast<int>(sizeof peer));
  EXPECT_EQ(peer.sin_family, AF_INET);
  EXPECT_EQ(peer.sin_addr.s_addr, inet_addr("127.0.0.1"));
  EXPECT_NE(peer.sin_port, 0);

  // 3,000 bytes each way, with every byte value.
  std::string out(3000, '\0');
  for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<char>(i * 7 + 3);
  ASSERT_EQ(send(client, out.data(), static_cast<int>(out.size()), 0), 3000);
  std::string in(3000, '\0');
  int got = 0;
  // A peek leaves the bytes queued.
  char first[4];
  ASSERT_EQ(recv(accepted, first, 4, MSG_PEEK), 4);
  EXPECT_EQ(std::memcmp(first, out.data(), 4), 0);
  while (got < 3000) {
    int n = recv(accepted, in.data() + got, 3000 - got, 0);
    ASSERT_GT(n, 0) << WSAGetLastError();
    got += n;
  }
  EXPECT_EQ(in, out);

  const char reply[] = "reply";
  ASSERT_EQ(send(accepted, reply, 5, 0), 5);
  char back[8] = {};
  int n = 0;
  while (n < 5) {
    int r = recv(client, back + n, 5 - n, 0);
    ASSERT_GT(r, 0);
    n += r;
  }
  EXPECT_STREQ(back, "reply");

  // Shutting the sending side gives the peer an orderly end of data.
  ASSERT_EQ(shutdown(client, SD_SEND), 0);
  EXPECT_EQ(recv(accepted, back, sizeof back, 0), 0);

  EXPECT_EQ(closesocket(accepted), 0);
  EXPECT_EQ(closesocket(client), 0);
  EXPECT_EQ(closesocket(server), 0);
}

TEST_F(Winsock, DatagramsCarryTheSender) {
  SOCKET a = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  SOCKET b = socket(AF_INET, SOCK_DGRAM, 0);
  ASSERT_NE(a, INVALID_SOCKET);
  ASSERT_NE(b, INVALID_SOCKET);
  u_short portA = BindSomewhere(a);
  u_short portB = BindSomewhere(b);
  ASSERT_NE(portA, 0);
  ASSERT_NE(portB, 0);

  sockaddr_in toB = Loopback(portB);
  ASSERT_EQ(sendto(a, "datagram", 8, 0, Name(toB), sizeof toB), 8) << WSAGetLastError();
  char buffer[16] = {};
  sockaddr_in from;
  int fromLength = sizeof from;
  ASSERT_EQ(recvfrom(b, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromLength),
            8);
  EXPECT_EQ(std::string(buffer, 8), "datagram");
  EXPECT_EQ(ntohs(from.sin_port), portA);
  EXPECT_EQ(from.sin_addr.s_addr, inet_addr("127.0.0.1"));

  // A from buffer too small for an IPv4 address is refused before anything is read.
  int small = 4;
  EXPECT_EQ(recvfrom(b, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &small),
            SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
  EXPECT_EQ(closesocket(a), 0);
  EXPECT_EQ(closesocket(b), 0);
}

TEST_F(Winsock, BadCallsFailWithWinsockCodes) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  SOCKET udp = socket(AF_INET, SOCK_DGRAM, 0);
  SOCKET closed = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_NE(s, INVALID_SOCKET);
  ASSERT_NE(udp, INVALID_SOCKET);
  ASSERT_EQ(closesocket(closed), 0);
  sockaddr_in a = Loopback(1);
  sockaddr_in other = a;
  other.sin_family = 23;
  char buffer[4];
  auto failed = [](SOCKET r) { return r == INVALID_SOCKET ? SOCKET_ERROR : 0; };

  struct Case {
    const char* what;
    std::function<int()> call;
    int error;
  } cases[] = {
      {"socket of another family", [&] { return failed(socket(23, SOCK_STREAM, 0)); },
       WSAEAFNOSUPPORT},
      {"raw socket", [&] { return failed(socket(AF_INET, 3, 0)); }, WSAESOCKTNOSUPPORT},
      {"stream over UDP", [&] { return failed(socket(AF_INET, SOCK_STREAM, IPPROTO_UDP)); },
       WSAEPROTONOSUPPORT},
      {"number never given", [&] { return closesocket(12345); }, WSAENOTSOCK},
      {"closesocket twice", [&] { return closesocket(closed); }, WSAENOTSOCK},
      {"send on a closed socket", [&] { return send(closed, "x", 1, 0); }, WSAENOTSOCK},
      {"bind with a short name", [&] { return bind(s, Name(a), 8); }, WSAEFAULT},
      {"bind with no name", [&] { return bind(s, nullptr, sizeof a); }, WSAEFAULT},
      {"bind another family", [&] { return bind(s, Name(other), sizeof other); }, WSAEAFNOSUPPORT},
      {"listen on a datagram socket", [&] { return listen(udp, 1); }, WSAEOPNOTSUPP},
      {"accept on a datagram socket", [&] { return failed(accept(udp, nullptr, nullptr)); },
       WSAEOPNOTSUPP},
      {"recv on an unconnected stream", [&] { return recv(s, buffer, 4, 0); }, WSAENOTCONN},
      {"recv with a negative length", [&] { return recv(s, buffer, -1, 0); }, WSAEFAULT},
      {"send with an unknown flag", [&] { return send(udp, "x", 1, 0x100); }, WSAEOPNOTSUPP},
      {"shutdown in no direction", [&] { return shutdown(s, 7); }, WSAEINVAL},
      {"socket messages to a window", [&] { return WSAAsyncSelect(s, nullptr, 0x500, FD_READ); },
       WSAEOPNOTSUPP},
  };
  for (const Case& c : cases) {
    SetLastError(0);
    EXPECT_EQ(c.call(), SOCKET_ERROR) << c.what;
    EXPECT_EQ(WSAGetLastError(), c.error) << c.what;
  }
  // Winsock's error is the thread's last error.
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(WSAEOPNOTSUPP));
  EXPECT_EQ(closesocket(s), 0);
  EXPECT_EQ(closesocket(udp), 0);
}

TEST_F(Winsock, ConnectWithoutListenerIsRefused) {
  SOCKET probe = socket(AF_INET, SOCK_STREAM, 0);
  u_short port = BindSomewhere(probe);  // bound but not listening: nobody accepts there
  ASSERT_NE(port, 0);
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in target = Loopback(port);
  EXPECT_EQ(connect(s, Name(target), sizeof target), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAECONNREFUSED);
  closesocket(s);
  closesocket(probe);
}

TEST_F(Winsock, SendingToAGonePeerFailsWithoutASignal) {
  SOCKET server = socket(AF_INET, SOCK_STREAM, 0);
  u_short port = BindSomewhere(server);
  ASSERT_EQ(listen(server, 1), 0);
  SOCKET client = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in target = Loopback(port);
  ASSERT_EQ(connect(client, Name(target), sizeof target), 0);
  SOCKET accepted = accept(server, nullptr, nullptr);
  ASSERT_NE(accepted, INVALID_SOCKET);
  ASSERT_EQ(closesocket(accepted), 0);
  // The first sends may still be taken; once the reset is back every send fails, and the
  // process must live through it.
  int result = 0;
  for (int i = 0; i < 500 && result != SOCKET_ERROR; ++i) {
    result = send(client, "data", 4, 0);
    if (result != SOCKET_ERROR) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(result, SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAECONNRESET);
  closesocket(client);
  closesocket(server);
}

TEST(WinsockStartup, VersionsAndCleanup) {
  WSADATA data;
  EXPECT_EQ(WSAStartup(0x0202, nullptr), WSAEFAULT);
  EXPECT_EQ(WSAStartup(0x0000, &data), WSAVERNOTSUPPORTED);
  EXPECT_EQ(data.wHighVersion, 0x0202);
  // Nothing works before a successful start-up.
  EXPECT_EQ(socket(AF_INET, SOCK_STREAM, 0), INVALID_SOCKET);
  EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
  EXPECT_EQ(WSACleanup(), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);

  struct {
    WORD asked, given;
  } versions[] = {{0x0101, 0x0101}, {0x0202, 0x0202}, {0x0303, 0x0202}, {0x0002, 0x0002}};
  for (auto v : versions) {
    ASSERT_EQ(WSAStartup(v.asked, &data), 0);
    EXPECT_EQ(data.wVersion, v.given) << std::hex << v.asked;
    EXPECT_EQ(data.wHighVersion, 0x0202);
  }
  // Start-ups nest: sockets live until the last cleanup, which closes what is still open.
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_NE(s, INVALID_SOCKET);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(WSACleanup(), 0);
  EXPECT_EQ(PortOpenSocketCount(), 1);
  ASSERT_EQ(WSACleanup(), 0);
  EXPECT_EQ(PortOpenSocketCount(), 0);
  ASSERT_EQ(WSAStartup(0x0202, &data), 0);
  EXPECT_EQ(closesocket(s), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
  EXPECT_EQ(WSACleanup(), 0);
}

TEST(WinsockAddresses, InetAddrForms) {
  struct {
    const char* text;
    uint32_t hostOrder;  // INADDR_NONE for a refused text
  } cases[] = {
      {"127.0.0.1", 0x7F000001u},  {"1.2.3.4", 0x01020304u},    {"0x7f.1", 0x7F000001u},
      {"127.1", 0x7F000001u},      {"010.0.0.1", 0x08000001u},  {"1.2.65535", 0x0102FFFFu},
      {"1.16777215", 0x01FFFFFFu}, {"3232235777", 0xC0A80101u}, {"0", 0u},
      {"1.2.3.256", INADDR_NONE},  {"1.2.3.4.5", INADDR_NONE},  {"", INADDR_NONE},
      {"abc", INADDR_NONE},        {"1..2", INADDR_NONE},       {"0x", INADDR_NONE},
      {"4294967296", INADDR_NONE}, {"1.2.3.4 ", INADDR_NONE},   {"08", INADDR_NONE},
      {"1.16777216", INADDR_NONE}, {"1.2.3.", INADDR_NONE},     {"-1", INADDR_NONE},
  };
  for (const auto& c : cases) {
    ULONG got = inet_addr(c.text);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(&got);
    uint32_t asRead =
        (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
    EXPECT_EQ(asRead, c.hostOrder) << '"' << c.text << '"';
  }
  EXPECT_EQ(inet_addr(nullptr), INADDR_NONE);

  u_short net = htons(0x1234);
  const unsigned char* b = reinterpret_cast<const unsigned char*>(&net);
  EXPECT_EQ(b[0], 0x12);
  EXPECT_EQ(b[1], 0x34);
  EXPECT_EQ(ntohs(net), 0x1234);
}

TEST_F(Winsock, HostLookups) {
  hostent* h = gethostbyname("127.0.0.1");
  ASSERT_NE(h, nullptr) << WSAGetLastError();
  EXPECT_EQ(h->h_addrtype, AF_INET);
  EXPECT_EQ(h->h_length, 4);
  ASSERT_NE(h->h_addr_list[0], nullptr);
  ULONG first;
  std::memcpy(&first, h->h_addr_list[0], 4);
  EXPECT_EQ(first, inet_addr("127.0.0.1"));
  EXPECT_EQ(h->h_addr_list[1], nullptr);
  ASSERT_NE(h->h_aliases, nullptr);
  EXPECT_EQ(h->h_aliases[0], nullptr);

  ULONG loopback = inet_addr("127.0.0.1");
  h = gethostbyaddr(reinterpret_cast<const char*>(&loopback), 4, AF_INET);
  ASSERT_NE(h, nullptr) << WSAGetLastError();
  EXPECT_GT(std::strlen(h->h_name), 0u);
  EXPECT_EQ(gethostbyaddr(reinterpret_cast<const char*>(&loopback), 3, AF_INET), nullptr);
  EXPECT_EQ(WSAGetLastError(), WSAEFAULT);

  char name[256];
  ASSERT_EQ(gethostname(name, static_cast<int>(sizeof name)), 0);
  size_t length = std::strlen(name);
  ASSERT_GT(length, 0u);
  // Exactly the name and its NUL fit; one byte less does not.
  EXPECT_EQ(gethostname(name, static_cast<int>(length)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
  EXPECT_EQ(gethostname(name, static_cast<int>(length + 1)), 0);
}

TEST(WinsockModule, EveryTableFunctionResolves) {
  HMODULE m = LoadLibraryA("WS2_32.DLL");
  ASSERT_NE(m, nullptr);
  const char* names[] = {"WSAGetLastError",
                         "WSAStartup",
                         "WSACleanup",
                         "WSAAsyncSelect",
                         "gethostbyaddr",
                         "gethostbyname",
                         "gethostname",
                         "ntohs",
                         "htons",
                         "connect",
                         "socket",
                         "send",
                         "sendto",
                         "recvfrom",
                         "accept",
                         "closesocket",
                         "shutdown",
                         "listen",
                         "bind",
                         "inet_addr",
                         "recv"};
  for (const char* n : names) EXPECT_NE(GetProcAddress(m, n), nullptr) << n;
  // What the table hands out is the working function.
  auto startup = reinterpret_cast<int (*)(WORD, LPWSADATA)>(
      reinterpret_cast<void*>(GetProcAddress(m, "WSAStartup")));
  auto makeSocket = reinterpret_cast<SOCKET (*)(int, int, int)>(
      reinterpret_cast<void*>(GetProcAddress(m, "socket")));
  auto close =
      reinterpret_cast<int (*)(SOCKET)>(reinterpret_cast<void*>(GetProcAddress(m, "closesocket")));
  auto cleanup =
      reinterpret_cast<int (*)()>(reinterpret_cast<void*>(GetProcAddress(m, "WSACleanup")));
  WSADATA data;
  ASSERT_EQ(startup(0x0202, &data), 0);
  SOCKET s = makeSocket(AF_INET, SOCK_DGRAM, 0);
  EXPECT_NE(s, INVALID_SOCKET);
  EXPECT_EQ(close(s), 0);
  EXPECT_EQ(cleanup(), 0);
  EXPECT_TRUE(FreeLibrary(m));
}

}  // namespace
