// The transport seam: the socket operations the driver uses, in the shape of Windows Sockets 1.1.
// net_win32.cpp is Winsock itself, net_posix.cpp gives the same behaviour on Linux, and tests
// link a scripted fake in their place. Handle 0 is never a live socket: every operation on it
// fails at once without traffic.
#pragma once

#include <cstdint>

namespace zeloe::platform {

using SocketHandle = uint32_t;

constexpr int kErrorAlreadyConnected = 10056;  // WSAEISCONN

// WSAStartup at version 1.1; true on success.
bool StartSockets();

// socket(AF_INET, SOCK_STREAM, 0); negative (as a signed number) on failure.
int32_t OpenStreamSocket();

// ioctlsocket(FIONBIO, 1).
void SetNonBlocking(SocketHandle handle);

// connect() to an IPv4 address given in network byte order, at a host-order port.
// Returns 0 or a negative number; LastSocketError() tells why.
int32_t Connect(SocketHandle handle, uint32_t addressNetworkOrder, uint16_t port);

// WSAGetLastError(), with the Winsock code for "already connected" on every platform.
int LastSocketError();

int32_t ShutdownBoth(SocketHandle handle);
int32_t CloseSocket(SocketHandle handle);

// One send; negative on failure.
int32_t Send(SocketHandle handle, const void* bytes, int32_t count);

// Waits until the socket is readable: >0 readable, 0 time-out, <0 error.
int32_t WaitReadable(SocketHandle handle, int32_t timeoutMs);

// One recv; 0 when the peer closed, negative on error.
int32_t Receive(SocketHandle handle, void* buffer, int32_t size);

// Bytes waiting to be received right now (FIONREAD); 0 when none or on error.
int32_t PendingBytes(SocketHandle handle);

void SleepMs(uint32_t milliseconds);

}  // namespace zeloe::platform
