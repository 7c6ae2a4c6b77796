#include "port/winsock/host_sockets.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include <algorithm>

#include "port/winsock/winsock_errors.h"

namespace {

int WinsockErrorFromErrno(int e) {
  switch (e) {
    case EINTR:
      return WSAEINTR;
    case EBADF:
      return WSAEBADF;
    case EACCES:
    case EPERM:
      return WSAEACCES;
    case EFAULT:
      return WSAEFAULT;
    case EINVAL:
      return WSAEINVAL;
    case EMFILE:
    case ENFILE:
      return WSAEMFILE;
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
    case EAGAIN:
      return WSAEWOULDBLOCK;
    case EINPROGRESS:
      return WSAEINPROGRESS;
    case EALREADY:
      return WSAEALREADY;
    case ENOTSOCK:
      return WSAENOTSOCK;
    case EDESTADDRREQ:
      return WSAEDESTADDRREQ;
    case EMSGSIZE:
      return WSAEMSGSIZE;
    case EPROTOTYPE:
      return WSAEPROTOTYPE;
    case ENOPROTOOPT:
      return WSAENOPROTOOPT;
    case EPROTONOSUPPORT:
      return WSAEPROTONOSUPPORT;
    case ESOCKTNOSUPPORT:
      return WSAESOCKTNOSUPPORT;
    case EOPNOTSUPP:
      return WSAEOPNOTSUPP;
    case EPFNOSUPPORT:
      return WSAEPFNOSUPPORT;
    case EAFNOSUPPORT:
      return WSAEAFNOSUPPORT;
    case EADDRINUSE:
      return WSAEADDRINUSE;
    case EADDRNOTAVAIL:
      return WSAEADDRNOTAVAIL;
    case ENETDOWN:
      return WSAENETDOWN;
    case ENETUNREACH:
      return WSAENETUNREACH;
    case ENETRESET:
      return WSAENETRESET;
    case ECONNABORTED:
      return WSAECONNABORTED;
    case ECONNRESET:
    case EPIPE:
      return WSAECONNRESET;
    case ENOBUFS:
    case ENOMEM:
      return WSAENOBUFS;
    case EISCONN:
      return WSAEISCONN;
    case ENOTCONN:
      return WSAENOTCONN;
    case ESHUTDOWN:
      return WSAESHUTDOWN;
    case ETIMEDOUT:
      return WSAETIMEDOUT;
    case ECONNREFUSED:
      return WSAECONNREFUSED;
    case ENAMETOOLONG:
      return WSAENAMETOOLONG;
    case EHOSTDOWN:
      return WSAEHOSTDOWN;
    case EHOSTUNREACH:
      return WSAEHOSTUNREACH;
    default:
      return WSAEINVAL;
  }
}

int Fail(int* error) {
  *error = WinsockErrorFromErrno(errno);
  return -1;
}

sockaddr_in ToHost(const HostSocketAddress& a) {
  sockaddr_in s;
  std::memset(&s, 0, sizeof s);
  s.sin_family = AF_INET;
  s.sin_port = a.port;
  s.sin_addr.s_addr = a.address;
  return s;
}

HostSocketAddress FromHost(const sockaddr_in& s) { return {s.sin_addr.s_addr, s.sin_port}; }

// Winsock flag numbers to the host's; -1 for a flag the port does not carry.
int HostMessageFlags(int flags) {
  constexpr int kOob = 0x1, kPeek = 0x2, kDontRoute = 0x4;
  if (flags & ~(kOob | kPeek | kDontRoute)) return -1;
  int host = 0;
  if (flags & kOob) host |= MSG_OOB;
  if (flags & kPeek) host |= MSG_PEEK;
  if (flags & kDontRoute) host |= MSG_DONTROUTE;
  return host;
}

int WinsockErrorFromLookup(int code) {
  switch (code) {
    case EAI_NONAME:
      return WSAHOST_NOT_FOUND;
    case EAI_AGAIN:
      return WSATRY_AGAIN;
#ifdef EAI_NODATA
    case EAI_NODATA:
#endif
    case EAI_ADDRFAMILY:
      return WSANO_DATA;
    case EAI_MEMORY:
      return WSAENOBUFS;
    default:
      return WSANO_RECOVERY;
  }
}

}  // namespace

int HostSocketOpen(int kind, int protocol, int* error) {
  int type;
  if (kind == kHostSocketStream && (protocol == 0 || protocol == IPPROTO_TCP))
    type = SOCK_STREAM;
  else if (kind == kHostSocketDatagram && (protocol == 0 || protocol == IPPROTO_UDP))
    type = SOCK_DGRAM;
  else {
    *error = (kind == kHostSocketStream || kind == kHostSocketDatagram) ? WSAEPROTONOSUPPORT
                                                                        : WSAESOCKTNOSUPPORT;
    return -1;
  }
  int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, protocol);
  if (fd < 0) return Fail(error);
  if (type == SOCK_STREAM) {
    // A stream port whose last connection lingers in TIME_WAIT can be bound again, as on
    // Windows; a port that another socket listens on still cannot.
    int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  }
  return fd;
}

void HostSocketClose(int fd) {
  // Wakes any thread still blocked on the socket before the descriptor goes away.
  ::shutdown(fd, SHUT_RDWR);
  ::close(fd);
}

int HostSocketBind(int fd, const HostSocketAddress& address, int* error) {
  sockaddr_in s = ToHost(address);
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&s), sizeof s) != 0) return Fail(error);
  return 0;
}

int HostSocketListen(int fd, int backlog, int* error) {
  if (backlog < 0) backlog = 0;
  if (backlog > SOMAXCONN) backlog = SOMAXCONN;
  if (::listen(fd, backlog) != 0) return Fail(error);
  return 0;
}

int HostSocketAccept(int fd, HostSocketAddress* peer, int* error) {
  sockaddr_in s;
  socklen_t length;
  int client;
  do {
    length = sizeof s;
    client = ::accept4(fd, reinterpret_cast<sockaddr*>(&s), &length, SOCK_CLOEXEC);
  } while (client < 0 && errno == EINTR);
  if (client < 0) return Fail(error);
  if (peer) *peer = FromHost(s);
  return client;
}

int HostSocketConnect(int fd, const HostSocketAddress& address, int* error) {
  sockaddr_in s = ToHost(address);
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&s), sizeof s) != 0) return Fail(error);
  return 0;
}

int HostSocketSend(int fd, const void* data, int length, int flags, const HostSocketAddress* to,
                   int* error) {
  int hostFlags = HostMessageFlags(flags);
  if (hostFlags < 0) {
    *error = WSAEOPNOTSUPP;
    return -1;
  }
  // A peer that has gone away is an error result, never a signal that ends the process.
  hostFlags |= MSG_NOSIGNAL;
  sockaddr_in s;
  if (to) s = ToHost(*to);
  ssize_t n;
  do {
    n = to ? ::sendto(fd, data, static_cast<size_t>(length), hostFlags,
                      reinterpret_cast<const sockaddr*>(&s), sizeof s)
           : ::send(fd, data, static_cast<size_t>(length), hostFlags);
  } while (n < 0 && errno == EINTR);
  if (n < 0) return Fail(error);
  return static_cast<int>(n);
}

int HostSocketReceive(int fd, void* data, int length, int flags, HostSocketAddress* from,
                      int* error) {
  int hostFlags = HostMessageFlags(flags);
  if (hostFlags < 0) {
    *error = WSAEOPNOTSUPP;
    return -1;
  }
  sockaddr_in s;
  std::memset(&s, 0, sizeof s);
  socklen_t slen = sizeof s;
  ssize_t n;
  do {
    n = ::recvfrom(fd, data, static_cast<size_t>(length), hostFlags,
                   from ? reinterpret_cast<sockaddr*>(&s) : nullptr, from ? &slen : nullptr);
  } while (n < 0 && errno == EINTR);
  if (n < 0) return Fail(error);
  if (from) *from = FromHost(s);
  return static_cast<int>(n);
}

int HostSocketShutdown(int fd, int how, int* error) {
  static const int kHow[] = {SHUT_RD, SHUT_WR, SHUT_RDWR};
  if (how < 0 || how > 2) {
    *error = WSAEINVAL;
    return -1;
  }
  if (::shutdown(fd, kHow[how]) != 0) return Fail(error);
  return 0;
}

int HostGetName(std::string* name, int* error) {
  char buffer[256];
  if (::gethostname(buffer, sizeof buffer) != 0) return Fail(error);
  buffer[sizeof buffer - 1] = '\0';
  *name = buffer;
  return 0;
}

int HostLookupName(const char* name, std::string* canonicalName, std::vector<uint32_t>* addresses,
                   int* error) {
  addrinfo hints;
  std::memset(&hints, 0, sizeof hints);
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_CANONNAME;
  addrinfo* list = nullptr;
  int code = ::getaddrinfo(name, nullptr, &hints, &list);
  if (code != 0) {
    *error = WinsockErrorFromLookup(code);
    return -1;
  }
  addresses->clear();
  *canonicalName = (list && list->ai_canonname) ? list->ai_canonname : name;
  for (addrinfo* p = list; p; p = p->ai_next) {
    if (p->ai_family != AF_INET) continue;
    uint32_t a = reinterpret_cast<const sockaddr_in*>(p->ai_addr)->sin_addr.s_addr;
    if (std::find(addresses->begin(), addresses->end(), a) == addresses->end())
      addresses->push_back(a);
  }
  ::freeaddrinfo(list);
  if (addresses->empty()) {
    *error = WSANO_DATA;
    return -1;
  }
  return 0;
}

int HostLookupAddress(uint32_t address, std::string* name, int* error) {
  sockaddr_in s = ToHost({address, 0});
  char buffer[NI_MAXHOST];
  int code = ::getnameinfo(reinterpret_cast<const sockaddr*>(&s), sizeof s, buffer, sizeof buffer,
                           nullptr, 0, NI_NAMEREQD);
  if (code != 0) {
    *error = WinsockErrorFromLookup(code);
    return -1;
  }
  *name = buffer;
  return 0;
}
