#include "AddressCompletion.h"

#include "text/FindText.h"

namespace {

// "http:" of "http://host/x"; empty when the address has no "scheme://".
std::string_view SchemeOf(std::string_view address)
{
    const size_t separator = address.find("://");
    if (separator == std::string_view::npos || separator == 0)
        return {};
    for (size_t i = 0; i < separator; ++i) {
        const char c = address[i];
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                             (i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
        if (!allowed)
            return {};
    }
    return address.substr(0, separator + 1);
}

// "http://host:port" of "http://host:port/x?y"; empty without a host.
std::string_view OriginOf(std::string_view address)
{
    const std::string_view scheme = SchemeOf(address);
    if (scheme.empty())
        return {};
    const size_t hostStart = scheme.size() + 2;
    const size_t hostEnd = address.find_first_of("/?#", hostStart);
    const std::string_view origin = address.substr(0, hostEnd);
    return origin.size() > hostStart ? origin : std::string_view{};
}

} // namespace

std::string CompleteAddress(std::string_view link, std::string_view pageAddress)
{
    if (link.starts_with("//")) {
        const std::string_view scheme = SchemeOf(pageAddress);
        return std::string(scheme.empty() ? "http:" : scheme) + std::string(link);
    }
    if (link.starts_with("/")) {
        const std::string_view origin = OriginOf(pageAddress);
        if (!origin.empty())
            return std::string(origin) + std::string(link);
    }
    if (FindText(link, "http") != -1)
        return std::string(link);
    return "http://" + std::string(link);
}
