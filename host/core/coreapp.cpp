#include "host/core/coreapp.h"

#include "host/core/hostlog.h"

#include <QDir>
#include <QtGlobal>

namespace quib {

CoreApp::CoreApp(QString moduleName, QString appPath, MessageService& messages, WorkerRegistry& workers,
                 NetworkSettings network)
    : m_moduleName(std::move(moduleName)), m_appPath(std::move(appPath)), m_messages(messages), m_workers(workers),
      m_network(std::move(network))
{
    if (!m_appPath.endsWith(QLatin1Char('/')))
        m_appPath += QLatin1Char('/');
    QDir().mkpath(m_appPath);
}

void CoreApp::WriteLog(const QString& summary, const QString& detail, const QString& source)
{
    if (m_log) {
        m_log->Write(m_moduleName, summary, detail, source);
        return;
    }
    qWarning("[%s] %s: %s", qUtf8Printable(source), qUtf8Printable(summary), qUtf8Printable(detail));
}

QString CoreApp::PropertiesPath() const { return m_appPath + m_moduleName + QStringLiteral(".properties"); }

std::unique_ptr<TStringHashTable> CoreApp::GetProperties() { return TStringHashTable::LoadFromFile(PropertiesPath()); }

}  // namespace quib
