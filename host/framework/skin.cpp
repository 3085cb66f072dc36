#include "host/framework/skin.h"

#include <QBoxLayout>
#include <QLinearGradient>
#include <QPainter>

namespace quib {

QColor RibbonSchemeColor(const QString& schemeName)
{
    const QString name = schemeName.toLower();
    if (name == QLatin1String("black"))
        return QColor(0x3b, 0x3b, 0x3b);
    if (name == QLatin1String("silver"))
        return QColor(0xc4, 0xcb, 0xd6);
    return QColor(0xbf, 0xdb, 0xff);  // blue
}

RibbonStrip::RibbonStrip(const QString& schemeName, QWidget* parent) : QWidget(parent), m_scheme(schemeName)
{
    setFixedHeight(kRibbonStripHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setObjectName(QStringLiteral("RibbonStrip"));
}

void RibbonStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor base = RibbonSchemeColor(m_scheme);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, base.lighter(115));
    gradient.setColorAt(1, base);
    painter.fillRect(rect(), gradient);
}

RibbonStrip* ApplySkin(QWidget& dialog, const QString& skinName)
{
    if (skinName == QLatin1String("Sys"))
        return nullptr;
    auto* strip = new RibbonStrip(skinName, &dialog);  // owned by the dialog
    if (auto* box = qobject_cast<QBoxLayout*>(dialog.layout())) {
        box->insertWidget(0, strip);
    } else {
        // Without a box layout the strip lies over the top edge and follows the width.
        strip->setGeometry(0, 0, dialog.width(), kRibbonStripHeight);
        strip->raise();
    }
    return strip;
}

}  // namespace quib
