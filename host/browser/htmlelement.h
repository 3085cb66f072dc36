#pragma once
// One element of a document the page-element loader walks. It reads its values from the parsed
// tree on demand: the inner text or markup of an outer element spans most of the page, so
// building them for every element up front would cost time quadratic in the nesting depth.
// Text is UTF-8.
#include <optional>
#include <string>
#include <string_view>

class HtmlElement {
public:
    // node is a GumboNode of type element, valid while its parse lives.
    explicit HtmlElement(const void* node) : node_(node) {}

    std::string TagName() const;  // upper case, e.g. "SCRIPT"
    std::string Id() const;
    std::string ClassName() const;
    std::optional<std::string> Attribute(std::string_view name) const;  // name in lower case
    std::string InnerText() const;  // text content, scripts and styles included as written
    std::string InnerHtml() const;  // markup content; for a script element its text

private:
    const void* node_;
};
