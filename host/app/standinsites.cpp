#include "host/app/standinsites.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace quib::host {

bool SeedStandinSites(const QString& appPath)
{
    const QDir data(QDir(appPath).filePath(QStringLiteral("data")));
    const QString file = data.filePath(QStringLiteral("tool.quib.sites.xml"));
    if (QFileInfo::exists(file) || QFileInfo::exists(data.filePath(QStringLiteral("sites.xml"))))
        return false;
    // The collector's own layout: one empty element per site, attributes in this order.
    QByteArray xml = "<?xml version=\"1.0\"?>\n<sites>\n";
    for (const char* version : {"3.1", "4.x", "5.0", "6.0"}) {
        xml += QByteArray("\t<site title=\"CMS ") + version + " 演示站\" url=\"http://cms.standin.test/" + version +
               "/admin/login.asp\" default=\"0\" version=\"" + version + "\" />\n";
    }
    xml += "</sites>\n";
    QDir().mkpath(data.path());
    QSaveFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(xml) == xml.size() && out.commit();
}

}  // namespace quib::host
