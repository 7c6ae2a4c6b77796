// Window classes across processes: while a process has a window of a class, it holds an abstract
// Unix socket named after the user and the class, so another process finds the name taken. The
// kernel frees the name when the process ends, however it ends.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>

#include "port/user/window_record.h"

namespace {

std::map<std::string, int> gClaims;  // lower-case class name -> bound socket

std::string Lower(const std::string& s) {
  std::string out = s;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// The abstract socket address for a class: the name hashed, since class names may be longer
// than a socket address holds.
socklen_t AddressFor(const std::string& lowerName, sockaddr_un* address) {
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : lowerName) hash = (hash ^ c) * 1099511628211ull;
  *address = {};
  address->sun_family = AF_UNIX;
  int n = std::snprintf(address->sun_path + 1, sizeof(address->sun_path) - 1,
                        "kelvanor-window-class/%u/%016llx", static_cast<unsigned>(getuid()),
                        static_cast<unsigned long long>(hash));
  return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n);
}

// A socket bound to the class's name, or -1 when another process holds it (or on error).
int Bind(const std::string& lowerName) {
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_un address;
  socklen_t length = AddressFor(lowerName, &address);
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

void PortClaimClassName(const std::string& className) {
  std::lock_guard lock(PortWindowMutex());
  std::string name = Lower(className);
  if (gClaims.count(name)) return;
  int fd = Bind(name);
  if (fd >= 0) gClaims[name] = fd;
}

void PortReleaseClassName(const std::string& className) {
  std::lock_guard lock(PortWindowMutex());
  auto it = gClaims.find(Lower(className));
  if (it == gClaims.end()) return;
  close(it->second);
  gClaims.erase(it);
}

bool PortClassNameClaimedElsewhere(const std::string& className) {
  std::lock_guard lock(PortWindowMutex());
  std::string name = Lower(className);
  if (gClaims.count(name)) return false;
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_un address;
  socklen_t length = AddressFor(name, &address);
  bool taken = bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 && errno == EADDRINUSE;
  close(fd);
  return taken;
}
