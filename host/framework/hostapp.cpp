#include "hostapp.h"

#include "hostlog.h"

#include <QDir>
#include <QtGlobal>

HostApp::HostApp(QString moduleName, QString appPath, MessageService& messages, WorkerRegistry& workers,
                 NetworkSettings network)
    : moduleName_(std::move(moduleName)), appPath_(std::move(appPath)), messages_(messages), workers_(workers),
      network_(std::move(network))
{
    if (!appPath_.endsWith(QLatin1Char('/')))
        appPath_ += QLatin1Char('/');
    QDir().mkpath(appPath_);
}

void HostApp::WriteLog(const QString& summary, const QString& detail, const QString& source)
{
    if (m_log) {
        m_log->Write(moduleName_, summary, detail, source);
        return;
    }
    qWarning("[%s] %s: %s", qUtf8Printable(source), qUtf8Printable(summary), qUtf8Printable(detail));
}

QString HostApp::PropertiesPath() const { return appPath_ + moduleName_ + QStringLiteral(".properties"); }

std::unique_ptr<TStringHashTable> HostApp::GetProperties() { return TStringHashTable::LoadFromFile(PropertiesPath()); }
