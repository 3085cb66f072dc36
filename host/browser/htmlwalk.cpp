#include "htmlwalk.h"

#include <gumbo.h>

#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

namespace {

// The parser's allocations come from blocks freed all at once: its own tree destruction
// recurses once per nesting level, which a deeply nested page would take past the stack.
class Arena {
public:
    void* Allocate(std::size_t size)
    {
        size = (size + kAlign - 1) / kAlign * kAlign;
        if (size > kBlock / 4)
            return blocks_.emplace_back(std::make_unique<unsigned char[]>(size)).get();
        if (blocks_.empty() || used_ + size > kBlock) {
            current_ = blocks_.emplace_back(std::make_unique<unsigned char[]>(kBlock)).get();
            used_ = 0;
        }
        void* at = current_ + used_;
        used_ += size;
        return at;
    }

    static void* Allocate(void* arena, size_t size) { return static_cast<Arena*>(arena)->Allocate(size); }
    static void Free(void*, void*) {}

private:
    static constexpr std::size_t kAlign = alignof(std::max_align_t);
    static constexpr std::size_t kBlock = 1u << 20;
    std::vector<std::unique_ptr<unsigned char[]>> blocks_;
    unsigned char* current_ = nullptr;
    std::size_t used_ = 0;
};

}  // namespace

std::size_t WalkHtml(std::string_view html, const std::function<void(const HtmlElement&)>& visit,
                     const std::function<bool()>& stopped)
{
    Arena arena;
    GumboOptions options = kGumboDefaultOptions;
    options.allocator = &Arena::Allocate;
    options.deallocator = &Arena::Free;
    options.userdata = &arena;
    options.max_errors = 0;  // the parse errors are of no interest and cost memory
    GumboOutput* output = gumbo_parse_with_options(&options, html.data(), html.size());
    if (!output)
        return 0;

    // Pre-order walk with an explicit stack: document order, any depth.
    std::size_t visited = 0;
    std::vector<std::pair<const GumboNode*, unsigned>> stack{{output->root, 0}};
    if (!stopped()) {
        visit(HtmlElement(output->root));
        ++visited;
    }
    while (!stack.empty() && !stopped()) {
        auto& [node, next] = stack.back();
        const GumboVector& children = node->v.element.children;
        if (next >= children.length) {
            stack.pop_back();
            continue;
        }
        const auto* child = static_cast<const GumboNode*>(children.data[next++]);
        if (child->type != GUMBO_NODE_ELEMENT && child->type != GUMBO_NODE_TEMPLATE)
            continue;
        visit(HtmlElement(child));
        ++visited;
        stack.emplace_back(child, 0);
    }
    return visited;
}
