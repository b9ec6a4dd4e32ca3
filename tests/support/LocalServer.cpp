#include "LocalServer.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <chrono>
#include <cstdio>
#include <string_view>

namespace
{

bool WritePem(const std::string &path, const std::function<int(FILE *)> &write)
{
    FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool ok = write(file) == 1;
    return std::fclose(file) == 0 && ok;
}

bool AddExtension(X509 *certificate, int nid, const char *value)
{
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
    X509_EXTENSION *extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    if (extension == nullptr)
        return false;
    const bool ok = X509_add_ext(certificate, extension, -1) == 1;
    X509_EXTENSION_free(extension);
    return ok;
}

// A self-signed certificate for 127.0.0.1 and localhost, valid for a day,
// with an EC P-256 key (quick to make), written as two PEM files.
bool MakeSelfSignedCertificate(const std::string &certificatePath, const std::string &keyPath)
{
    EVP_PKEY *key = EVP_EC_gen("P-256");
    X509 *certificate = X509_new();
    bool ok = key != nullptr && certificate != nullptr;
    if (ok) {
        X509_set_version(certificate, 2);
        ASN1_INTEGER_set(X509_get_serialNumber(certificate), 1);
        X509_gmtime_adj(X509_getm_notBefore(certificate), -3600);
        X509_gmtime_adj(X509_getm_notAfter(certificate), 24 * 3600);
        X509_set_pubkey(certificate, key);
        X509_NAME *name = X509_get_subject_name(certificate);
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char *>("127.0.0.1"), -1,
                                   -1, 0);
        X509_set_issuer_name(certificate, name);
        ok = AddExtension(certificate, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost") &&
             X509_sign(certificate, key, EVP_sha256()) > 0 &&
             WritePem(certificatePath, [&](FILE *f) { return PEM_write_X509(f, certificate); }) &&
             WritePem(keyPath,
                      [&](FILE *f) { return PEM_write_PrivateKey(f, key, nullptr, nullptr, 0, nullptr, nullptr); });
    }
    X509_free(certificate);
    EVP_PKEY_free(key);
    return ok;
}

std::string ExactPathPattern(const std::string &path)
{
    std::string pattern;
    for (const char c : path) {
        if (std::string_view(".^$|()[]{}*+?\\").find(c) != std::string_view::npos)
            pattern += '\\';
        pattern += c;
    }
    return pattern;
}

} // namespace

LocalServer::LocalServer(Scheme scheme) : m_scheme(scheme)
{
    if (scheme == Https) {
        m_certificatePath = (m_folder.path() / "server.crt").string();
        m_keyPath = (m_folder.path() / "server.key").string();
        if (MakeSelfSignedCertificate(m_certificatePath, m_keyPath))
            m_server = std::make_unique<httplib::SSLServer>(m_certificatePath.c_str(), m_keyPath.c_str());
    } else {
        m_server = std::make_unique<httplib::Server>();
    }
    if (!m_server)
        return;
    m_server->set_pre_routing_handler([this](const httplib::Request &request, httplib::Response &) {
        Record(request);
        return httplib::Server::HandlerResponse::Unhandled;
    });
    // No test waits long for a peer that stops talking.
    m_server->set_read_timeout(5);
    m_server->set_write_timeout(5);
}

LocalServer::~LocalServer()
{
    if (m_server)
        m_server->stop();
    if (m_thread.joinable())
        m_thread.join();
}

void LocalServer::Route(const std::string &method, const std::string &pattern, Handler handler)
{
    if (!m_server)
        return;
    const bool any = method == "*";
    if (any || method == "GET")
        m_server->Get(pattern, handler);
    if (any || method == "POST")
        m_server->Post(pattern, handler);
    if (any || method == "PUT")
        m_server->Put(pattern, handler);
    if (any || method == "DELETE")
        m_server->Delete(pattern, handler);
    if (any || method == "OPTIONS")
        m_server->Options(pattern, handler);
    if (any || method == "PATCH")
        m_server->Patch(pattern, handler);
}

void LocalServer::Serve(const std::string &path, std::string body, const std::string &contentType)
{
    Route("GET", ExactPathPattern(path),
          [body = std::move(body), contentType](const httplib::Request &, httplib::Response &response) {
              response.set_content(body, contentType.c_str());
          });
}

bool LocalServer::Start()
{
    if (!m_server || !m_server->is_valid() || m_port > 0)
        return m_port > 0;
    m_port = m_server->bind_to_any_port("127.0.0.1");
    if (m_port <= 0)
        return false;
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    // The socket already listens, so clients could connect at once; waiting
    // for the loop keeps stop() from racing with its start.
    for (int i = 0; i < 500 && !m_server->is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return true;
}

std::string LocalServer::Url(const std::string &pathAndQuery) const
{
    return std::string(m_scheme == Https ? "https" : "http") + "://127.0.0.1:" + std::to_string(m_port) + pathAndQuery;
}

std::vector<ReceivedRequest> LocalServer::Requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

ReceivedRequest LocalServer::LastRequest() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests.empty() ? ReceivedRequest() : m_requests.back();
}

void LocalServer::Record(const httplib::Request &request)
{
    ReceivedRequest received;
    received.method = request.method;
    received.target = request.target;
    received.version = request.version;
    for (const auto &[name, value] : request.headers)
        received.headers.emplace_back(name, value);
    received.body = request.body;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.push_back(std::move(received));
}
