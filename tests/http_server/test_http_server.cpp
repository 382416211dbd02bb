#include "tests/http_server/test_http_server.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <future>

namespace tavenro::testing {

namespace {

// A client that connects and says nothing does not hold the server for long.
constexpr int kReceiveLimitMs = 10000;

bool SameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The declared body length of a request head; 0 without one.
std::size_t ContentLength(std::string_view head) {
    std::size_t at = 0;
    while ((at = head.find("\r\n", at)) != std::string_view::npos) {
        at += 2;
        const std::size_t colon = head.find(':', at);
        const std::size_t end = head.find("\r\n", at);
        if (colon == std::string_view::npos || colon > end)
            continue;
        if (SameLetters(head.substr(at, colon - at), "Content-Length")) {
            std::size_t value = 0;
            for (char c : head.substr(colon + 1, end - colon - 1))
                if (c >= '0' && c <= '9')
                    value = value * 10 + static_cast<std::size_t>(c - '0');
            return value;
        }
    }
    return 0;
}

// The request: its head, the empty line and the body its Content-Length
// announces; what arrived when the client stops early.
std::string ReadRequest(sockets::Socket connection) {
    std::string request;
    std::array<char, 4096> buffer;
    std::size_t wanted = std::string::npos;
    while (request.size() < wanted) {
        const int received = sockets::Receive(connection, buffer);
        if (received <= 0)
            break;
        request.append(buffer.data(), static_cast<std::size_t>(received));
        if (wanted == std::string::npos) {
            const std::size_t headEnd = request.find("\r\n\r\n");
            if (headEnd != std::string::npos)
                wanted =
                    headEnd + 4 + ContentLength(std::string_view(request).substr(0, headEnd + 2));
        }
    }
    return request;
}

// The path of the request line's target, which a client talking to a proxy
// writes as an absolute URL; without the query.
std::string PathOf(std::string_view request) {
    const std::size_t start = request.find(' ');
    if (start == std::string_view::npos)
        return {};
    std::string_view target = request.substr(start + 1);
    target = target.substr(0, target.find_first_of(" \r\n"));
    if (const std::size_t scheme = target.find("://"); scheme != std::string_view::npos) {
        const std::size_t path = target.find('/', scheme + 3);
        target = path == std::string_view::npos ? "/" : target.substr(path);
    }
    return std::string(target.substr(0, target.find('?')));
}

} // namespace

std::string HttpHead(std::string_view status, std::string_view headerLines,
                     std::size_t contentLength) {
    std::string head = "HTTP/1.1 ";
    head.append(status).append("\r\n").append(headerLines);
    head.append("Content-Length: ").append(std::to_string(contentLength)).append("\r\n");
    head.append("Connection: close\r\n\r\n");
    return head;
}

std::string HttpReply(std::string_view status, std::string_view headerLines,
                      std::string_view body) {
    return HttpHead(status, headerLines, body.size()).append(body);
}

Writer InPieces(std::vector<std::string> pieces, std::chrono::milliseconds pause) {
    return [pieces = std::move(pieces), pause](ReplyWriter& writer) {
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            if (i > 0)
                writer.Pause(pause);
            if (!writer.Send(pieces[i]))
                return;
        }
    };
}

std::string TextOf(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

void ServeRedirectChain(TestHttpServer& server, std::string_view page) {
    constexpr int kHops = 20;
    for (int hop = 0; hop < kHops; ++hop) {
        const std::string next = hop + 1 < kHops ? "/hop" + std::to_string(hop + 1) : "/end";
        server.Reply("/hop" + std::to_string(hop),
                     HttpReply("302 Found", "Location: " + server.Url(next) + "\r\n", "moved"));
    }
    server.Reply("/end", HttpReply("200 OK", "", page));
}

namespace {

// Sends the head, then a body of the given size whose byte i is byteAt(i),
// made piece by piece as it goes out (a large body is never held whole).
// Stops when the client goes.
Writer Streamed(std::string head, std::size_t size, std::function<char(std::size_t)> byteAt) {
    return [head = std::move(head), size, byteAt = std::move(byteAt)](ReplyWriter& writer) {
        constexpr std::size_t kPiece = 64 * 1024;
        if (!writer.Send(head))
            return;
        std::string piece;
        for (std::size_t at = 0; at < size; at += piece.size()) {
            piece.resize(std::min(kPiece, size - at));
            for (std::size_t i = 0; i < piece.size(); ++i)
                piece[i] = byteAt(at + i);
            if (!writer.Send(piece))
                return;
        }
    };
}

char LongBodyByte(std::size_t i) {
    return static_cast<char>(1 + i % 251);
}

} // namespace

Writer LongBody(std::size_t size) {
    return Streamed(HttpHead("200 OK", "", size), size, &LongBodyByte);
}

std::size_t LongBodyPrefix(std::string_view text) {
    std::size_t same = 0;
    while (same < text.size() && text[same] == LongBodyByte(same))
        ++same;
    return same;
}

TestHttpServer::TestHttpServer() {
    std::promise<int> ready;
    std::future<int> port = ready.get_future();
    thread_ = std::thread([this, &ready] {
        const sockets::Socket listener = sockets::BindLoopback(true);
        {
            const std::lock_guard lock(mutex_);
            listener_ = listener;
        }
        ready.set_value(listener == sockets::kNoSocket ? 0 : sockets::LocalPort(listener));
        if (listener != sockets::kNoSocket)
            Serve(listener);
    });
    port_ = port.get();
}

TestHttpServer::~TestHttpServer() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    // Wakes the accept that the server thread waits in.
    if (port_ != 0) {
        const sockets::Socket wake = sockets::ConnectLoopback(port_);
        if (wake != sockets::kNoSocket)
            sockets::Close(wake);
    }
    thread_.join();
    if (listener_ != sockets::kNoSocket)
        sockets::Close(listener_);
}

void TestHttpServer::Reply(const std::string& path, std::string reply) {
    const std::lock_guard lock(mutex_);
    replies_[path] = std::move(reply);
}

void TestHttpServer::Write(const std::string& path, Writer writer) {
    const std::lock_guard lock(mutex_);
    writers_[path] = std::move(writer);
}

void TestHttpServer::Echo(const std::string& path) {
    const std::lock_guard lock(mutex_);
    echoes_[path] = true;
}

std::string TestHttpServer::HostPort(std::string_view target) const {
    return "127.0.0.1:" + std::to_string(port_) + std::string(target);
}

std::string TestHttpServer::Url(std::string_view target) const {
    return "http://" + HostPort(target);
}

std::vector<std::string> TestHttpServer::Requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
}

void TestHttpServer::Serve(sockets::Socket listener) {
    for (;;) {
        const sockets::Socket connection = sockets::Accept(listener);
        {
            const std::lock_guard lock(mutex_);
            if (stopping_) {
                if (connection != sockets::kNoSocket)
                    sockets::Close(connection);
                return;
            }
        }
        if (connection != sockets::kNoSocket)
            Answer(connection);
    }
}

void TestHttpServer::Answer(sockets::Socket connection) {
    sockets::SetReceiveTimeout(connection, kReceiveLimitMs);
    const std::string request = ReadRequest(connection);
    if (request.empty()) {
        sockets::Close(connection);
        return;
    }
    const std::string path = PathOf(request);
    std::string reply;
    Writer writer;
    {
        const std::lock_guard lock(mutex_);
        requests_.push_back(request);
        if (const auto written = writers_.find(path); written != writers_.end())
            writer = written->second;
        else if (echoes_.contains(path))
            reply = HttpReply("200 OK", "Content-Type: text/plain\r\n", request);
        else if (const auto found = replies_.find(path); found != replies_.end())
            reply = found->second;
        else
            reply = HttpReply("404 Not Found", "", "no such path");
    }
    if (writer) {
        ReplyWriter replyWriter(connection);
        writer(replyWriter);
    } else {
        sockets::SendAll(connection, reply);
    }
    sockets::Close(connection);
}

bool ReplyWriter::Send(std::string_view bytes) {
    gone_ = gone_ || !sockets::SendAll(connection_, bytes);
    return !gone_;
}

void ReplyWriter::Pause(std::chrono::milliseconds pause) {
    // Waits by reading, so that a client that gives up and closes ends the
    // pause, rather than the server holding on until it is over.
    const auto end = std::chrono::steady_clock::now() + pause;
    std::array<char, 256> ignored;
    while (!gone_) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return;
        sockets::SetReceiveTimeout(connection_, static_cast<int>(left.count()));
        gone_ = sockets::Receive(connection_, ignored) == 0;
    }
}

RefusingPort::RefusingPort()
    : socket_(sockets::BindLoopback(false)),
      port_(socket_ == sockets::kNoSocket ? 0 : sockets::LocalPort(socket_)) {}

RefusingPort::~RefusingPort() {
    if (socket_ != sockets::kNoSocket)
        sockets::Close(socket_);
}

} // namespace tavenro::testing
