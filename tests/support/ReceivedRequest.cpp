#include "ReceivedRequest.h"

#include <strings.h>

std::string ReceivedRequest::Header(const std::string &name) const
{
    for (const auto &[key, value] : headers) {
        if (::strcasecmp(key.c_str(), name.c_str()) == 0)
            return value;
    }
    return {};
}

int ReceivedRequest::HeaderCount(const std::string &name) const
{
    int count = 0;
    for (const auto &header : headers)
        count += ::strcasecmp(header.first.c_str(), name.c_str()) == 0 ? 1 : 0;
    return count;
}

std::vector<std::string> ReceivedRequest::HeaderNames() const
{
    std::vector<std::string> names;
    for (const auto &header : headers)
        names.push_back(header.first);
    return names;
}
