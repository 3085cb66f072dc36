// Retry: a row collected again from its own page, overwritten in place.
#include "dataview.h"
#include "memdata.h"
#include "parse.h"
#include "retryrules.h"

#include <QCoreApplication>
#include <QPointer>

void TParseForm::RetryButtonClick()
{
    const int row = View().FocusedRow();
    if (row < 0 || row >= Data().Count())
        return;
    RetryRow(Data().Row(row).Link);
}

void TParseForm::RetryRow(const std::string& link)
{
    const std::optional<RetryTarget> target = RetryTargetOf(link);
    if (!target)
        return;
    switch (target->parser) {
    case SinglePageParser::Tudou: ParseSimpleTudou(link, target->kind, false); break;
    case SinglePageParser::Youku: ParseSimpleYouku(link, target->kind, false); break;
    case SinglePageParser::Wole: ParseSimple56(link, target->kind, false); break;
    case SinglePageParser::Ljf: ParseSimple6JF(link, target->kind, false); break;
    case SinglePageParser::Ouou: ParseSimpleOuou(link, target->kind, false); break;
    case SinglePageParser::Sina: ParseSimpleSina(link, target->kind, false); break;
    case SinglePageParser::None: break;
    }
}

void TParseForm::AutoRetryButtonClick()
{
    if (!Data().Active())
        return;
    const QPointer<TParseForm> alive(this);
    Data().Freeze();
    // Rows are walked in storage order; a retry never adds or removes one.
    for (int row = 0; row < Data().Count(); ++row) {
        const ResultRow& current = Data().Row(row);
        if (current.Status && current.Url.empty()) {
            const std::string link = current.Link;
            View().SetFocusedRow(row);
            RetryRow(link);
        }
        QCoreApplication::processEvents();
        if (!alive)
            return;
    }
    Data().Thaw();
}
