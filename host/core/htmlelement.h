#pragma once
// One element of a document the page-element loader walks. It reads its values from the parsed
// tree on demand: the inner text or markup of an outer element spans most of the page, so
// building them for every element up front would cost time quadratic in the nesting depth.
// Text is UTF-8.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quib {

// The bytes of text and markup one walk may hand out through InnerText and InnerHtml, all
// elements together, each node read for them counting as one more. Nested elements each span
// what the next one holds again, so reading every one of them would cost time quadratic in the
// nesting; a walk that has spent its allowance ends as cut short.
class HtmlTextAllowance {
public:
    explicit HtmlTextAllowance(std::size_t bytes) : m_left(bytes) {}
    // Takes up to want bytes; returns how many may be written.
    std::size_t Take(std::size_t want)
    {
        if (want > m_left) {
            m_spent = true;
            want = m_left;
        }
        m_left -= want;
        return want;
    }
    bool Spent() const { return m_spent; }

private:
    std::size_t m_left;
    bool m_spent = false;
};

class HtmlElement {
public:
    // node is a GumboNode of type element, valid while its parse lives; allowance, if any,
    // bounds the text the element hands out.
    explicit HtmlElement(const void* node, HtmlTextAllowance* allowance = nullptr)
        : m_node(node), m_allowance(allowance)
    {
    }

    std::string TagName() const;  // upper case, e.g. "SCRIPT"
    std::string Id() const;
    std::string ClassName() const;
    std::optional<std::string> Attribute(std::string_view name) const;  // name in lower case
    std::string InnerText() const;  // text content, scripts and styles included as written
    std::string InnerHtml() const;  // markup content; for a script element its text

private:
    void Append(std::string& out, std::string_view text) const;

    const void* m_node;
    HtmlTextAllowance* m_allowance;
};

}  // namespace quib
