#pragma once

#include "fetch/XmlHttpFetcher.h"

// The three choices of the main window's radio groups, as the workflows take
// them. The defaults are the window's initial state.

// "URL加密": how the keyword enters the search address.
enum class KeywordForm {
    Utf8,   // 单选框_UTF8: percent form of the keyword's UTF-8 bytes
    Escape, // 单选框_USC2: the script-escape form ("%u4E2D")
};

struct FetchChoices {
    KeywordForm keywordForm = KeywordForm::Utf8;
    FetchMode fetchMode = FetchMode::Http10;    // "取码": 模2
    Transcoding transcoding = Transcoding::Gbk; // "转码": GBK
};
