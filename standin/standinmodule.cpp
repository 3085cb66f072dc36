#include "standin/standinmodule.h"

#include "standin/standinweb.h"

#include <exception>
#include <memory>
#include <string_view>

// The module's handle is the server itself; the caller holds it until it stops it.
struct QuibStandin {
    quib::standin::StandinWeb web;
};

namespace {

void CopyCut(std::string_view text, char* buffer, std::size_t size)
{
    if (size == 0)
        return;
    const std::size_t length = text.copy(buffer, size - 1);
    buffer[length] = '\0';
}

}  // namespace

extern "C" {

QuibStandin* QuibStandinStart(int* port, char* connectTo, std::size_t connectToSize, char* error, std::size_t errorSize)
{
    try {
        auto standin = std::make_unique<QuibStandin>();
        *port = standin->web.Start();
        CopyCut(standin->web.ConnectToRules().front(), connectTo, connectToSize);
        CopyCut({}, error, errorSize);
        return standin.release();  // owned by the caller until QuibStandinStop
    } catch (const std::exception& failure) {
        CopyCut(failure.what(), error, errorSize);
        return nullptr;
    }
}

void QuibStandinStop(QuibStandin* web)
{
    const std::unique_ptr<QuibStandin> owned(web);
    if (owned)
        owned->web.Stop();
}

}  // extern "C"
