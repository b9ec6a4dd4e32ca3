#include "RawServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <strings.h>

namespace
{

constexpr std::size_t kMaxRequestBytes = 16u * 1024u * 1024u;
constexpr int kReadTimeoutMs = 5000;

int ListenOnLoopback(int &port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || ::listen(fd, 16) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

// Waits up to `ms` for the socket to become readable, in small steps so that
// a stopping server is noticed.
bool WaitReadable(int socket, int ms, const std::atomic<bool> &stopping)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!stopping && std::chrono::steady_clock::now() < end) {
        pollfd entry{socket, POLLIN, 0};
        const int ready = ::poll(&entry, 1, 20);
        if (ready > 0)
            return true;
        if (ready < 0)
            return false;
    }
    return false;
}

std::string Trim(const std::string &text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Splits the head (request line and header lines) into the record.
void ParseHead(const std::string &head, ReceivedRequest &request)
{
    std::size_t lineStart = 0;
    bool first = true;
    while (lineStart < head.size()) {
        std::size_t lineEnd = head.find("\r\n", lineStart);
        if (lineEnd == std::string::npos)
            lineEnd = head.size();
        const std::string line = head.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 2;
        if (first) {
            first = false;
            const std::size_t a = line.find(' ');
            const std::size_t b = line.rfind(' ');
            if (a == std::string::npos || b == a)
                continue;
            request.method = line.substr(0, a);
            request.target = line.substr(a + 1, b - a - 1);
            request.version = line.substr(b + 1);
            continue;
        }
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos)
            request.headers.emplace_back(line.substr(0, colon), Trim(line.substr(colon + 1)));
    }
}

} // namespace

bool RawConnection::Send(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t sent = ::send(m_socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

bool RawConnection::Wait(int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (m_stopping)
            return false;
        pollfd entry{m_socket, POLLIN, 0};
        if (::poll(&entry, 1, 20) > 0) {
            char scratch[4096];
            if (::recv(m_socket, scratch, sizeof scratch, 0) <= 0)
                return false; // the peer closed
        }
    }
    return true;
}

RawServer::RawServer(Responder responder) : m_responder(std::move(responder))
{
    m_listener = ListenOnLoopback(m_port);
    if (m_listener >= 0)
        m_thread = std::thread([this] { Serve(); });
}

RawServer::~RawServer()
{
    m_stopping = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_listener >= 0)
        ::close(m_listener);
}

std::string RawServer::Url(const std::string &pathAndQuery) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + pathAndQuery;
}

std::vector<ReceivedRequest> RawServer::Requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

int RawServer::UnusedPort()
{
    int port = -1;
    const int fd = ListenOnLoopback(port);
    if (fd >= 0)
        ::close(fd);
    return port;
}

std::string RawServer::Response(const std::string &statusLine, const std::string &body,
                                const std::vector<std::string> &headerLines)
{
    std::string response = statusLine + "\r\n";
    for (const std::string &line : headerLines)
        response += line + "\r\n";
    response += "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
    return response + body;
}

void RawServer::Serve()
{
    while (!m_stopping) {
        if (!WaitReadable(m_listener, 100, m_stopping))
            continue;
        const int socket = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket < 0)
            continue;
        HandleConnection(socket);
        ::shutdown(socket, SHUT_RDWR);
        ::close(socket);
    }
}

void RawServer::HandleConnection(int socket)
{
    std::string data;
    std::size_t headEnd = std::string::npos;
    char buffer[16384];
    auto readMore = [&] {
        if (data.size() > kMaxRequestBytes || !WaitReadable(socket, kReadTimeoutMs, m_stopping))
            return false;
        const ssize_t got = ::recv(socket, buffer, sizeof buffer, 0);
        if (got <= 0)
            return false;
        data.append(buffer, static_cast<std::size_t>(got));
        return true;
    };
    while ((headEnd = data.find("\r\n\r\n")) == std::string::npos) {
        if (!readMore())
            return;
    }
    ReceivedRequest request;
    ParseHead(data.substr(0, headEnd), request);
    const std::string length = request.Header("Content-Length");
    const std::size_t bodyLength = length.empty() ? 0 : std::strtoull(length.c_str(), nullptr, 10);
    while (data.size() - (headEnd + 4) < bodyLength) {
        if (!readMore())
            break;
    }
    request.body = data.substr(headEnd + 4, bodyLength);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.push_back(request);
    }
    RawConnection connection(socket, m_stopping);
    if (m_responder)
        m_responder(request, connection);
}
