#include "CodePage.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucnv_err.h>
#include <unicode/ustring.h>

#include <memory>

namespace {

// The program's code page. GB18030 maps every Unicode character, and is
// byte-identical to GBK for every GBK character.
constexpr const char *kCodePage = "gb18030";
constexpr char16_t kQuestion = u'?';

struct ConverterCloser {
    void operator()(UConverter *converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

std::string_view UpToZero(std::string_view text)
{
    const size_t zero = text.find('\0');
    return zero == std::string_view::npos ? text : text.substr(0, zero);
}

// ICU's own substitute for a bad byte sequence is U+FFFD or U+001A depending
// on the converter; the program shows "?" for every one of them.
void QuestionMarkToU(const void *, UConverterToUnicodeArgs *args, const char *, int32_t,
                     UConverterCallbackReason reason, UErrorCode *err)
{
    if (reason > UCNV_IRREGULAR) // reset, close, clone: nothing to write
        return;
    *err = U_ZERO_ERROR;
    const UChar question = kQuestion;
    ucnv_cbToUWriteUChars(args, &question, 1, 0, err);
}

// Opens a converter whose bad input and unmappable characters come out as "?".
Converter OpenConverter(const char *name)
{
    UErrorCode err = U_ZERO_ERROR;
    Converter converter(ucnv_open(name, &err));
    if (U_FAILURE(err) || !converter)
        return nullptr;
    ucnv_setToUCallBack(converter.get(), QuestionMarkToU, nullptr, nullptr, nullptr, &err);
    if (U_FAILURE(err))
        return nullptr;
    // Only the direction into the code page needs it; charsets whose units are
    // wider than a byte (UTF-16, UTF-32) refuse a one-byte "?" and keep their own.
    UErrorCode substErr = U_ZERO_ERROR;
    ucnv_setSubstChars(converter.get(), "?", 1, &substErr);
    return converter;
}

// Decodes all of `bytes` in bulk, growing the buffer only when a converter
// gives more than one UTF-16 unit per byte.
std::u16string Decode(UConverter *converter, std::string_view bytes)
{
    std::u16string out(bytes.size() + 16, u'\0');
    const char *source = bytes.data();
    const char *sourceEnd = source + bytes.size();
    size_t written = 0;
    for (;;) {
        UErrorCode err = U_ZERO_ERROR;
        UChar *target = reinterpret_cast<UChar *>(out.data()) + written;
        UChar *const targetStart = reinterpret_cast<UChar *>(out.data());
        ucnv_toUnicode(converter, &target, targetStart + out.size(), &source, sourceEnd, nullptr, true, &err);
        written = static_cast<size_t>(target - targetStart);
        if (err != U_BUFFER_OVERFLOW_ERROR)
            break;
        out.resize(out.size() * 2);
    }
    out.resize(written);
    return out;
}

// Encodes UTF-16 into the converter's charset in bulk.
std::string Encode(UConverter *converter, std::u16string_view text)
{
    // Four bytes per UTF-16 unit covers every GB18030 character.
    std::string out(text.size() * 4 + 16, '\0');
    const UChar *source = reinterpret_cast<const UChar *>(text.data());
    const UChar *sourceEnd = source + text.size();
    size_t written = 0;
    for (;;) {
        UErrorCode err = U_ZERO_ERROR;
        char *target = out.data() + written;
        ucnv_fromUnicode(converter, &target, out.data() + out.size(), &source, sourceEnd, nullptr, true, &err);
        written = static_cast<size_t>(target - out.data());
        if (err != U_BUFFER_OVERFLOW_ERROR)
            break;
        out.resize(out.size() * 2);
    }
    out.resize(written);
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string out(text.size() * 3 + 1, '\0');
    int32_t length = 0;
    UErrorCode err = U_ZERO_ERROR;
    u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length,
                       reinterpret_cast<const UChar *>(text.data()), static_cast<int32_t>(text.size()), '?',
                       nullptr, &err);
    if (U_FAILURE(err))
        return {};
    out.resize(static_cast<size_t>(length));
    return out;
}

std::u16string Utf8ToUtf16(std::string_view text)
{
    std::u16string out(text.size() + 1, u'\0');
    int32_t length = 0;
    UErrorCode err = U_ZERO_ERROR;
    u_strFromUTF8WithSub(reinterpret_cast<UChar *>(out.data()), static_cast<int32_t>(out.size()), &length,
                         text.data(), static_cast<int32_t>(text.size()), kQuestion, nullptr, &err);
    if (U_FAILURE(err))
        return {};
    out.resize(static_cast<size_t>(length));
    return out;
}

} // namespace

std::string GbkToUtf8(std::string_view gbk)
{
    gbk = UpToZero(gbk);
    if (gbk.empty())
        return {};
    Converter codePage = OpenConverter(kCodePage);
    if (!codePage)
        return {};
    return Utf16ToUtf8(Decode(codePage.get(), gbk));
}

std::string Utf8ToGbk(std::string_view utf8)
{
    utf8 = UpToZero(utf8);
    if (utf8.empty())
        return {};
    Converter codePage = OpenConverter(kCodePage);
    if (!codePage)
        return {};
    return Encode(codePage.get(), Utf8ToUtf16(utf8));
}

bool CharsetToGbk(std::string_view bytes, std::string_view charset, std::string &out)
{
    // An empty name would open ICU's default converter; a zero byte would cut
    // the name short. Neither names a charset.
    if (charset.empty() || charset.find('\0') != std::string_view::npos)
        return false;
    Converter source = OpenConverter(std::string(charset).c_str());
    Converter codePage = OpenConverter(kCodePage);
    if (!source || !codePage)
        return false;
    out = Encode(codePage.get(), Decode(source.get(), bytes));
    return true;
}
