#pragma once

#include "ReceivedRequest.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// A tiny HTTP/1.x server over raw sockets on 127.0.0.1 and an ephemeral
// port, for what cpp-httplib cannot show or do: it keeps request header
// lines in the order they arrived, and it lets a test answer with any bytes
// at any pace, or not at all (a peer that closes mid-body, never answers,
// or trickles). One connection at a time, one request per connection; the
// connection is closed after the responder returns.
//
//   RawServer server([](const ReceivedRequest &request, RawConnection &peer) {
//       peer.Send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
//   });
//   fetch(server.Url("/x")); server.Requests()[0].HeaderNames() ...
class RawConnection
{
  public:
    RawConnection(int socket, const std::atomic<bool> &stopping) : m_socket(socket), m_stopping(stopping) {}

    // Sends bytes as they are. False once the peer has gone.
    bool Send(std::string_view bytes);
    // Sleeps up to `ms` milliseconds; returns early (false) when the server
    // is stopping or the peer has closed the connection.
    bool Wait(int ms);

  private:
    int m_socket;
    const std::atomic<bool> &m_stopping;
};

class RawServer
{
  public:
    using Responder = std::function<void(const ReceivedRequest &, RawConnection &)>;

    explicit RawServer(Responder responder);
    ~RawServer();
    RawServer(const RawServer &) = delete;
    RawServer &operator=(const RawServer &) = delete;

    bool Started() const { return m_listener >= 0; }
    int Port() const { return m_port; }
    std::string Url(const std::string &pathAndQuery = "/") const;
    std::vector<ReceivedRequest> Requests() const;

    // A port on 127.0.0.1 that nothing listens on (bound, then released).
    static int UnusedPort();
    // A complete response with Content-Length and "Connection: close".
    static std::string Response(const std::string &statusLine, const std::string &body,
                                const std::vector<std::string> &headerLines = {});

  private:
    void Serve();
    void HandleConnection(int socket);

    Responder m_responder;
    int m_listener = -1;
    int m_port = -1;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::vector<ReceivedRequest> m_requests;
};
