#pragma once
// Pages of a hostile site for the bridge's security tests: a top page that frames a CMS page and
// a frame inside a CMS page, each trying every way into the bridge it can reach; and a page that
// calls the host before its bridge can have reached it.
namespace quib::standin {
class StandinWeb;
}

inline constexpr const char* kHostileHost = "evil.standin.test";
// More hosts of the hostile site, with the same pages: the bridge cuts off a flooding origin for
// good, so each flood comes from an origin of its own.
inline constexpr const char* kFloodTopHost = "flood-top.standin.test";
inline constexpr const char* kFloodFrameHost = "flood-frame.standin.test";
void RegisterHostilePages(quib::standin::StandinWeb& web);
