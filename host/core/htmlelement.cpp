#include "host/core/htmlelement.h"

#include <gumbo.h>

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

namespace quib {

namespace {

const GumboNode& Node(const void* node) { return *static_cast<const GumboNode*>(node); }

std::string_view Piece(const GumboStringPiece& piece) { return {piece.data, piece.length}; }

std::string LowerTagName(const GumboElement& element)
{
    if (element.tag != GUMBO_TAG_UNKNOWN)
        return gumbo_normalized_tagname(element.tag);
    GumboStringPiece original = element.original_tag;
    gumbo_tag_from_original_text(&original);
    std::string name(Piece(original));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name;
}

// The end tag the source closed the element with; an element closed by another element's end
// tag ("<li>b</ul>") gets one written out instead.
bool OwnEndTag(const GumboElement& element)
{
    if (element.original_end_tag.length < 3)
        return false;
    GumboStringPiece name = element.original_end_tag;
    gumbo_tag_from_original_text(&name);
    std::string lowered(Piece(name));
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lowered == LowerTagName(element);
}

bool IsVoid(GumboTag tag)
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
    case GUMBO_TAG_WBR: return true;
    default: return false;
    }
}

// The markup an element was written with, in source order; tags the parser supplied itself
// (implied or closing a misnested element) are written out plainly.
// "<name>" or "</name>", for a tag the parser supplied.
std::string Tag(std::string_view open, const GumboElement& element)
{
    std::string tag(open);
    tag += LowerTagName(element);
    tag += '>';
    return tag;
}

// out(piece) writes; done() says the rest is not wanted.
template <class Out, class Done>
void Serialise(const GumboNode& root, Out&& out, Done&& done)
{
    struct Step {
        const GumboNode* node;
        bool closing;
    };
    std::vector<Step> steps;
    const auto pushChildren = [&steps](const GumboNode& node) {
        const GumboVector& children = node.v.element.children;
        for (unsigned i = children.length; i-- > 0;)
            steps.push_back({static_cast<const GumboNode*>(children.data[i]), false});
    };
    pushChildren(root);
    while (!steps.empty() && !done()) {
        const Step step = steps.back();
        steps.pop_back();
        const GumboNode& node = *step.node;
        switch (node.type) {
        case GUMBO_NODE_TEXT:
        case GUMBO_NODE_WHITESPACE:
        case GUMBO_NODE_CDATA: out(Piece(node.v.text.original_text)); break;
        case GUMBO_NODE_COMMENT:
            out("<!--");
            out(node.v.text.text);
            out("-->");
            break;
        case GUMBO_NODE_ELEMENT:
        case GUMBO_NODE_TEMPLATE: {
            const GumboElement& element = node.v.element;
            if (step.closing) {
                if (OwnEndTag(element))
                    out(Piece(element.original_end_tag));
                else if (!IsVoid(element.tag))
                    out(Tag("</", element));
                break;
            }
            if (element.original_tag.length > 0)
                out(Piece(element.original_tag));
            else
                out(Tag("<", element));
            steps.push_back({&node, true});
            pushChildren(node);
            break;
        }
        default: break;
        }
    }
}

}  // namespace

std::string HtmlElement::TagName() const
{
    std::string name = LowerTagName(Node(m_node).v.element);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name;
}

std::optional<std::string> HtmlElement::Attribute(std::string_view name) const
{
    const GumboVector& attributes = Node(m_node).v.element.attributes;
    for (unsigned i = 0; i < attributes.length; ++i) {
        const auto* attribute = static_cast<const GumboAttribute*>(attributes.data[i]);
        if (name == attribute->name)
            return std::string(attribute->value);
    }
    return std::nullopt;
}

std::string HtmlElement::Id() const { return Attribute("id").value_or(std::string()); }

std::string HtmlElement::ClassName() const { return Attribute("class").value_or(std::string()); }

void HtmlElement::Append(std::string& out, std::string_view text) const
{
    out.append(text.substr(0, m_allowance ? m_allowance->Take(text.size()) : text.size()));
}

std::string HtmlElement::InnerText() const
{
    std::string out;
    std::vector<const GumboNode*> pending{static_cast<const GumboNode*>(m_node)};
    while (!pending.empty() && !(m_allowance && m_allowance->Spent())) {
        // Each node read counts, text or not: nested elements without text cost time too.
        if (m_allowance)
            m_allowance->Take(1);
        const GumboNode& node = *pending.back();
        pending.pop_back();
        if (node.type == GUMBO_NODE_TEXT || node.type == GUMBO_NODE_WHITESPACE || node.type == GUMBO_NODE_CDATA) {
            Append(out, node.v.text.text);
        } else if (node.type == GUMBO_NODE_ELEMENT || node.type == GUMBO_NODE_TEMPLATE) {
            const GumboVector& children = node.v.element.children;
            for (unsigned i = children.length; i-- > 0;)
                pending.push_back(static_cast<const GumboNode*>(children.data[i]));
        }
    }
    return out;
}

std::string HtmlElement::InnerHtml() const
{
    const GumboElement& element = Node(m_node).v.element;
    // A script's content is raw text: its markup is the text as written.
    if (element.tag == GUMBO_TAG_SCRIPT || element.tag == GUMBO_TAG_STYLE) {
        std::string out;
        for (unsigned i = 0; i < element.children.length; ++i) {
            const auto* child = static_cast<const GumboNode*>(element.children.data[i]);
            if (child->type != GUMBO_NODE_ELEMENT && child->type != GUMBO_NODE_COMMENT)
                Append(out, child->v.text.text);
        }
        return out;
    }
    std::string out;
    Serialise(
        Node(m_node), [this, &out](std::string_view piece) { Append(out, piece); },
        [this] { return m_allowance && (m_allowance->Take(1), m_allowance->Spent()); });
    return out;
}

}  // namespace quib
