#include "standin/gbktext.h"

#include <iconv.h>

#include <memory>
#include <stdexcept>

namespace quib::standin {

std::string Utf8ToGbk(std::string_view utf8)
{
    const iconv_t handle = iconv_open("GBK", "UTF-8");
    if (handle == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("iconv cannot convert UTF-8 to GBK");
    const std::unique_ptr<void, int (*)(iconv_t)> closer(handle, iconv_close);

    std::string out(utf8.size() + 4, '\0');  // GBK never takes more bytes than UTF-8
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    if (iconv(handle, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
        throw std::runtime_error("not GBK text: " + std::string(utf8.substr(0, 64)));
    out.resize(out.size() - outLeft);
    return out;
}

std::string GbkToUtf8(std::string_view gbk)
{
    const iconv_t handle = iconv_open("UTF-8", "GBK");
    if (handle == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("iconv cannot convert GBK to UTF-8");
    const std::unique_ptr<void, int (*)(iconv_t)> closer(handle, iconv_close);

    std::string out(gbk.size() * 3 + 4, '\0');  // no byte of GBK takes more than three of UTF-8
    char* in = const_cast<char*>(gbk.data());
    std::size_t inLeft = gbk.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0 && iconv(handle, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
        // An invalid or cut-off sequence: one byte of it goes, "?" in its place.
        ++in;
        --inLeft;
        *outPtr++ = '?';
        --outLeft;
    }
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace quib::standin
