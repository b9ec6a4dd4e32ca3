#include "NovelFetcher.h"

#include "fetch/WinHttpFetcher.h"
#include "fetch/WinInetFetcher.h"

std::string NovelFetcher::FetchPage(const std::string &address, FetchMode mode, Transcoding transcoding)
{
    return XmlHttpFetcher(mode).Fetch(address, transcoding);
}

ByteBuffer NovelFetcher::FetchPicture(const std::string &address)
{
    return WinInetFetcher::Fetch(address);
}

std::string NovelFetcher::FetchChapterPage(const std::string &address)
{
    return WinHttpFetcher(m_hooks).Fetch(address);
}
