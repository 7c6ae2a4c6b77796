// The port's winsock ("ws2_32.dll"): blocking IPv4 sockets over the host's sockets.
// SOCKET values are the port's own and are checked on every call, so a stray number never
// reaches a host descriptor. Errors come back through WSAGetLastError (the thread's last
// error, as GetLastError) with the winsock codes.
// The names are those of the host's socket headers: a port file that needs host sockets uses
// port/winsock/host_sockets.h and does not include this header (or port/win32.h) beside them.
#pragma once

#include "port/kernel/win32_types.h"
#include "port/winsock/winsock_errors.h"

// u_long is left out: the host's <sys/types.h> has its own, 64 bits wide; winsock's is 32 bits,
// which ULONG is.
typedef unsigned char u_char;
typedef unsigned short u_short;
typedef unsigned int u_int;

typedef UINT_PTR SOCKET;
#define INVALID_SOCKET (~static_cast<SOCKET>(0))
#define SOCKET_ERROR (-1)

#define AF_UNSPEC 0
#define AF_INET 2
#define PF_INET AF_INET
#define SOCK_STREAM 1
#define SOCK_DGRAM 2
#define IPPROTO_IP 0
#define IPPROTO_TCP 6
#define IPPROTO_UDP 17

#define INADDR_ANY 0x00000000u
#define INADDR_LOOPBACK 0x7F000001u
#define INADDR_BROADCAST 0xFFFFFFFFu
#define INADDR_NONE 0xFFFFFFFFu

#define SOMAXCONN 0x7FFFFFFF
#define MSG_OOB 0x1
#define MSG_PEEK 0x2
#define MSG_DONTROUTE 0x4

#define SD_RECEIVE 0
#define SD_SEND 1
#define SD_BOTH 2

// Events of WSAAsyncSelect.
#define FD_READ 0x01
#define FD_WRITE 0x02
#define FD_OOB 0x04
#define FD_ACCEPT 0x08
#define FD_CONNECT 0x10
#define FD_CLOSE 0x20

#define WSADESCRIPTION_LEN 256
#define WSASYS_STATUS_LEN 128

struct WSADATA {
  WORD wVersion;
  WORD wHighVersion;
  char szDescription[WSADESCRIPTION_LEN + 1];
  char szSystemStatus[WSASYS_STATUS_LEN + 1];
  unsigned short iMaxSockets;
  unsigned short iMaxUdpDg;
  char* lpVendorInfo;
};
typedef WSADATA* LPWSADATA;

// Addresses and ports are in network byte order, as on the wire.
struct in_addr {
  ULONG s_addr;
};

struct sockaddr {
  u_short sa_family;
  char sa_data[14];
};

struct sockaddr_in {
  short sin_family;
  u_short sin_port;
  in_addr sin_addr;
  char sin_zero[8];
};

struct hostent {
  char* h_name;
  char** h_aliases;
  short h_addrtype;
  short h_length;
  char** h_addr_list;  // null-terminated list of h_length-byte addresses
};

int WINAPI WSAGetLastError();
int WINAPI WSAStartup(WORD versionRequested, LPWSADATA data);
int WINAPI WSACleanup();
// Socket notifications as window messages are not available in the port: refused with
// WSAEOPNOTSUPP (the runtime never asks for them).
int WINAPI WSAAsyncSelect(SOCKET s, HWND window, UINT message, LONG events);

// Host look-ups: the result lives in per-thread storage until the thread's next look-up.
hostent* WINAPI gethostbyaddr(const char* address, int length, int type);
hostent* WINAPI gethostbyname(const char* name);
int WINAPI gethostname(char* name, int nameLength);

u_short WINAPI ntohs(u_short value);
u_short WINAPI htons(u_short value);
ULONG WINAPI inet_addr(const char* text);

SOCKET WINAPI socket(int family, int type, int protocol);
int WINAPI bind(SOCKET s, const sockaddr* name, int nameLength);
int WINAPI listen(SOCKET s, int backlog);
SOCKET WINAPI accept(SOCKET s, sockaddr* address, int* addressLength);
int WINAPI connect(SOCKET s, const sockaddr* name, int nameLength);
int WINAPI send(SOCKET s, const char* data, int length, int flags);
int WINAPI sendto(SOCKET s, const char* data, int length, int flags, const sockaddr* to,
                  int toLength);
int WINAPI recv(SOCKET s, char* data, int length, int flags);
int WINAPI recvfrom(SOCKET s, char* data, int length, int flags, sockaddr* from, int* fromLength);
int WINAPI shutdown(SOCKET s, int how);
int WINAPI closesocket(SOCKET s);

// How many port sockets are open (tests check that nothing leaks).
int PortOpenSocketCount();
