// Windows Sockets 1.1 (wsock32) for the Win32 build.
#include <windows.h>
#include <winsock.h>

#include "platform/net.h"

namespace zeloe::platform {

bool StartSockets() {
    WSADATA data;
    return WSAStartup(MAKEWORD(1, 1), &data) == 0;
}

int32_t OpenStreamSocket() {
    SOCKET handle = socket(AF_INET, SOCK_STREAM, 0);
    // Sockets are inheritable by default: a child program the host starts would keep the
    // connection open after Shutdown or RestartStation, holding one of the controller's few
    // session slots.
    if (handle != INVALID_SOCKET)
        SetHandleInformation(reinterpret_cast<HANDLE>(handle), HANDLE_FLAG_INHERIT, 0);
    return static_cast<int32_t>(handle);
}

void SetNonBlocking(SocketHandle handle) {
    u_long on = 1;
    ioctlsocket(handle, FIONBIO, &on);
}

int32_t Connect(SocketHandle handle, uint32_t addressNetworkOrder, uint16_t port) {
    if (handle == 0) {
        WSASetLastError(WSAENOTSOCK);
        return -1;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = addressNetworkOrder;
    return connect(handle, reinterpret_cast<sockaddr*>(&address), sizeof address);
}

int LastSocketError() {
    return WSAGetLastError();
}

int32_t ShutdownBoth(SocketHandle handle) {
    return handle == 0 ? -1 : shutdown(handle, 2);
}

int32_t CloseSocket(SocketHandle handle) {
    return handle == 0 ? -1 : closesocket(handle);
}

int32_t Send(SocketHandle handle, const void* bytes, int32_t count) {
    if (handle == 0) return -1;
    return send(handle, static_cast<const char*>(bytes), count, 0);
}

int32_t WaitReadable(SocketHandle handle, int32_t timeoutMs) {
    if (handle == 0) return -1;
    if (timeoutMs < 0) timeoutMs = 0;
    fd_set readSet;
    FD_ZERO(&readSet);
    FD_SET(handle, &readSet);
    timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    return select(0, &readSet, nullptr, nullptr, &timeout);
}

int32_t Receive(SocketHandle handle, void* buffer, int32_t size) {
    if (handle == 0) return -1;
    return recv(handle, static_cast<char*>(buffer), size, 0);
}

int32_t PendingBytes(SocketHandle handle) {
    if (handle == 0) return 0;
    u_long count = 0;
    if (ioctlsocket(handle, FIONREAD, &count) != 0) return 0;
    return static_cast<int32_t>(count);
}

}  // namespace zeloe::platform
