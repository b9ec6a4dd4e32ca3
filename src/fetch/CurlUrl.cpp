#include "fetch/CurlUrl.h"

std::string CurlUrlPart(CURLU *url, CURLUPart part)
{
    char *value = nullptr;
    if (curl_url_get(url, part, &value, 0) != CURLUE_OK || value == nullptr)
        return {};
    std::string text(value);
    curl_free(value);
    return text;
}
