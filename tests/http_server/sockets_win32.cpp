#include "tests/http_server/sockets.h"

#include <winsock2.h>

namespace tavenro::testing::sockets {

namespace {

// Winsock for the life of the test process.
void StartWinsock() {
    static const bool started = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    (void)started;
}

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port));
    return address;
}

SOCKET Handle(Socket socket) {
    return static_cast<SOCKET>(socket);
}

Socket Wrap(SOCKET socket) {
    return socket == INVALID_SOCKET ? kNoSocket : static_cast<Socket>(socket);
}

} // namespace

Socket BindLoopback(bool listening) {
    StartWinsock();
    const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket == INVALID_SOCKET)
        return kNoSocket;
    const sockaddr_in address = Loopback(0);
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        (listening && ::listen(socket, 16) != 0)) {
        ::closesocket(socket);
        return kNoSocket;
    }
    return Wrap(socket);
}

int LocalPort(Socket socket) {
    sockaddr_in address{};
    int length = sizeof address;
    if (::getsockname(Handle(socket), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}

Socket Accept(Socket listener) {
    return Wrap(::accept(Handle(listener), nullptr, nullptr));
}

Socket ConnectLoopback(int port) {
    StartWinsock();
    const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket == INVALID_SOCKET)
        return kNoSocket;
    const sockaddr_in address = Loopback(port);
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::closesocket(socket);
        return kNoSocket;
    }
    return Wrap(socket);
}

void SetReceiveTimeout(Socket socket, int milliseconds) {
    const DWORD limit = static_cast<DWORD>(milliseconds);
    ::setsockopt(Handle(socket), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limit),
                 sizeof limit);
}

int Receive(Socket socket, std::span<char> buffer) {
    return ::recv(Handle(socket), buffer.data(), static_cast<int>(buffer.size()), 0);
}

bool SendAll(Socket socket, std::string_view data) {
    while (!data.empty()) {
        const int sent = ::send(Handle(socket), data.data(), static_cast<int>(data.size()), 0);
        if (sent <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

void Close(Socket socket) {
    ::shutdown(Handle(socket), SD_SEND);
    ::closesocket(Handle(socket));
}

} // namespace tavenro::testing::sockets
