#pragma once

#include <string>
#include <string_view>

// Case folding of ASCII letters only: every byte outside A..Z, including each
// byte of a double-byte character, is left as it is.
constexpr char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string AsciiLower(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = AsciiLower(c);
    return out;
}
