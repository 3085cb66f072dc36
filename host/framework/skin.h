#pragma once
// Dialog skins: "Sys" keeps the plain system frame; any other skin name becomes the colour
// scheme of a 24-pixel ribbon strip across the top of the dialog.
#include <QColor>
#include <QString>
#include <QWidget>

namespace quib {

inline constexpr int kRibbonStripHeight = 24;

// The strip's colour for a scheme name; unknown names get the blue scheme.
QColor RibbonSchemeColor(const QString& schemeName);

class RibbonStrip : public QWidget {
    Q_OBJECT
public:
    RibbonStrip(const QString& schemeName, QWidget* parent);
    QString SchemeName() const { return m_scheme; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_scheme;
};

// Applies the host's skin to a dialog being built; returns the strip, or nullptr for "Sys".
RibbonStrip* ApplySkin(QWidget& dialog, const QString& skinName);

}  // namespace quib
