// Single-page collection. The page-element loader and the site rules come with their own unit;
// until then a single page cannot be collected and says so.
#include "messageservice.h"
#include "parse.h"

namespace {
void ReportUnavailable(IApp& app)
{
    app.GetMessages().Alert(QStringLiteral("在采集的过程中发生错误：单页采集还不能使用"));
}
}  // namespace

void TParseForm::ParseSimpleTudou(const std::string&, int, bool) { ReportUnavailable(*App); }
void TParseForm::ParseSimpleYouku(const std::string&, int, bool) { ReportUnavailable(*App); }
void TParseForm::ParseSimple56(const std::string&, int, bool) { ReportUnavailable(*App); }
void TParseForm::ParseSimple6JF(const std::string&, int, bool) { ReportUnavailable(*App); }
void TParseForm::ParseSimpleOuou(const std::string&, int, bool) { ReportUnavailable(*App); }
void TParseForm::ParseSimpleSina(const std::string&, int, bool) { ReportUnavailable(*App); }
