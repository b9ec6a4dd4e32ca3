// Links found on pages become fetchable addresses.

#include "novel/AddressCompletion.h"

#include <gtest/gtest.h>

namespace {

struct CompletionCase {
    const char *link;
    const char *page;
    const char *expected;
};

class CompleteAddressTest : public testing::TestWithParam<CompletionCase> {};

TEST_P(CompleteAddressTest, Completes)
{
    EXPECT_EQ(CompleteAddress(GetParam().link, GetParam().page), GetParam().expected)
        << GetParam().link << " on " << GetParam().page;
}

constexpr const char *kPage = "http://127.0.0.1:8080/gbk/book/1/index.html?x=1";

INSTANTIATE_TEST_SUITE_P(
    Links, CompleteAddressTest,
    testing::Values(
        // Site-relative and protocol-relative links resolve against the page.
        CompletionCase{"/book/1/2.html", kPage, "http://127.0.0.1:8080/book/1/2.html"},
        CompletionCase{"/book/1/2.html", "https://example.com", "https://example.com/book/1/2.html"},
        CompletionCase{"/a?u=http://x", "https://example.com/q", "https://example.com/a?u=http://x"},
        CompletionCase{"//cdn.example.com/a.html", kPage, "http://cdn.example.com/a.html"},
        CompletionCase{"//cdn.example.com/a.html", "https://example.com/", "https://cdn.example.com/a.html"},
        CompletionCase{"//cdn.example.com/a.html", "", "http://cdn.example.com/a.html"},
        // Without a usable page address a "/" link keeps the old rule.
        CompletionCase{"/book/1/2.html", "", "http:///book/1/2.html"},
        CompletionCase{"/book/1/2.html", "example.com/x", "http:///book/1/2.html"},
        // Every other link keeps the old rule.
        CompletionCase{"www.example.com/book/1/", kPage, "http://www.example.com/book/1/"},
        CompletionCase{"http://example.com/x", kPage, "http://example.com/x"},
        CompletionCase{"https://example.com/x", kPage, "https://example.com/x"},
        CompletionCase{"go.php?to=http%3A%2F%2Fx", kPage, "go.php?to=http%3A%2F%2Fx"},
        CompletionCase{"HTTP://EXAMPLE.COM/x", kPage, "http://HTTP://EXAMPLE.COM/x"},
        CompletionCase{"2.html", kPage, "http://2.html"},
        CompletionCase{"", kPage, "http://"}));

} // namespace
