#include "HtmlDepthLimit.h"

#include "text/AsciiCase.h"

#include <algorithm>

namespace {

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsNameChar(char c)
{
    return IsLetter(c) || (c >= '0' && c <= '9') || c == '-' || c == ':' || c == '_';
}

bool IsOneOf(std::string_view name, std::initializer_list<std::string_view> names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Elements that never hold children, or that the next sibling of their kind
// closes: they do not make the tree deeper.
bool DoesNotNest(std::string_view name)
{
    return IsOneOf(name, {"area", "base", "basefont", "bgsound", "br", "col", "embed", "frame", "hr", "img",
                          "image", "input", "keygen", "link", "meta", "param", "source", "track", "wbr", "p",
                          "li", "dt", "dd", "option", "optgroup", "tr", "td", "th", "tbody", "thead", "tfoot",
                          "colgroup", "caption", "rb", "rt", "rtc", "rp", "html", "head", "body"});
}

// Elements whose content is text up to their own end tag.
bool HoldsRawText(std::string_view name)
{
    return IsOneOf(name, {"script", "style", "xmp", "iframe", "noembed", "noframes", "noscript", "textarea",
                          "title"});
}

// Position just after the ">" that ends the tag whose name ends at `i`, with
// quoted attribute values stepped over; npos when the tag never ends.
size_t TagEnd(std::string_view html, size_t i)
{
    char quote = 0;
    char previous = 0;
    for (; i < html.size(); ++i) {
        const char c = html[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if ((c == '"' || c == '\'') && previous == '=') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\f')
            previous = c;
    }
    return std::string_view::npos;
}

// Position of "</name" (any case) at or after `from`; npos when absent.
size_t FindEndTag(std::string_view html, std::string_view name, size_t from)
{
    for (size_t i = html.find("</", from); i != std::string_view::npos; i = html.find("</", i + 2)) {
        if (html.size() - i - 2 < name.size())
            return std::string_view::npos;
        bool same = true;
        for (size_t k = 0; k < name.size() && same; ++k)
            same = AsciiLower(html[i + 2 + k]) == name[k];
        if (same)
            return i;
    }
    return std::string_view::npos;
}

class NestingLimiter {
public:
    NestingLimiter(std::string_view html, int maxDepth) : m_html(html), m_maxDepth(maxDepth) {}

    std::string Run()
    {
        m_out.reserve(m_html.size());
        while (m_pos < m_html.size()) {
            const size_t lt = m_html.find('<', m_pos);
            if (lt == std::string_view::npos)
                break;
            Copy(lt);
            Step();
        }
        Copy(m_html.size());
        return std::move(m_out);
    }

private:
    void Copy(size_t to)
    {
        m_out.append(m_html.substr(m_pos, to - m_pos));
        m_pos = to;
    }

    // Copies through `to` (npos: the rest).
    void CopyThrough(size_t to) { Copy(std::min(to, m_html.size())); }

    // m_pos is at a "<".
    void Step()
    {
        const std::string_view rest = m_html.substr(m_pos);
        if (rest.starts_with("<!--")) {
            const size_t end = m_html.find("-->", m_pos + 4);
            CopyThrough(end == std::string_view::npos ? end : end + 3);
        } else if (rest.starts_with("<!") || rest.starts_with("<?")) {
            const size_t end = m_html.find('>', m_pos);
            CopyThrough(end == std::string_view::npos ? end : end + 1);
        } else if (rest.size() > 2 && rest[1] == '/' && IsLetter(rest[2])) {
            Tag(true);
        } else if (rest.size() > 1 && IsLetter(rest[1])) {
            Tag(false);
        } else {
            CopyThrough(m_pos + 1);
        }
    }

    void Tag(bool closing)
    {
        size_t nameEnd = m_pos + (closing ? 2 : 1);
        std::string name;
        while (nameEnd < m_html.size() && IsNameChar(m_html[nameEnd]))
            name += AsciiLower(m_html[nameEnd++]);
        const size_t end = TagEnd(m_html, nameEnd);
        if (end == std::string_view::npos) {
            CopyThrough(end);
            return;
        }
        const bool counted = !DoesNotNest(name) && !HoldsRawText(name) && name != "plaintext";
        if (counted && !Admit(closing)) {
            m_pos = end; // left out
            return;
        }
        CopyThrough(end);
        if (closing)
            return;
        if (name == "plaintext")
            CopyThrough(std::string_view::npos);
        else if (HoldsRawText(name))
            CopyThrough(FindEndTag(m_html, name, m_pos));
    }

    // Whether a counted tag is kept, keeping the depth count.
    bool Admit(bool closing)
    {
        if (closing) {
            if (m_dropped > 0) {
                --m_dropped;
                return false;
            }
            m_depth = std::max(0, m_depth - 1);
            return true;
        }
        if (m_depth >= m_maxDepth) {
            ++m_dropped;
            return false;
        }
        ++m_depth;
        return true;
    }

    std::string_view m_html;
    int m_maxDepth;
    size_t m_pos = 0;
    int m_depth = 0;
    long m_dropped = 0;
    std::string m_out;
};

} // namespace

std::string LimitHtmlNesting(std::string_view html, int maxDepth)
{
    return NestingLimiter(html, maxDepth).Run();
}
