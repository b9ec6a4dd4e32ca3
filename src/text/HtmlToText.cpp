#include "HtmlToText.h"

#include "text/CodePage.h"
#include "text/HtmlDepthLimit.h"

#include <gumbo.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Deeper elements are flattened before parsing (see LimitHtmlNesting).
constexpr int kMaxNesting = 256;

bool IsOneOf(GumboTag tag, std::initializer_list<GumboTag> tags)
{
    return std::find(tags.begin(), tags.end(), tag) != tags.end();
}

// Elements a browser does not render, with everything inside them.
bool IsNeverRendered(GumboTag tag)
{
    return IsOneOf(tag, {GUMBO_TAG_HEAD, GUMBO_TAG_TITLE, GUMBO_TAG_META, GUMBO_TAG_LINK, GUMBO_TAG_BASE,
                         GUMBO_TAG_SCRIPT, GUMBO_TAG_STYLE, GUMBO_TAG_TEMPLATE, GUMBO_TAG_NOSCRIPT,
                         GUMBO_TAG_NOEMBED, GUMBO_TAG_NOFRAMES, GUMBO_TAG_PARAM, GUMBO_TAG_DATALIST,
                         GUMBO_TAG_IFRAME, GUMBO_TAG_TEXTAREA, GUMBO_TAG_SELECT, GUMBO_TAG_INPUT, GUMBO_TAG_AREA,
                         GUMBO_TAG_RP, GUMBO_TAG_FRAMESET, GUMBO_TAG_FRAME});
}

// Elements a browser lays out as blocks: one line break before and after.
bool IsBlock(GumboTag tag)
{
    return IsOneOf(tag, {GUMBO_TAG_ADDRESS, GUMBO_TAG_ARTICLE, GUMBO_TAG_ASIDE, GUMBO_TAG_BLOCKQUOTE,
                         GUMBO_TAG_CENTER, GUMBO_TAG_DD, GUMBO_TAG_DETAILS, GUMBO_TAG_DIR, GUMBO_TAG_DIV,
                         GUMBO_TAG_DL, GUMBO_TAG_DT, GUMBO_TAG_FIELDSET, GUMBO_TAG_FIGCAPTION, GUMBO_TAG_FIGURE,
                         GUMBO_TAG_FOOTER, GUMBO_TAG_FORM, GUMBO_TAG_H1, GUMBO_TAG_H2, GUMBO_TAG_H3, GUMBO_TAG_H4,
                         GUMBO_TAG_H5, GUMBO_TAG_H6, GUMBO_TAG_HEADER, GUMBO_TAG_HGROUP, GUMBO_TAG_HR,
                         GUMBO_TAG_LEGEND, GUMBO_TAG_LI, GUMBO_TAG_LISTING, GUMBO_TAG_MAIN, GUMBO_TAG_MENU,
                         GUMBO_TAG_NAV, GUMBO_TAG_OL, GUMBO_TAG_P, GUMBO_TAG_PLAINTEXT, GUMBO_TAG_PRE,
                         GUMBO_TAG_SECTION, GUMBO_TAG_SUMMARY, GUMBO_TAG_TABLE, GUMBO_TAG_CAPTION, GUMBO_TAG_UL,
                         GUMBO_TAG_XMP, GUMBO_TAG_BODY, GUMBO_TAG_HTML, GUMBO_TAG_MULTICOL});
}

bool KeepsWhiteSpace(GumboTag tag)
{
    return IsOneOf(tag, {GUMBO_TAG_PRE, GUMBO_TAG_LISTING, GUMBO_TAG_PLAINTEXT, GUMBO_TAG_XMP});
}

// The `hidden` attribute or an inline "display: none".
bool IsHidden(const GumboElement &element)
{
    if (gumbo_get_attribute(&element.attributes, "hidden"))
        return true;
    const GumboAttribute *style = gumbo_get_attribute(&element.attributes, "style");
    if (!style)
        return false;
    std::string compact;
    for (const char *c = style->value; *c; ++c) {
        if (*c != ' ' && *c != '\t' && *c != '\n' && *c != '\r' && *c != '\f')
            compact += static_cast<char>(*c >= 'A' && *c <= 'Z' ? *c - 'A' + 'a' : *c);
    }
    return compact.find("display:none") != std::string::npos;
}

// The next sibling element of `node`, skipping text and comments.
const GumboNode *NextElement(const GumboNode *node)
{
    const GumboNode *parent = node->parent;
    if (!parent || (parent->type != GUMBO_NODE_ELEMENT && parent->type != GUMBO_NODE_TEMPLATE))
        return nullptr;
    const GumboVector &siblings = parent->v.element.children;
    for (unsigned int i = node->index_within_parent + 1; i < siblings.length; ++i) {
        const auto *sibling = static_cast<const GumboNode *>(siblings.data[i]);
        if (sibling->type == GUMBO_NODE_ELEMENT)
            return sibling;
    }
    return nullptr;
}

bool IsTag(const GumboNode *node, std::initializer_list<GumboTag> tags)
{
    return node && node->type == GUMBO_NODE_ELEMENT && IsOneOf(node->v.element.tag, tags);
}

// Whether a table row is followed by another row of the same table.
bool HasRowAfter(const GumboNode *row)
{
    if (IsTag(NextElement(row), {GUMBO_TAG_TR}))
        return true;
    const GumboNode *section = row->parent;
    if (!IsTag(section, {GUMBO_TAG_TBODY, GUMBO_TAG_THEAD, GUMBO_TAG_TFOOT}))
        return false;
    for (const GumboNode *next = NextElement(section); next; next = NextElement(next)) {
        if (IsTag(next, {GUMBO_TAG_TBODY, GUMBO_TAG_THEAD, GUMBO_TAG_TFOOT}) && next->v.element.children.length)
            return true;
    }
    return false;
}

// Collects the rendered text the way innerText does: text runs with their
// white space collapsed, strings that are always kept ("\n" of a <br>, the
// tab between cells) and required line breaks around blocks. A run of
// required breaks becomes as many line breaks as its largest member; runs at
// the start and the end vanish, and so does white space at the start and end
// of every line.
class TextCollector {
public:
    void RequireBreaks(int count)
    {
        m_pendingBreaks = std::max(m_pendingBreaks, count);
        m_pendingSpace = false;
        m_lineStart = true;
    }

    void Literal(std::string_view text)
    {
        m_pendingSpace = false;
        Flush();
        m_out += text;
        m_lineStart = text.ends_with('\n');
    }

    void Text(std::string_view text, bool preformatted)
    {
        for (size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            // U+00A0: a space that never collapses, written as a plain one.
            const bool noBreakSpace = c == '\xC2' && i + 1 < text.size() && text[i + 1] == '\xA0';
            if (noBreakSpace) {
                ++i;
                Put(' ');
            } else if (preformatted) {
                if (c == '\r')
                    continue;
                Put(c);
                m_lineStart = c == '\n';
            } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {
                m_pendingSpace = !m_lineStart;
            } else {
                Put(c);
            }
        }
    }

    // The text with "\r\n" line breaks.
    std::string Result() const
    {
        std::string out;
        out.reserve(m_out.size() + m_out.size() / 16);
        for (const char c : m_out) {
            if (c == '\n')
                out += '\r';
            out += c;
        }
        return out;
    }

private:
    void Put(char c)
    {
        if (m_pendingSpace) {
            m_pendingSpace = false;
            Put(' ');
        }
        Flush();
        m_out += c;
        m_lineStart = false;
    }

    void Flush()
    {
        if (m_pendingBreaks > 0 && !m_out.empty())
            m_out.append(static_cast<size_t>(m_pendingBreaks), '\n');
        m_pendingBreaks = 0;
    }

    std::string m_out;
    int m_pendingBreaks = 0;
    bool m_pendingSpace = false;
    bool m_lineStart = true;
};

// Walks the tree without recursion: a page may nest elements deeply.
class TreeWalker {
public:
    explicit TreeWalker(TextCollector &collector) : m_collector(collector) {}

    void Walk(const GumboNode *root)
    {
        struct Frame {
            const GumboNode *node;
            unsigned int next; // index of the next child to visit
        };
        std::vector<Frame> stack;
        if (Enter(root))
            stack.push_back({root, 0});
        while (!stack.empty()) {
            Frame &frame = stack.back();
            const GumboVector &children = frame.node->v.element.children;
            if (frame.next >= children.length) {
                const GumboNode *done = frame.node;
                stack.pop_back();
                Leave(done);
                continue;
            }
            const auto *child = static_cast<const GumboNode *>(children.data[frame.next++]);
            if (Enter(child))
                stack.push_back({child, 0});
        }
    }

private:
    // Handles a node on the way down; true when its children are to be
    // visited.
    bool Enter(const GumboNode *node)
    {
        switch (node->type) {
        case GUMBO_NODE_TEXT:
        case GUMBO_NODE_WHITESPACE:
        case GUMBO_NODE_CDATA:
            m_collector.Text(node->v.text.text, m_preformatted > 0);
            return false;
        case GUMBO_NODE_ELEMENT:
            break;
        default: // comments, templates, the document
            return false;
        }
        const GumboElement &element = node->v.element;
        if (IsNeverRendered(element.tag) || IsHidden(element))
            return false;
        if (element.tag == GUMBO_TAG_BR) {
            m_collector.Literal("\n");
            return false;
        }
        if (IsBlock(element.tag))
            m_collector.RequireBreaks(element.tag == GUMBO_TAG_P ? 2 : 1);
        if (KeepsWhiteSpace(element.tag))
            ++m_preformatted;
        return true;
    }

    void Leave(const GumboNode *node)
    {
        const GumboTag tag = node->v.element.tag;
        if ((tag == GUMBO_TAG_TD || tag == GUMBO_TAG_TH) && IsTag(NextElement(node), {GUMBO_TAG_TD, GUMBO_TAG_TH}))
            m_collector.Literal("\t");
        else if (tag == GUMBO_TAG_TR && HasRowAfter(node))
            m_collector.Literal("\n");
        if (IsBlock(tag))
            m_collector.RequireBreaks(tag == GUMBO_TAG_P ? 2 : 1);
        if (KeepsWhiteSpace(tag))
            --m_preformatted;
    }

    TextCollector &m_collector;
    int m_preformatted = 0;
};

} // namespace

std::string HtmlToText(std::string_view html)
{
    const std::string utf8 = LimitHtmlNesting(GbkToUtf8(html), kMaxNesting);
    if (utf8.empty())
        return {};
    GumboOptions options = kGumboDefaultOptions;
    options.fragment_context = GUMBO_TAG_BODY; // what a body's innerHTML would hold
    options.max_errors = 0;                    // the errors are of no use here
    GumboOutput *output = gumbo_parse_with_options(&options, utf8.data(), utf8.size());
    if (!output)
        return {};
    TextCollector collector;
    TreeWalker(collector).Walk(output->root);
    gumbo_destroy_output(&options, output);
    return Utf8ToGbk(collector.Result());
}
