// A small module for the host's tests, loaded through the host's loader like a real one.
// TEST_MODULE_KIND: 0 loads; 1 fails in LoadModule after making its form; 2 loads, but its form
// refuses to close while its "refuse" property is true (the default).
#include "host/core/app.h"
#include "host/framework/module.h"
#include "host/core/workerthread.h"

#include <QCloseEvent>
#include <QWidget>

#include <chrono>
#include <stdexcept>
#include <thread>

using namespace quib;

namespace {

// Runs until the host stops the workers.
class IdleWorker : public WorkerThread {
protected:
    void Execute() override
    {
        while (!Terminated())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
};

class TestForm : public QWidget, public IModule {
    Q_OBJECT
public:
    TestForm(QWidget* owner, IApp* app) : QWidget(owner), m_app(app) { setProperty("refuse", TEST_MODULE_KIND == 2); }

    QWidget* GetForm() override { return this; }
    void AfterShow(IModule*) override
    {
        m_app->WriteLog(QStringLiteral("AfterShow"), isVisible() ? QStringLiteral("visible") : QStringLiteral("hidden"),
                        QStringLiteral("TestForm"));
        WorkerThread::Start<IdleWorker>(m_app->GetWorkers());
    }
    std::string About() override { return "res://" + m_app->GetModuleName().toStdString() + ".bpl/About"; }

    Q_INVOKABLE bool CanClose() { return !property("refuse").toBool(); }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        m_app->WriteLog(QStringLiteral("FormClose"), QString(), QStringLiteral("TestForm"));
        QWidget::closeEvent(event);
    }

private:
    IApp* m_app;
};

}  // namespace

extern "C" Q_DECL_EXPORT IModule* LoadModule(IApp* app, ModuleException** error)
{
    TestForm* form = nullptr;
    try {
        form = new TestForm(app->GetMainForm(), app);
        if (TEST_MODULE_KIND == 1)
            throw std::runtime_error("the form could not be built");
        return form;
    } catch (...) {
        *error = new ModuleException(form, QStringLiteral("栏目初始化失败！"));
        return nullptr;
    }
}

#include "testmodule.moc"
