#include "tests/http_server/sockets.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace tavenro::testing::sockets {

namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    return address;
}

int Fd(Socket socket) {
    return static_cast<int>(socket);
}

} // namespace

Socket BindLoopback(bool listening) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return kNoSocket;
    const sockaddr_in address = Loopback(0);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        (listening && ::listen(fd, 16) != 0)) {
        ::close(fd);
        return kNoSocket;
    }
    return fd;
}

int LocalPort(Socket socket) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getsockname(Fd(socket), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}

Socket Accept(Socket listener) {
    const int fd = ::accept(Fd(listener), nullptr, nullptr);
    return fd < 0 ? kNoSocket : fd;
}

Socket ConnectLoopback(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return kNoSocket;
    const sockaddr_in address = Loopback(port);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return kNoSocket;
    }
    return fd;
}

void SetReceiveTimeout(Socket socket, int milliseconds) {
    timeval limit{};
    limit.tv_sec = milliseconds / 1000;
    limit.tv_usec = (milliseconds % 1000) * 1000;
    ::setsockopt(Fd(socket), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
}

int Receive(Socket socket, std::span<char> buffer) {
    return static_cast<int>(::recv(Fd(socket), buffer.data(), buffer.size(), 0));
}

bool SendAll(Socket socket, std::string_view data) {
    while (!data.empty()) {
        const ssize_t sent = ::send(Fd(socket), data.data(), data.size(), MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

void Close(Socket socket) {
    ::shutdown(Fd(socket), SHUT_WR);
    ::close(Fd(socket));
}

} // namespace tavenro::testing::sockets
