// The network layer: connections named by handles of type 6, each with a ring buffer for
// received and one for outgoing data. Nothing in this system starts the layer or opens a
// connection, so the per-frame pump, the socket notification and library end find nothing to
// do, and every connection call refuses its handle.
#pragma once

#include "port/win32.h"
#include "runtime/platform/core/handle_table.h"
#include "runtime/platform/core/ring_buffer.h"

// The record behind a network handle.
struct NetworkConnection {
  int checkNumber;
  int handle;
  SOCKET socket;
  RingBuffer received;
  RingBuffer outgoing;
};

extern int NetworkStarted;
extern HandleTable NetworkHandles;

// Per frame, from the message processing; 0.
int PumpSocketMessages(int flag);
// At library end; 0.
int TerminateNetwork();
// The socket notification message (0x505): the socket is its first parameter, the event word
// its second. A socket that belongs to no connection logs "通信エラー No.1". 0.
int HandleSocketEvent(int event, SOCKET socket);

// -1 for a handle that names no connection, which is every handle here.
int RecvSocket(int handle);
int SendSocket(int handle);
int CloseSocketAfterFlush(int handle);
int CloseSocketNow(int handle);
