#pragma once
// The host's window: one page per module, captioned with the module's description and showing
// the form its LoadModule returned (or why there is none), a menu with the modules' about pages,
// the host settings and the log. Closing asks every module form first, then closes the forms,
// then stops the workers.
#include "host/app/hostsettings.h"
#include "host/core/networksettings.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QTabWidget;

namespace quib {
class HostApp;
class HostLog;
class IModule;
class MessageService;
class WorkerRegistry;
}  // namespace quib

namespace quib::host {

// What every module's IApp shares.
struct HostEnvironment {
    QString appPath;
    QString modulesFolder;
    NetworkSettings network;       // redirections and command-line choices, before the host settings
    QString commandLineUserAgent;  // wins over the settings for this run when set
    MessageService* messages = nullptr;
    WorkerRegistry* workers = nullptr;
    HostLog* log = nullptr;
    bool standin = false;                                     // the built-in stand-in web answers every site
    QString standinNote;                                      // what the status line says then
    std::function<void(int milliseconds)> setStandinLatency;  // the stand-in web's, when it runs
};

class HostWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit HostWindow(HostEnvironment environment, QWidget* parent = nullptr);
    ~HostWindow() override;

    struct Module {
        QString name;
        QString caption;
        std::unique_ptr<HostApp> app;
        IModule* module = nullptr;  // null when it did not load
        QString error;
        QPointer<QWidget> page;  // owner of the module's form
        QPointer<QWidget> form;
        bool shown = false;   // AfterShow called
        bool closed = false;  // its form has been closed
    };

    // Loads the modules in this order, one page each; a module that fails gets a page that says why.
    void LoadModules(const QStringList& names);
    // Calls AfterShow of every loaded module once; the window must be visible.
    void AfterShow();

    const std::vector<std::unique_ptr<Module>>& Modules() const { return m_modules; }
    QTabWidget* Pages() const { return m_pages; }
    const HostSettings& Settings() const { return m_settings; }
    void SetSettings(const HostSettings& settings);  // applies and saves them
    // The about page of the module at index, in the host's browser; returns that window.
    QWidget* ShowAbout(int index);
    void ShowSettings();
    void ShowLog();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildMenus();
    QWidget* MessagePage(const QString& title, const QString& text);
    bool CloseModules();

    HostEnvironment m_environment;
    HostSettings m_settings;
    QTabWidget* m_pages;
    QMenu* m_helpMenu = nullptr;
    std::vector<std::unique_ptr<Module>> m_modules;
    std::vector<QPointer<QWidget>> m_aboutWindows;
};

// The caption a module's page gets: its description resource (UTF-8), else its name.
QString ModuleCaption(const QString& moduleName);

}  // namespace quib::host
