#pragma once

#include "ReceivedRequest.h"
#include "TempFolder.h"

#include <httplib.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// An HTTP or HTTPS server on 127.0.0.1 and an ephemeral port, run in-process
// by cpp-httplib for the length of a test. It records every request it
// receives (see ReceivedRequest; httplib hands headers over sorted by name,
// so tests of header order use RawServer instead).
//
//   LocalServer server;                              // or LocalServer(LocalServer::Https)
//   server.Serve("/page", "<html>...</html>");       // a fixed answer
//   server.Route("GET", "/r", [](const httplib::Request &, httplib::Response &res) {
//       res.status = 302; res.set_header("Location", "/page"); });
//   ASSERT_TRUE(server.Start());
//   fetch(server.Url("/page")) ...; server.Requests().back().target == "/page?..."
//
// cpp-httplib answers 400 to a query holding a second "?" (as the page
// fetch makes of "/search?kw=x" + "?1234"), before any route or recording:
// give such addresses a path-only form ("/search/x"), or use RawServer.
//
// Routes are added before Start(). HTTPS uses a self-signed certificate for
// 127.0.0.1 made at start in a temporary folder (CertificatePath()); clients
// must not verify it. The server stops when the object goes away.
class LocalServer
{
  public:
    enum Scheme { Http, Https };
    using Handler = std::function<void(const httplib::Request &, httplib::Response &)>;

    explicit LocalServer(Scheme scheme = Http);
    ~LocalServer();
    LocalServer(const LocalServer &) = delete;
    LocalServer &operator=(const LocalServer &) = delete;

    // `method` is "GET", "POST", "PUT", "DELETE", "OPTIONS", "PATCH" or "*"
    // (every one of them); `pattern` is an httplib path pattern (a regex).
    void Route(const std::string &method, const std::string &pattern, Handler handler);
    // GET (and HEAD) of exactly `path` answers `body` with status 200.
    void Serve(const std::string &path, std::string body, const std::string &contentType = "text/html");

    // Binds and starts serving. False when the server could not start.
    bool Start();

    int Port() const { return m_port; }
    // "http://127.0.0.1:PORT" or "https://..." followed by `pathAndQuery`.
    std::string Url(const std::string &pathAndQuery = "/") const;
    // Copies of every request received so far, oldest first.
    std::vector<ReceivedRequest> Requests() const;
    // The most recent request; an empty one when there is none.
    ReceivedRequest LastRequest() const;
    // PEM files of the HTTPS certificate and key (empty paths for HTTP).
    const std::string &CertificatePath() const { return m_certificatePath; }
    const std::string &KeyPath() const { return m_keyPath; }

  private:
    void Record(const httplib::Request &request);

    Scheme m_scheme;
    TempFolder m_folder;
    std::string m_certificatePath;
    std::string m_keyPath;
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = -1;
    mutable std::mutex m_mutex;
    std::vector<ReceivedRequest> m_requests;
};
