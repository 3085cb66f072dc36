#include "host/app/hostwindow.h"

#include "host/browser/browserstartup.h"
#include "host/framework/hostapp.h"
#include "host/core/hostlog.h"
#include "host/core/messageservice.h"
#include "host/framework/module.h"
#include "host/app/moduleloader.h"
#include "host/framework/resources.h"
#include "host/framework/skin.h"
#include "host/browser/tabwebform.h"
#include "host/core/workerthread.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QMetaMethod>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <exception>

namespace quib::host {

QString ModuleCaption(const QString& moduleName)
{
    QFile description(
        ResourcePath(moduleName + QStringLiteral(".bpl"), QStringLiteral("TEXT"), QStringLiteral("DESCRIPTION")));
    if (description.open(QIODevice::ReadOnly)) {
        QString text = QString::fromUtf8(description.readAll()).trimmed();
        if (!text.isEmpty())
            return text;
    }
    return moduleName;
}

HostWindow::HostWindow(HostEnvironment environment, QWidget* parent)
    : QMainWindow(parent), m_environment(std::move(environment)), m_settings(HostSettings::Load(m_environment.appPath)),
      m_pages(new QTabWidget(this))
{
    setWindowTitle(m_environment.standin ? QStringLiteral("Quib — 内置演示网站 (stand-in web)")
                                         : QStringLiteral("Quib"));
    setCentralWidget(m_pages);
    m_pages->setDocumentMode(true);
    BuildMenus();
    if (m_environment.standin)
        statusBar()->addWidget(new QLabel(m_environment.standinNote, this), 1);
    SetBrowserUserAgent(m_environment.commandLineUserAgent.isEmpty() ? m_settings.userAgent
                                                                     : m_environment.commandLineUserAgent);
    resize(1024, 720);
}

HostWindow::~HostWindow()
{
    // Module forms (and the about windows) use their IApp until they are gone, so they go first.
    for (const QPointer<QWidget>& about : m_aboutWindows)
        delete about.data();
    for (const auto& module : m_modules)
        delete module->page.data();
    m_modules.clear();
}

void HostWindow::BuildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    file->addAction(QStringLiteral("设置(&S)…"), this, &HostWindow::ShowSettings);
    file->addAction(QStringLiteral("查看日志(&L)"), this, &HostWindow::ShowLog);
    file->addSeparator();
    file->addAction(QStringLiteral("退出(&X)"), this, &QWidget::close);
    m_helpMenu = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
}

QWidget* HostWindow::MessagePage(const QString& title, const QString& text)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addStretch();
    auto* heading = new QLabel(title, page);
    heading->setObjectName(QStringLiteral("ModuleError"));
    heading->setAlignment(Qt::AlignCenter);
    QFont font = heading->font();
    font.setPointSize(font.pointSize() + 4);
    font.setBold(true);
    heading->setFont(font);
    layout->addWidget(heading);
    auto* detail = new QLabel(text, page);
    detail->setObjectName(QStringLiteral("ModuleErrorDetail"));
    detail->setAlignment(Qt::AlignCenter);
    detail->setWordWrap(true);
    detail->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(detail);
    layout->addStretch();
    return page;
}

void HostWindow::LoadModules(const QStringList& names)
{
    const ModuleLoader loader(m_environment.modulesFolder);
    for (const QString& name : names) {
        auto module = std::make_unique<Module>();
        module->name = name;
        module->app = std::make_unique<HostApp>(name, m_environment.appPath, *m_environment.messages,
                                                *m_environment.workers, m_environment.network);
        module->app->SetLog(m_environment.log);
        module->page = new QWidget;
        auto* layout = new QVBoxLayout(module->page);
        layout->setContentsMargins(0, 0, 0, 0);
        module->app->SetMainForm(module->page);
        m_modules.push_back(std::move(module));
        Module& m = *m_modules.back();
        SetSettings(m_settings);  // the new IApp gets the skin and the network settings

        const ModuleLoad load = loader.Load(name, *m.app);
        m.module = load.module;
        m.caption = ModuleCaption(name);
        QWidget* content = nullptr;
        if (m.module) {
            m.form = m.module->GetForm();
            content = m.form;
        }
        if (content) {
            if (content->parentWidget() != m.page || content->isWindow())
                content->setParent(m.page, Qt::Widget);
            layout->addWidget(content);
            content->show();
        } else {
            m.module = nullptr;
            m.error = load.error.isEmpty() ? QStringLiteral("模块 %1 没有窗体。").arg(name) : load.error;
            if (load.failedForm)
                load.failedForm->hide();  // half built; it goes with its owner, the page
            layout->addWidget(
                MessagePage(m.error, QStringLiteral("模块 %1（%2）没有加载。").arg(name, loader.LibraryPath(name))));
            m.app->WriteLog(QStringLiteral("模块加载失败"), m.error, QStringLiteral("host"));
        }
        const QIcon icon(
            ResourcePath(name + QStringLiteral(".bpl"), QStringLiteral("ICON"), QStringLiteral("MAINICON")));
        m_pages->addTab(m.page, icon, m.caption);
        if (m.module) {
            const int index = int(m_modules.size()) - 1;
            m_helpMenu->addAction(QStringLiteral("关于 %1").arg(m.caption), this, [this, index] { ShowAbout(index); });
        }
    }
}

void HostWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // After the pages are on the screen, as the modules expect.
    QTimer::singleShot(0, this, &HostWindow::AfterShow);
}

void HostWindow::AfterShow()
{
    for (const auto& module : m_modules) {
        if (!module->module || module->shown)
            continue;
        module->shown = true;
        // An exception must not cross the event loop; the module's page stays as it is.
        try {
            module->module->AfterShow(module->module);
        } catch (const std::exception& e) {
            module->app->WriteLog(QStringLiteral("AfterShow 失败"), QString::fromUtf8(e.what()),
                                  QStringLiteral("host"));
        } catch (...) {
            module->app->WriteLog(QStringLiteral("AfterShow 失败"), QString(), QStringLiteral("host"));
        }
    }
}

QWidget* HostWindow::ShowAbout(int index)
{
    if (index < 0 || index >= int(m_modules.size()) || !m_modules[size_t(index)]->module)
        return nullptr;
    Module& m = *m_modules[size_t(index)];
    const QString address = QString::fromStdString(m.module->About());
    auto* about = new TTabWebForm(this, m.app.get(), address, QStringLiteral("关于 %1").arg(m.caption), false);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->resize(560, 420);
    m_aboutWindows.emplace_back(about);
    about->show();
    about->AfterShow(m.module);
    return about;
}

void HostWindow::SetSettings(const HostSettings& settings)
{
    const bool changed = settings != m_settings;
    m_settings = settings;
    if (changed && !m_settings.Save(m_environment.appPath))
        m_environment.messages->Alert(
            QStringLiteral("无法保存设置：%1").arg(HostSettings::FilePath(m_environment.appPath)));
    for (const auto& module : m_modules) {
        module->app->SetSkinName(m_settings.skinName);
        NetworkSettings& network = module->app->Network();
        network = m_environment.network;
        m_settings.ApplyTo(network);
        if (m_environment.standin)
            network.proxy.clear();  // the stand-in web is on this machine
        if (!m_environment.commandLineUserAgent.isEmpty())
            network.userAgent = m_environment.commandLineUserAgent.toStdString();
    }
    if (m_environment.commandLineUserAgent.isEmpty())
        SetBrowserUserAgent(m_settings.userAgent);
    if (m_environment.standin && m_environment.setStandinLatency)
        m_environment.setStandinLatency(m_settings.standinLatencyMs);
}

void HostWindow::ShowSettings()
{
    HostSettingsDialog dialog(m_settings, m_settings.skinName, this);
    dialog.StandinLatencySpin->setEnabled(m_environment.standin);
    if (m_environment.messages->ShowModal(dialog) == QDialog::Accepted)
        SetSettings(dialog.Settings());
}

void HostWindow::ShowLog()
{
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("日志"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(m_environment.log ? m_environment.log->Path() : QString(), &dialog));
    auto* text = new QPlainTextEdit(&dialog);
    text->setObjectName(QStringLiteral("LogText"));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setPlainText(m_environment.log ? m_environment.log->ReadAll() : QString());
    text->moveCursor(QTextCursor::End);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(760, 420);
    ApplySkin(dialog, m_settings.skinName);
    m_environment.messages->ShowModal(dialog);
}

bool HostWindow::CloseModules()
{
    // Every form is asked before any is closed, so one refusal keeps them all as they are.
    for (const auto& module : m_modules) {
        QWidget* form = module->form;
        if (!form || module->closed)
            continue;
        const int method = form->metaObject()->indexOfMethod("CanClose()");
        if (method < 0 || form->metaObject()->method(method).returnType() != QMetaType::Bool)
            continue;
        bool canClose = true;
        QMetaObject::invokeMethod(form, "CanClose", Qt::DirectConnection, Q_RETURN_ARG(bool, canClose));
        if (!canClose)
            return false;
    }
    for (const auto& module : m_modules) {
        QWidget* form = module->form;
        if (!form || module->closed)
            continue;
        if (!form->close())  // its close handler runs here; it may still say no
            return false;
        module->closed = true;
    }
    return true;
}

void HostWindow::closeEvent(QCloseEvent* event)
{
    if (!CloseModules()) {
        event->ignore();
        return;
    }
    for (const QPointer<QWidget>& about : m_aboutWindows)
        if (about)
            about->close();
    m_environment.workers->StopAll();
    m_environment.workers->WaitAll();
    event->accept();
}

}  // namespace quib::host
