#pragma once
// Keeps a result grid frozen for a scope: one repaint at the end instead of one per row. Safe
// when the grid is destroyed while frozen (a command's message processing can close its form).
#include "results/dataview.h"

#include <QPointer>

namespace quib::results {

class ViewFreeze {
public:
    explicit ViewFreeze(DataView& view) : m_view(&view) { view.BeginUpdate(); }
    ~ViewFreeze()
    {
        if (m_view)
            m_view->EndUpdate();
    }
    ViewFreeze(const ViewFreeze&) = delete;
    ViewFreeze& operator=(const ViewFreeze&) = delete;

private:
    QPointer<DataView> m_view;
};

}  // namespace quib::results
