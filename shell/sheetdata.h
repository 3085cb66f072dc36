#pragma once
// What a site tab carries: its site record and its browser page (owned by the main window).
struct TSiteData;
class TWebPage;

struct TSheetData {
    TSiteData* Site = nullptr;
    TWebPage* Page = nullptr;
};
