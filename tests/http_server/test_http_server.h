// An HTTP server on 127.0.0.1 that a test starts itself, on a port the
// system picks: canned replies keyed by path, replies written step by step
// (to drip, stream or break off), echo paths that answer with the request
// they received, and a record of every request. One connection at a time,
// one request per connection.
#pragma once

#include "tests/http_server/sockets.h"
#include "text/bytes.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
// Also std::chrono's durations: <chrono> itself does not compile with the
// GBK execution character set.
#include <thread>
#include <vector>

namespace tavenro::testing {

// Whether the request paths under test are Windows' own (run under Wine
// here) rather than the libcurl stand-ins.
#ifdef _WIN32
inline constexpr bool kWindowsBuild = true;
#else
inline constexpr bool kWindowsBuild = false;
#endif

// A body's bytes as they are, zero bytes included.
[[nodiscard]] std::string TextOf(const Bytes& bytes);

// The head of a reply: the status line ("HTTP/1.1 " and status), the header
// lines (each ended by CRLF), Content-Length, "Connection: close" and the
// empty line.
[[nodiscard]] std::string HttpHead(std::string_view status, std::string_view headerLines,
                                   std::size_t contentLength);

// A complete reply: the status line ("HTTP/1.1 " and status), the header
// lines (each ended by CRLF), Content-Length, "Connection: close" and the
// body.
[[nodiscard]] std::string HttpReply(std::string_view status, std::string_view headerLines,
                                    std::string_view body);

// The server's end of one connection while a written reply is made.
class ReplyWriter {
  public:
    explicit ReplyWriter(sockets::Socket connection) : connection_(connection) {}

    // Sends the bytes; false once the client has gone, after which every
    // further send fails at once.
    bool Send(std::string_view bytes);

    // Waits before the next step; ends early when the client closes the
    // connection.
    void Pause(std::chrono::milliseconds pause);

  private:
    sockets::Socket connection_;
    bool gone_ = false;
};

// Writes one reply; the connection is closed when it returns. It runs on
// the server's thread and must end by itself, so that the server stops.
using Writer = std::function<void(ReplyWriter& writer)>;

// A writer that sends the pieces in order, pausing between them.
[[nodiscard]] Writer InPieces(std::vector<std::string> pieces,
                              std::chrono::milliseconds pause = std::chrono::milliseconds(0));

// A long body of the given size, its head announcing it, made as it goes
// out: byte i is never zero and the bytes do not repeat with any power of
// two, so that a piece lost, doubled or moved shows in LongBodyPrefix.
[[nodiscard]] Writer LongBody(std::size_t size);

// How many bytes at the start of the text are those of a long body.
[[nodiscard]] std::size_t LongBodyPrefix(std::string_view text);

class TestHttpServer {
  public:
    // Returns once the server accepts connections.
    TestHttpServer();
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    // The bytes written back, as they are, for requests of this path (the
    // query is not part of it), the connection closed afterwards. Other
    // paths get a 404.
    void Reply(const std::string& path, std::string reply);

    // Requests of this path are answered by the writer, which may send the
    // reply in pieces with pauses between them, or stop short.
    void Write(const std::string& path, Writer writer);

    // Requests of this path get "200 OK" with the request they carried
    // (head and body) as the body.
    void Echo(const std::string& path);

    [[nodiscard]] int Port() const { return port_; }

    // "127.0.0.1:port" followed by the target.
    [[nodiscard]] std::string HostPort(std::string_view target = "") const;

    // "http://127.0.0.1:port" followed by the target.
    [[nodiscard]] std::string Url(std::string_view target) const;

    // Every request received so far (head and body), oldest first.
    [[nodiscard]] std::vector<std::string> Requests() const;

  private:
    void Serve(sockets::Socket listener);
    void Answer(sockets::Socket connection);

    mutable std::mutex mutex_;
    std::map<std::string, std::string, std::less<>> replies_;
    std::map<std::string, bool, std::less<>> echoes_;
    std::map<std::string, Writer, std::less<>> writers_;
    std::vector<std::string> requests_;
    bool stopping_ = false;
    sockets::Socket listener_ = sockets::kNoSocket;
    int port_ = 0;
    std::thread thread_;
};

// Twenty redirects in a row: "/hop0" to "/hop19", each to the next, the last
// to "/end", which answers "200 OK" with the page.
void ServeRedirectChain(TestHttpServer& server, std::string_view page);

// A port on 127.0.0.1 that refuses connections while this lives.
class RefusingPort {
  public:
    RefusingPort();
    ~RefusingPort();
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;

    [[nodiscard]] int Port() const { return port_; }

  private:
    sockets::Socket socket_;
    int port_;
};

} // namespace tavenro::testing
