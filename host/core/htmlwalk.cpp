#include "host/core/htmlwalk.h"

#include <gumbo.h>

#include <array>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace quib {

namespace {

// The parser's work budget, in steps of its open-element stack: every tag costs the parser a
// walk over the elements still open, and reopening formatting elements costs one walk per
// element reopened. A page of ordinary depth spends a small fraction of this.
constexpr std::size_t kWorkPerByte = 4;
constexpr std::size_t kWorkBase = 4u << 20;
// What comparing a formatting element with an active one costs, in those steps.
constexpr std::size_t kFormattingCompare = 8;
// The parser's memory: what it may allocate in all, and what one tag is reckoned to cost it.
// Dense markup takes about 60 bytes of tree per byte of page.
constexpr std::size_t kArenaCeiling = 768u << 20;
constexpr std::size_t kMemoryEstimateCeiling = 512u << 20;
constexpr std::size_t kBytesPerTag = 320;
// The text a walk's elements may hand out, beyond the page's own size.
constexpr std::size_t kTextPerByte = 4;
constexpr std::size_t kTextBase = 1u << 20;

// How the pre-scan counts a tag.
enum class TagKind : unsigned char {
    Nesting,     // stays open until its end tag
    Formatting,  // likewise, and is reopened after a block that closed it
    Sibling,     // closed by the next of its kind or by its parent's end (p, li, td, ...)
    Void,        // never holds anything
    RawText,     // holds text up to its own end tag, no tags
};

TagKind KindOf(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_AREA:
    case GUMBO_TAG_BASE:
    case GUMBO_TAG_BR:
    case GUMBO_TAG_COL:
    case GUMBO_TAG_EMBED:
    case GUMBO_TAG_HR:
    case GUMBO_TAG_IMG:
    case GUMBO_TAG_INPUT:
    case GUMBO_TAG_LINK:
    case GUMBO_TAG_META:
    case GUMBO_TAG_PARAM:
    case GUMBO_TAG_SOURCE:
    case GUMBO_TAG_TRACK:
    case GUMBO_TAG_WBR:
    case GUMBO_TAG_KEYGEN:
    case GUMBO_TAG_BGSOUND:
    case GUMBO_TAG_BASEFONT:
    case GUMBO_TAG_FRAME:
    case GUMBO_TAG_IMAGE: return TagKind::Void;
    case GUMBO_TAG_A:
    case GUMBO_TAG_B:
    case GUMBO_TAG_BIG:
    case GUMBO_TAG_CODE:
    case GUMBO_TAG_EM:
    case GUMBO_TAG_FONT:
    case GUMBO_TAG_I:
    case GUMBO_TAG_NOBR:
    case GUMBO_TAG_S:
    case GUMBO_TAG_SMALL:
    case GUMBO_TAG_STRIKE:
    case GUMBO_TAG_STRONG:
    case GUMBO_TAG_TT:
    case GUMBO_TAG_U: return TagKind::Formatting;
    case GUMBO_TAG_HTML:
    case GUMBO_TAG_HEAD:
    case GUMBO_TAG_BODY:
    case GUMBO_TAG_P:
    case GUMBO_TAG_LI:
    case GUMBO_TAG_DT:
    case GUMBO_TAG_DD:
    case GUMBO_TAG_OPTION:
    case GUMBO_TAG_OPTGROUP:
    case GUMBO_TAG_TR:
    case GUMBO_TAG_TD:
    case GUMBO_TAG_TH:
    case GUMBO_TAG_THEAD:
    case GUMBO_TAG_TBODY:
    case GUMBO_TAG_TFOOT:
    case GUMBO_TAG_COLGROUP:
    case GUMBO_TAG_CAPTION:
    case GUMBO_TAG_RB:
    case GUMBO_TAG_RT:
    case GUMBO_TAG_RP:
    case GUMBO_TAG_RTC: return TagKind::Sibling;
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_TEXTAREA:
    case GUMBO_TAG_TITLE:
    case GUMBO_TAG_XMP:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_NOEMBED:
    case GUMBO_TAG_NOFRAMES:
    case GUMBO_TAG_PLAINTEXT: return TagKind::RawText;
    default: return TagKind::Nesting;
    }
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// The tag whose name starts at at; the name ends at the first blank, '/' or '>'.
GumboTag TagAt(std::string_view html, std::size_t at, std::size_t& nameEnd)
{
    char name[16];
    std::size_t length = 0;
    nameEnd = at;
    while (nameEnd < html.size() && !IsBlank(html[nameEnd]) && html[nameEnd] != '/' && html[nameEnd] != '>') {
        if (length < sizeof name)
            name[length] = Lower(html[nameEnd]);
        ++length;
        ++nameEnd;
    }
    if (length > sizeof name)
        return GUMBO_TAG_UNKNOWN;
    return gumbo_tagn_enum(name, static_cast<unsigned>(length));
}

// Where the end tag of a raw-text element ("</script", any case) starts, from at on; npos
// when the page ends first.
std::size_t RawTextEnd(std::string_view html, std::size_t at, GumboTag tag)
{
    if (tag == GUMBO_TAG_PLAINTEXT)
        return std::string_view::npos;
    const char* name = gumbo_normalized_tagname(tag);
    const std::size_t length = std::strlen(name);
    for (std::size_t lt = html.find("</", at); lt != std::string_view::npos; lt = html.find("</", lt + 2)) {
        std::size_t i = 0;
        while (i < length && lt + 2 + i < html.size() && Lower(html[lt + 2 + i]) == name[i])
            ++i;
        if (i == length)
            return lt;
    }
    return std::string_view::npos;
}

std::size_t After(std::string_view html, std::size_t at, std::string_view end)
{
    const std::size_t found = html.find(end, at);
    return found == std::string_view::npos ? html.size() : found + end.size();
}

// The parser's allocations come from blocks freed all at once: its own tree destruction
// recurses once per nesting level, which a deeply nested page would take past the stack. Blocks
// it frees are reused by size; past the ceiling the parse is abandoned.
class Arena {
public:
    explicit Arena(std::size_t ceiling) : m_ceiling(ceiling) {}

    void* Allocate(std::size_t size)
    {
        size = (size + kAlign - 1) / kAlign * kAlign;
        const std::size_t slot = size / kAlign;
        if (slot < m_free.size() && m_free[slot]) {
            Header* header = m_free[slot];
            m_free[slot] = header->next;
            return header + 1;
        }
        const std::size_t total = size + sizeof(Header);
        if (m_taken + total > m_ceiling)
            std::longjmp(*m_escape, 1);
        m_taken += total;
        unsigned char* at;
        if (total > kBlock / 4) {
            at = m_blocks.emplace_back(std::make_unique<unsigned char[]>(total)).get();
        } else {
            if (!m_current || m_used + total > kBlock) {
                m_current = m_blocks.emplace_back(std::make_unique<unsigned char[]>(kBlock)).get();
                m_used = 0;
            }
            at = m_current + m_used;
            m_used += total;
        }
        auto* header = reinterpret_cast<Header*>(at);
        header->size = size;
        return header + 1;
    }
    void Free(void* pointer)
    {
        if (!pointer)
            return;
        Header* header = static_cast<Header*>(pointer) - 1;
        const std::size_t slot = header->size / kAlign;
        if (slot >= kReusedSlots)
            return;
        if (m_free.size() <= slot)
            m_free.resize(kReusedSlots);
        header->next = m_free[slot];
        m_free[slot] = header;
    }

    static void* Allocate(void* arena, size_t size) { return static_cast<Arena*>(arena)->Allocate(size); }
    static void Free(void* arena, void* pointer) { static_cast<Arena*>(arena)->Free(pointer); }

    void SetEscape(std::jmp_buf* escape) { m_escape = escape; }

private:
    union alignas(std::max_align_t) Header {
        std::size_t size;
        Header* next;
    };
    static constexpr std::size_t kAlign = alignof(std::max_align_t);
    static constexpr std::size_t kBlock = 1u << 20;
    static constexpr std::size_t kReusedSlots = 4096 / kAlign + 1;
    std::size_t m_ceiling;
    std::size_t m_taken = 0;
    std::jmp_buf* m_escape = nullptr;
    std::vector<std::unique_ptr<unsigned char[]>> m_blocks;
    std::vector<Header*> m_free;
    unsigned char* m_current = nullptr;
    std::size_t m_used = 0;
};

// The parser cannot be told to stop; its allocator leaves it when the ceiling is reached. Only
// the parser's own frames lie between here and there, and all it holds is in the arena.
GumboOutput* ParseWithin(Arena& arena, const GumboOptions& options, std::string_view html)
{
    std::jmp_buf escape;
    arena.SetEscape(&escape);
    if (setjmp(escape) != 0)
        return nullptr;
    return gumbo_parse_with_options(&options, html.data(), html.size());
}

}  // namespace

std::size_t HtmlParsablePrefix(std::string_view html)
{
    const std::size_t workBudget = kWorkPerByte * html.size() + kWorkBase;
    std::size_t work = 0;
    std::size_t memory = 0;
    std::array<std::size_t, GUMBO_TAG_LAST + 1> open{};
    std::size_t depth = 0;       // open Nesting and Formatting elements
    std::size_t formatting = 0;  // open Formatting elements
    bool blockClosed = false;    // formatting elements may need reopening
    const auto reopen = [&] {
        if (blockClosed && formatting > 0)
            work += formatting * (depth + 1);
        blockClosed = false;
    };

    std::size_t pos = 0;
    while (pos < html.size()) {
        const std::size_t lt = html.find('<', pos);
        const std::size_t textEnd = lt == std::string_view::npos ? html.size() : lt;
        for (std::size_t i = pos; i < textEnd; ++i)
            if (!IsBlank(html[i])) {
                reopen();
                break;
            }
        if (lt == std::string_view::npos)
            break;
        const std::size_t next = lt + 1;
        if (next >= html.size())
            break;
        const char c = html[next];
        if (c == '!') {
            pos = html.compare(next, 3, "!--") == 0 ? After(html, next + 3, "-->") : After(html, next, ">");
            continue;
        }
        if (c == '?') {
            pos = After(html, next, ">");
            continue;
        }
        const bool end = c == '/';
        const std::size_t nameAt = end ? next + 1 : next;
        if (nameAt >= html.size() || !IsAsciiLetter(html[nameAt])) {
            pos = next;  // a '<' of the text
            continue;
        }
        std::size_t nameEnd;
        const GumboTag tag = TagAt(html, nameAt, nameEnd);
        pos = After(html, nameEnd, ">");
        const TagKind kind = KindOf(tag);
        work += depth + 1;
        memory += kBytesPerTag + (pos - lt);
        if (end) {
            if ((kind == TagKind::Nesting || kind == TagKind::Formatting) && open[tag] > 0) {
                --open[tag];
                --depth;
                if (kind == TagKind::Formatting)
                    --formatting;
            }
            if (kind != TagKind::Formatting)
                blockClosed = true;
        } else {
            reopen();
            switch (kind) {
            case TagKind::Formatting:
                // A second a or nobr closes the first.
                if ((tag == GUMBO_TAG_A || tag == GUMBO_TAG_NOBR) && open[tag] > 0)
                    break;
                // The parser compares a new formatting element with every one still active.
                work += kFormattingCompare * formatting;
                ++open[tag];
                ++depth;
                ++formatting;
                break;
            case TagKind::Nesting:
                ++open[tag];
                ++depth;
                break;
            case TagKind::RawText: {
                const std::size_t close = RawTextEnd(html, pos, tag);
                pos = close == std::string_view::npos ? html.size() : close;
                break;
            }
            case TagKind::Sibling:
            case TagKind::Void: break;
            }
        }
        if (work > workBudget || memory > kMemoryEstimateCeiling)
            return lt;
    }
    return html.size();
}

std::size_t WalkHtml(std::string_view html, const std::function<void(const HtmlElement&)>& visit,
                     const std::function<bool()>& stopped, HtmlWalkReport* report)
{
    HtmlWalkReport local;
    HtmlWalkReport& out = report ? *report : local;
    out = HtmlWalkReport{};
    const std::string_view parsed = html.substr(0, HtmlParsablePrefix(html));
    out.parsedBytes = parsed.size();
    out.cutShort = parsed.size() < html.size();

    Arena arena(kArenaCeiling);
    GumboOptions options = kGumboDefaultOptions;
    options.allocator = &Arena::Allocate;
    options.deallocator = &Arena::Free;
    options.userdata = &arena;
    options.max_errors = 0;  // the parse errors are of no interest and cost memory
    GumboOutput* output = ParseWithin(arena, options, parsed);
    if (!output) {
        out.cutShort = true;
        out.parsedBytes = 0;
        return 0;
    }

    HtmlTextAllowance allowance(kTextPerByte * html.size() + kTextBase);
    const auto more = [&] {
        if (allowance.Spent()) {
            out.cutShort = true;
            return false;
        }
        return !stopped();
    };
    // Pre-order walk with an explicit stack: document order, any depth.
    std::size_t visited = 0;
    std::vector<std::pair<const GumboNode*, unsigned>> stack{{output->root, 0}};
    if (more()) {
        visit(HtmlElement(output->root, &allowance));
        ++visited;
    }
    while (!stack.empty() && more()) {
        auto& [node, next] = stack.back();
        const GumboVector& children = node->v.element.children;
        if (next >= children.length) {
            stack.pop_back();
            continue;
        }
        const auto* child = static_cast<const GumboNode*>(children.data[next++]);
        if (child->type != GUMBO_NODE_ELEMENT && child->type != GUMBO_NODE_TEMPLATE)
            continue;
        visit(HtmlElement(child, &allowance));
        ++visited;
        stack.emplace_back(child, 0);
    }
    return visited;
}

}  // namespace quib
