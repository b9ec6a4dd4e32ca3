#pragma once

#include <string>
#include <utility>
#include <vector>

// One request as a local test server received it.
struct ReceivedRequest {
    std::string method;  // "GET", "POST", ...
    std::string target;  // path and query exactly as the request line spelled them
    std::string version; // "HTTP/1.1", "HTTP/1.0"
    // Header lines as (name, value). RawServer keeps them in the order they
    // arrived; LocalServer (cpp-httplib) can only give them sorted by name.
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;

    // Value of the first header of that name (case-insensitive); empty if none.
    std::string Header(const std::string &name) const;
    // How many header lines carry that name (case-insensitive).
    int HeaderCount(const std::string &name) const;
    // Just the names, in the stored order.
    std::vector<std::string> HeaderNames() const;
};
