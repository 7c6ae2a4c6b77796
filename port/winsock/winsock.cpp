#include "port/winsock/winsock.h"

#include <bit>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "port/kernel/last_error.h"
#include "port/kernel/module_exports.h"
#include "port/winsock/host_sockets.h"

namespace {

struct PortSocket {
  int fd;
  int kind;  // HostSocketKind
};

std::mutex gMutex;
int gStartupCount = 0;
std::map<SOCKET, PortSocket> gSockets;
// Socket numbers look like Windows ones (multiples of 4) and are not reused while the process
// runs, so a closed socket's number stays refused.
SOCKET gNextSocket = 0x100;

int Fail(int code) {
  SetLastError(static_cast<DWORD>(code));
  return SOCKET_ERROR;
}

bool Started() {
  std::lock_guard lock(gMutex);
  return gStartupCount > 0;
}

// The descriptor of a socket, or -1 with the winsock error set.
int Lookup(SOCKET s, int* kind = nullptr) {
  std::lock_guard lock(gMutex);
  if (gStartupCount == 0) return Fail(WSANOTINITIALISED);
  auto it = gSockets.find(s);
  if (it == gSockets.end()) return Fail(WSAENOTSOCK);
  if (kind) *kind = it->second.kind;
  return it->second.fd;
}

SOCKET Register(int fd, int kind) {
  std::lock_guard lock(gMutex);
  SOCKET s = gNextSocket;
  gNextSocket += 4;
  gSockets[s] = PortSocket{fd, kind};
  return s;
}

// A caller's IPv4 address, or -1 with the winsock error set.
int ReadAddress(const sockaddr* name, int nameLength, HostSocketAddress* out) {
  if (!name || nameLength < static_cast<int>(sizeof(sockaddr_in))) return Fail(WSAEFAULT);
  sockaddr_in in;
  std::memcpy(&in, name, sizeof in);
  if (in.sin_family != AF_INET) return Fail(WSAEAFNOSUPPORT);
  *out = HostSocketAddress{in.sin_addr.s_addr, in.sin_port};
  return 0;
}

void WriteAddress(const HostSocketAddress& a, sockaddr* name, int* nameLength) {
  sockaddr_in in;
  std::memset(&in, 0, sizeof in);
  in.sin_family = AF_INET;
  in.sin_port = a.port;
  in.sin_addr.s_addr = a.address;
  std::memcpy(name, &in, sizeof in);
  *nameLength = sizeof in;
}

int CheckBuffer(const void* data, int length) {
  if (length < 0 || (!data && length > 0)) return Fail(WSAEFAULT);
  return 0;
}

uint32_t ToNetwork32(uint32_t v) {
  if constexpr (std::endian::native == std::endian::big) return v;
  return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

// The per-thread result of the host look-ups.
struct HostEntryStorage {
  std::string name;
  std::vector<uint32_t> addresses;
  std::vector<char*> addressPointers;
  char* aliases[1] = {nullptr};
  hostent entry;
};
thread_local HostEntryStorage gHostEntry;

hostent* FillHostEntry(const std::string& name, const std::vector<uint32_t>& addresses) {
  HostEntryStorage& h = gHostEntry;
  h.name = name;
  h.addresses = addresses;
  h.addressPointers.clear();
  for (uint32_t& a : h.addresses) h.addressPointers.push_back(reinterpret_cast<char*>(&a));
  h.addressPointers.push_back(nullptr);
  h.entry.h_name = h.name.data();
  h.entry.h_aliases = h.aliases;
  h.entry.h_addrtype = AF_INET;
  h.entry.h_length = 4;
  h.entry.h_addr_list = h.addressPointers.data();
  return &h.entry;
}

}  // namespace

int WINAPI WSAGetLastError() { return static_cast<int>(GetLastError()); }

int WINAPI WSAStartup(WORD versionRequested, LPWSADATA data) {
  const WORD highest = 0x0202;
  int major = LOBYTE(versionRequested), minor = HIBYTE(versionRequested);
  if (!data) return WSAEFAULT;
  std::memset(data, 0, sizeof *data);
  data->wHighVersion = highest;
  if (major < 1) return WSAVERNOTSUPPORTED;
  data->wVersion = (major > 2 || (major == 2 && minor > 2)) ? highest : versionRequested;
  std::strcpy(data->szDescription, "Port sockets over the host's IPv4 stack");
  std::strcpy(data->szSystemStatus, "Running");
  std::lock_guard lock(gMutex);
  ++gStartupCount;
  return 0;
}

int WINAPI WSACleanup() {
  std::vector<int> closing;
  {
    std::lock_guard lock(gMutex);
    if (gStartupCount == 0) return Fail(WSANOTINITIALISED);
    // The last cleanup closes every socket still open, as winsock does.
    if (--gStartupCount == 0) {
      for (auto& [s, sock] : gSockets) closing.push_back(sock.fd);
      gSockets.clear();
    }
  }
  for (int fd : closing) HostSocketClose(fd);
  return 0;
}

int WINAPI WSAAsyncSelect(SOCKET s, HWND, UINT, LONG) {
  if (Lookup(s) < 0) return SOCKET_ERROR;
  return Fail(WSAEOPNOTSUPP);
}

hostent* WINAPI gethostbyaddr(const char* address, int length, int type) {
  if (!Started()) return Fail(WSANOTINITIALISED), nullptr;
  if (!address) return Fail(WSAEFAULT), nullptr;
  if (type != AF_INET) return Fail(WSAEAFNOSUPPORT), nullptr;
  if (length != 4) return Fail(WSAEFAULT), nullptr;
  uint32_t a;
  std::memcpy(&a, address, 4);
  std::string name;
  int error;
  if (HostLookupAddress(a, &name, &error) != 0) return Fail(error), nullptr;
  return FillHostEntry(name, {a});
}

hostent* WINAPI gethostbyname(const char* name) {
  if (!Started()) return Fail(WSANOTINITIALISED), nullptr;
  std::string own;
  int error;
  if (!name) {  // the local machine
    if (HostGetName(&own, &error) != 0) return Fail(error), nullptr;
    name = own.c_str();
  }
  std::string canonical;
  std::vector<uint32_t> addresses;
  if (HostLookupName(name, &canonical, &addresses, &error) != 0) return Fail(error), nullptr;
  return FillHostEntry(canonical, addresses);
}

int WINAPI gethostname(char* name, int nameLength) {
  if (!Started()) return Fail(WSANOTINITIALISED);
  if (!name || nameLength <= 0) return Fail(WSAEFAULT);
  std::string own;
  int error;
  if (HostGetName(&own, &error) != 0) return Fail(error);
  if (own.size() + 1 > static_cast<size_t>(nameLength)) return Fail(WSAEFAULT);
  std::memcpy(name, own.c_str(), own.size() + 1);
  return 0;
}

u_short WINAPI ntohs(u_short value) { return htons(value); }

u_short WINAPI htons(u_short value) {
  if constexpr (std::endian::native == std::endian::big) return value;
  return static_cast<u_short>((value >> 8) | (value << 8));
}

// "a.b.c.d", and the shorter forms "a.b.c", "a.b", "a" whose last part fills the remaining
// bytes; each part decimal, octal (leading 0) or hexadecimal (0x). INADDR_NONE otherwise.
ULONG WINAPI inet_addr(const char* text) {
  if (!text) return INADDR_NONE;
  uint32_t parts[4];
  int count = 0;
  const char* p = text;
  for (;;) {
    if (*p < '0' || *p > '9') return INADDR_NONE;
    int base = 10;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
      base = 16;
      p += 2;
    } else if (p[0] == '0') {
      base = 8;
    }
    uint64_t value = 0;
    int digits = 0;
    for (;; ++p, ++digits) {
      int d;
      if (*p >= '0' && *p <= '9')
        d = *p - '0';
      else if (*p >= 'a' && *p <= 'f')
        d = *p - 'a' + 10;
      else if (*p >= 'A' && *p <= 'F')
        d = *p - 'A' + 10;
      else
        break;
      if (d >= base) break;
      value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
      if (value > 0xFFFFFFFFu) return INADDR_NONE;
    }
    if (base == 16 && digits == 0) return INADDR_NONE;
    if (count == 4) return INADDR_NONE;
    parts[count++] = static_cast<uint32_t>(value);
    if (*p != '.') break;
    ++p;
  }
  if (*p != '\0') return INADDR_NONE;
  // Every part but the last is one byte; the last fills what is left.
  for (int i = 0; i < count - 1; ++i)
    if (parts[i] > 0xFF) return INADDR_NONE;
  const int lastBits = 32 - 8 * (count - 1);
  if (lastBits < 32 && parts[count - 1] >> lastBits) return INADDR_NONE;
  uint32_t host = parts[count - 1];
  for (int i = 0; i < count - 1; ++i) host |= parts[i] << (24 - 8 * i);
  return ToNetwork32(host);
}

SOCKET WINAPI socket(int family, int type, int protocol) {
  if (!Started()) return Fail(WSANOTINITIALISED), INVALID_SOCKET;
  if (family != AF_INET) return Fail(WSAEAFNOSUPPORT), INVALID_SOCKET;
  int kind = type == SOCK_STREAM ? kHostSocketStream : type == SOCK_DGRAM ? kHostSocketDatagram : 0;
  if (!kind) return Fail(WSAESOCKTNOSUPPORT), INVALID_SOCKET;
  int error;
  int fd = HostSocketOpen(kind, protocol, &error);
  if (fd < 0) return Fail(error), INVALID_SOCKET;
  return Register(fd, kind);
}

int WINAPI bind(SOCKET s, const sockaddr* name, int nameLength) {
  int fd = Lookup(s);
  if (fd < 0) return SOCKET_ERROR;
  HostSocketAddress a;
  if (ReadAddress(name, nameLength, &a) != 0) return SOCKET_ERROR;
  int error;
  return HostSocketBind(fd, a, &error) == 0 ? 0 : Fail(error);
}

int WINAPI listen(SOCKET s, int backlog) {
  int kind;
  int fd = Lookup(s, &kind);
  if (fd < 0) return SOCKET_ERROR;
  if (kind != kHostSocketStream) return Fail(WSAEOPNOTSUPP);
  int error;
  return HostSocketListen(fd, backlog, &error) == 0 ? 0 : Fail(error);
}

SOCKET WINAPI accept(SOCKET s, sockaddr* address, int* addressLength) {
  int kind;
  int fd = Lookup(s, &kind);
  if (fd < 0) return INVALID_SOCKET;
  if (kind != kHostSocketStream) return Fail(WSAEOPNOTSUPP), INVALID_SOCKET;
  if (address && (!addressLength || *addressLength < static_cast<int>(sizeof(sockaddr_in))))
    return Fail(WSAEFAULT), INVALID_SOCKET;
  HostSocketAddress peer;
  int error;
  int client = HostSocketAccept(fd, &peer, &error);
  if (client < 0) return Fail(error), INVALID_SOCKET;
  if (address) WriteAddress(peer, address, addressLength);
  return Register(client, kHostSocketStream);
}

int WINAPI connect(SOCKET s, const sockaddr* name, int nameLength) {
  int fd = Lookup(s);
  if (fd < 0) return SOCKET_ERROR;
  HostSocketAddress a;
  if (ReadAddress(name, nameLength, &a) != 0) return SOCKET_ERROR;
  int error;
  return HostSocketConnect(fd, a, &error) == 0 ? 0 : Fail(error);
}

int WINAPI send(SOCKET s, const char* data, int length, int flags) {
  int fd = Lookup(s);
  if (fd < 0 || CheckBuffer(data, length) != 0) return SOCKET_ERROR;
  int error;
  int n = HostSocketSend(fd, data, length, flags, nullptr, &error);
  return n >= 0 ? n : Fail(error);
}

int WINAPI sendto(SOCKET s, const char* data, int length, int flags, const sockaddr* to,
                  int toLength) {
  int fd = Lookup(s);
  if (fd < 0 || CheckBuffer(data, length) != 0) return SOCKET_ERROR;
  HostSocketAddress a;
  const HostSocketAddress* target = nullptr;
  if (to) {
    if (ReadAddress(to, toLength, &a) != 0) return SOCKET_ERROR;
    target = &a;
  }
  int error;
  int n = HostSocketSend(fd, data, length, flags, target, &error);
  return n >= 0 ? n : Fail(error);
}

int WINAPI recv(SOCKET s, char* data, int length, int flags) {
  int fd = Lookup(s);
  if (fd < 0 || CheckBuffer(data, length) != 0) return SOCKET_ERROR;
  int error;
  int n = HostSocketReceive(fd, data, length, flags, nullptr, &error);
  return n >= 0 ? n : Fail(error);
}

int WINAPI recvfrom(SOCKET s, char* data, int length, int flags, sockaddr* from, int* fromLength) {
  int fd = Lookup(s);
  if (fd < 0 || CheckBuffer(data, length) != 0) return SOCKET_ERROR;
  if (from && (!fromLength || *fromLength < static_cast<int>(sizeof(sockaddr_in))))
    return Fail(WSAEFAULT);
  HostSocketAddress sender;
  int error;
  int n = HostSocketReceive(fd, data, length, flags, from ? &sender : nullptr, &error);
  if (n < 0) return Fail(error);
  if (from) WriteAddress(sender, from, fromLength);
  return n;
}

int WINAPI shutdown(SOCKET s, int how) {
  int fd = Lookup(s);
  if (fd < 0) return SOCKET_ERROR;
  int error;
  return HostSocketShutdown(fd, how, &error) == 0 ? 0 : Fail(error);
}

int WINAPI closesocket(SOCKET s) {
  int fd;
  {
    std::lock_guard lock(gMutex);
    if (gStartupCount == 0) return Fail(WSANOTINITIALISED);
    auto it = gSockets.find(s);
    if (it == gSockets.end()) return Fail(WSAENOTSOCK);
    fd = it->second.fd;
    gSockets.erase(it);
  }
  HostSocketClose(fd);
  return 0;
}

int PortOpenSocketCount() {
  std::lock_guard lock(gMutex);
  return static_cast<int>(gSockets.size());
}

namespace {
// gethostname is also declared by the host's headers with another signature: name ours.
int (*const kGetHostName)(char*, int) = &gethostname;

const PortExport kWs2_32Exports[] = {
    PORT_EXPORT(WSAGetLastError),
    PORT_EXPORT(WSAStartup),
    PORT_EXPORT(WSACleanup),
    PORT_EXPORT(WSAAsyncSelect),
    PORT_EXPORT(gethostbyaddr),
    PORT_EXPORT(gethostbyname),
    PortExport{"gethostname",
               reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(kGetHostName))},
    PORT_EXPORT(ntohs),
    PORT_EXPORT(htons),
    PORT_EXPORT(connect),
    PORT_EXPORT(socket),
    PORT_EXPORT(send),
    PORT_EXPORT(sendto),
    PORT_EXPORT(recvfrom),
    PORT_EXPORT(accept),
    PORT_EXPORT(closesocket),
    PORT_EXPORT(shutdown),
    PORT_EXPORT(listen),
    PORT_EXPORT(bind),
    PORT_EXPORT(inet_addr),
    PORT_EXPORT(recv),
};
}  // namespace

std::span<const PortExport> Ws2_32Exports() { return kWs2_32Exports; }
