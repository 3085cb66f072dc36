#pragma once
// The grid's footer: one summary, the row count, drawn under the "序号" column and kept in line
// with it as the columns resize and scroll.
#include <QWidget>

namespace quib::results {

class DataView;

class GridFooter : public QWidget {
    Q_OBJECT
public:
    // `view` must outlive the footer.
    explicit GridFooter(DataView& view, QWidget* parent = nullptr);

    QString Text() const;
    // The grid column under footer x coordinate `x`, -1 if none.
    int ColumnAt(int x) const;
    // The footer cell of a grid column, in footer coordinates.
    QRect CellRect(int column) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int ColumnOffset() const;

    DataView& m_view;
};

}  // namespace quib::results
