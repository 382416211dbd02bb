// The few socket operations the test HTTP server needs, on 127.0.0.1 only:
// winsock under Windows (sockets_win32.cpp), BSD sockets natively
// (sockets_native.cpp).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace tavenro::testing::sockets {

using Socket = std::intptr_t;
inline constexpr Socket kNoSocket = -1;

// A TCP socket bound to 127.0.0.1 on a port the system picks; listening
// when asked, otherwise only holding the port, so that connections to it
// are refused. kNoSocket on failure.
[[nodiscard]] Socket BindLoopback(bool listening);

// The port the socket is bound to; 0 on failure.
[[nodiscard]] int LocalPort(Socket socket);

// The next connection; kNoSocket on failure.
[[nodiscard]] Socket Accept(Socket listener);

// A connection to 127.0.0.1:port; kNoSocket on failure.
[[nodiscard]] Socket ConnectLoopback(int port);

// Receives give up after this long without data.
void SetReceiveTimeout(Socket socket, int milliseconds);

// Bytes received into buffer; 0 at the end, negative on failure.
[[nodiscard]] int Receive(Socket socket, std::span<char> buffer);

// Sends all of data; false on failure.
bool SendAll(Socket socket, std::string_view data);

// Ends the sending side (the peer reads the end of the data), then closes.
void Close(Socket socket);

} // namespace tavenro::testing::sockets
