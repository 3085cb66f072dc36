#pragma once
// What a site tab carries: its site record and its browser page (owned by the main window).
namespace quib::admin {
struct TSiteData;
class TWebPage;
}  // namespace quib::admin

namespace quib::collector {

struct TSheetData {
    admin::TSiteData* Site = nullptr;
    admin::TWebPage* Page = nullptr;
};

}  // namespace quib::collector
