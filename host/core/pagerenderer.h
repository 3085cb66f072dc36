#pragma once
// What renders a page with its scripts for the page-element loader. The loader itself only
// fetches and parses; a front end that may run page scripts gives it a renderer: the windows an
// embedded browser page, the command-line tool a browser in a process of its own, so that the
// tool itself never loads the browser.
#include <chrono>
#include <optional>
#include <string>

namespace quib {

class PageRenderer {
public:
    virtual ~PageRenderer() = default;
    // Loads url with its scripts on and returns the document they leave, as UTF-8 markup; empty
    // (and error saying why) when the page could not be rendered within timeout or was stopped.
    // Runs a local event loop meanwhile, during which the renderer may be destroyed: it then
    // returns at once, touching nothing of itself.
    virtual std::optional<std::string> Render(const std::string& url, std::chrono::milliseconds timeout,
                                              std::string& error) = 0;
    // Ends a render in progress at once; may be called from within the render's loop.
    virtual void Stop() = 0;
};

}  // namespace quib
