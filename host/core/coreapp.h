#pragma once
// A plain IApp for one module in one process, without a window: the command-line tool uses it as
// it is, the desktop host adds the main form (HostApp). Each caller hands in the services it wants
// (real or scripted message boxes, redirections).
#include "host/core/app.h"
#include "host/core/networksettings.h"

namespace quib {

class HostLog;

class CoreApp : public IApp {
public:
    CoreApp(QString moduleName, QString appPath, MessageService& messages, WorkerRegistry& workers,
            NetworkSettings network = {});

    QWidget* GetMainForm() override { return nullptr; }  // no window to own the module's forms
    void WriteLog(const QString& summary, const QString& detail, const QString& source) override;
    QString GetAppPath() override { return m_appPath; }
    QString GetModuleName() override { return m_moduleName; }
    std::unique_ptr<TStringHashTable> GetProperties() override;
    QString GetSkinName() override { return m_skinName; }
    MessageService& GetMessages() override { return m_messages; }
    const NetworkSettings& GetNetwork() override { return m_network; }
    WorkerRegistry& GetWorkers() override { return m_workers; }

    void SetSkinName(QString name) { m_skinName = std::move(name); }
    // Where WriteLog goes; without a log the entries go to the terminal.
    void SetLog(HostLog* log) { m_log = log; }
    NetworkSettings& Network() { return m_network; }
    QString PropertiesPath() const;

private:
    QString m_moduleName;
    QString m_appPath;
    MessageService& m_messages;
    WorkerRegistry& m_workers;
    NetworkSettings m_network;
    QString m_skinName = QStringLiteral("Sys");
    HostLog* m_log = nullptr;
};

}  // namespace quib
