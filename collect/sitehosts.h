#pragma once
// Where each video site lives: the roots the collection addresses start with, and the domain
// names by which a typed address is recognised. Only the host redirects them, never the module.
#include <string_view>

namespace quib::collect::sitehosts {

inline constexpr std::string_view kTudouRoot = "http://www.tudou.com";
inline constexpr std::string_view kYoukuRoot = "http://www.youku.com";
inline constexpr std::string_view kWoleRoot = "http://www.56.com";
inline constexpr std::string_view kSixRoomsRoot = "http://6.cn";
inline constexpr std::string_view kOuouRoot = "http://www.ouou.com";
inline constexpr std::string_view kSinaRoot = "http://you.video.sina.com.cn";
inline constexpr std::string_view kXunleiDataRoot = "http://data.movie.xunlei.com";

inline constexpr std::string_view kTudouDomain = "tudou.com";
inline constexpr std::string_view kYoukuDomain = "youku.com";
inline constexpr std::string_view kWoleDomain = "56.com";
inline constexpr std::string_view kSixRoomsDomain = "6.cn";
inline constexpr std::string_view kOuouDomain = "ouou.com";
inline constexpr std::string_view kSinaDomain = "sina.com.cn";

}  // namespace quib::collect::sitehosts
