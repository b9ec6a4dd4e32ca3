#pragma once

#include "novel/NovelChoices.h"
#include "text/ByteBuffer.h"

#include <string>

class PlatformHooks;

// The three roads by which the workflows fetch: a search or work page with
// the user's fetch mode and transcoding, a picture as bytes, and a table of
// contents or chapter as text. The real engines by default; tests and the
// benchmark may put something else behind the same calls.
class NovelFetcher {
public:
    // `hooks` lets window events run at the chapter engine's fixed points
    // (may be null).
    explicit NovelFetcher(PlatformHooks *hooks = nullptr) : m_hooks(hooks) {}
    virtual ~NovelFetcher() = default;

    // Code-page text (or what the transcoding makes of it); empty on failure.
    virtual std::string FetchPage(const std::string &address, FetchMode mode, Transcoding transcoding);
    // The body bytes; empty on failure.
    virtual ByteBuffer FetchPicture(const std::string &address);
    // Code-page text; empty on failure.
    virtual std::string FetchChapterPage(const std::string &address);

private:
    PlatformHooks *m_hooks;
};
