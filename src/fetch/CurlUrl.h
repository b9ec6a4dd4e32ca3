#pragma once

#include <curl/curl.h>

#include <memory>
#include <string>

// libcurl's URL parser, owned.
struct CurlUrlDeleter {
    void operator()(CURLU *url) const { curl_url_cleanup(url); }
};
using CurlUrlHandle = std::unique_ptr<CURLU, CurlUrlDeleter>;

// One part of a parsed address; empty when the address has no such part.
std::string CurlUrlPart(CURLU *url, CURLUPart part);
