#pragma once
// The scripts injected into video-search result pages (V1 to V10) and CMS administration pages
// (menus M1, M2; collect buttons A1, A2; search buttons S1, S2), as GBK text.
#include <cstddef>
#include <string>
#include <string_view>

namespace quib::admin {

enum class PageScript { V1, V2, V3, V4, V5, V6, V7, V8, V9, V10, M1, M2, A1, A2, S1, S2 };
inline constexpr std::size_t kScriptCount = 16;

// The script exactly as the program holds it and runs it: the page bridge gives it the view of
// the document it was written for.
const std::string& ScriptText(PageScript script);
// "try{" + script + "}catch(e){}": a failing script reports nothing.
std::string WrapScript(std::string_view script);

}  // namespace quib::admin
