// Host (POSIX) sockets behind the port's winsock. Plain types only: winsock.cpp cannot see the
// POSIX socket declarations, whose names are the same as the winsock ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An IPv4 address and port, both in network byte order.
struct HostSocketAddress {
  uint32_t address;
  uint16_t port;
};

enum HostSocketKind { kHostSocketStream = 1, kHostSocketDatagram = 2 };

// Message flags and shutdown directions use the winsock numbers (MSG_OOB, SD_SEND, ...).
// Every call returns -1 on failure and stores a winsock error code in *error.
int HostSocketOpen(int kind, int protocol, int* error);  // a descriptor
void HostSocketClose(int fd);
int HostSocketBind(int fd, const HostSocketAddress& address, int* error);
int HostSocketListen(int fd, int backlog, int* error);
int HostSocketAccept(int fd, HostSocketAddress* peer, int* error);  // a descriptor
int HostSocketConnect(int fd, const HostSocketAddress& address, int* error);
// to == null: send on the connected socket.
int HostSocketSend(int fd, const void* data, int length, int flags, const HostSocketAddress* to,
                   int* error);
// from == null: the sender is not wanted.
int HostSocketReceive(int fd, void* data, int length, int flags, HostSocketAddress* from,
                      int* error);
int HostSocketShutdown(int fd, int how, int* error);

int HostGetName(std::string* name, int* error);
// IPv4 addresses of a name (or dotted address), in network byte order, without repeats.
int HostLookupName(const char* name, std::string* canonicalName, std::vector<uint32_t>* addresses,
                   int* error);
int HostLookupAddress(uint32_t address, std::string* name, int* error);
