// quillora-demo-site [--port N] [--latency MS]
//
// Serves the fixture novel site on 127.0.0.1 until killed, so the program can
// be tried without the internet.

#include "support/FixtureSite.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

bool ReadNumber(const char *text, int &out)
{
    char *end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0 || value > 65535)
        return false;
    out = static_cast<int>(value);
    return true;
}

int Usage(FILE *to, int code)
{
    std::fprintf(to, "usage: quillora-demo-site [--port N] [--latency MS]\n"
                     "  --port N      port on 127.0.0.1 (default %d)\n"
                     "  --latency MS  delay added to every response (default 0)\n",
                 FixtureSite::kDefaultPort);
    return code;
}

} // namespace

int main(int argc, char **argv)
{
    FixtureSiteOptions options;
    options.port = FixtureSite::kDefaultPort;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h")
            return Usage(stdout, 0);
        int *target = arg == "--port" ? &options.port : arg == "--latency" ? &options.latencyMs : nullptr;
        if (!target || i + 1 >= argc || !ReadNumber(argv[++i], *target))
            return Usage(stderr, 2);
    }
    FixtureSite site(options);
    if (!site.ok()) {
        std::fprintf(stderr, "quillora-demo-site: cannot listen on 127.0.0.1:%d\n", options.port);
        return 1;
    }
    std::printf("Fixture novel site on %s\n"
                "  GBK site:   search address %s/search/   (transcoding 默认)\n"
                "  UTF-8 site: search address %s/search/   (transcoding GBK)\n"
                "Press Ctrl+C to stop.\n",
                site.BaseUrl().c_str(), site.SiteUrl(true).c_str(), site.SiteUrl(false).c_str());
    std::fflush(stdout);
    for (;;)
        std::this_thread::sleep_for(std::chrono::hours(1));
}
