#pragma once
#include <string>
#include <string_view>

namespace quib {

// Percent-encodes 8-bit text. With forQueryValue every byte but the unreserved ones
// (letters, digits, "-", "_", ".", "~") is encoded, a space as "%20"; without it the
// characters that structure an address (":/?#[]@!$&'()*+,;=%") are kept as they are.
std::string EncodeURL(std::string_view text, bool forQueryValue);

}  // namespace quib
