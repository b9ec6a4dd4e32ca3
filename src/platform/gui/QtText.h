#pragma once

#include "text/CodePage.h"

#include <QString>

#include <string>

// The one crossing between the program's code page and Qt's strings.
inline QString FromGbk(const std::string &gbk)
{
    const std::string utf8 = GbkToUtf8(gbk);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string ToGbk(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToGbk(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}
