#pragma once
// A plain IApp for one module in one process: the host executable and the tests both use it,
// each handing in the services it wants (real or scripted message boxes, redirections).
#include "app.h"
#include "networksettings.h"

#include <QPointer>
#include <QWidget>

class HostLog;

class HostApp final : public IApp {
public:
    HostApp(QString moduleName, QString appPath, MessageService& messages, WorkerRegistry& workers,
            NetworkSettings network = {});

    QWidget* GetMainForm() override { return mainForm_; }
    void WriteLog(const QString& summary, const QString& detail, const QString& source) override;
    QString GetAppPath() override { return appPath_; }
    QString GetModuleName() override { return moduleName_; }
    std::unique_ptr<TStringHashTable> GetProperties() override;
    QString GetSkinName() override { return skinName_; }
    MessageService& GetMessages() override { return messages_; }
    const NetworkSettings& GetNetwork() override { return network_; }
    WorkerRegistry& GetWorkers() override { return workers_; }

    void SetMainForm(QWidget* form) { mainForm_ = form; }
    void SetSkinName(QString name) { skinName_ = std::move(name); }
    // Where WriteLog goes; without a log the entries go to the terminal.
    void SetLog(HostLog* log) { m_log = log; }
    NetworkSettings& Network() { return network_; }
    QString PropertiesPath() const;

private:
    QString moduleName_;
    QString appPath_;
    MessageService& messages_;
    WorkerRegistry& workers_;
    NetworkSettings network_;
    QPointer<QWidget> mainForm_;
    QString skinName_ = QStringLiteral("Sys");
    HostLog* m_log = nullptr;
};
