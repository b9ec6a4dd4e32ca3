#pragma once

#include <string>
#include <string_view>

// Completes a link found on a page into an address that can be fetched.
//   "//host/x"  -> the scheme of `pageAddress` (http: when it has none) + link
//   "/x"        -> the scheme and host (with port) of `pageAddress` + link
//   contains "http" anywhere (case-sensitive) -> unchanged
//   anything else -> "http://" + link
// `pageAddress` is the address of the page the link was found on. When it
// names no host, a "/x" link falls back to the last two rules.
std::string CompleteAddress(std::string_view link, std::string_view pageAddress);
