#pragma once
// What a site tab carries: its site record and its browser page (owned by the main window).
struct TSiteData;
class TWebPage;

namespace quib::collector {

struct TSheetData {
    TSiteData* Site = nullptr;
    TWebPage* Page = nullptr;
};

}  // namespace quib::collector
