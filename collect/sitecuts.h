#pragma once
// What each site's row callback keeps of an item's data for the row's Url: the part of an item
// page, address or link that names the video for the CMS. Byte text in, byte text out.
//
// A cut whose marker is missing gives an empty Url, so that the row shows as not collected
// (and the retry picks it up) instead of carrying a fragment of the wrong text.
#include <string>
#include <string_view>

namespace quib::collect {

// The player address of a 56 item page: the flash input's value up to ".swf", without the
// site's root.
std::string CutWoleUrl(std::string_view itemPage);
// The ten characters after "iid=" in a Tudou item link.
std::string CutTudouUrl(std::string_view link);
// The VideoIDS argument of a Youku item page.
std::string CutYoukuUrl(std::string_view itemPage);
// The video number of an Ouou item link: after "v_", up to the next ".".
std::string CutOuouUrl(std::string_view link);
// vid + "&uid=" + uid from a Sina item link "...uid=<uid>#<vid>".
std::string CutSinaUrl(std::string_view link);

}  // namespace quib::collect
