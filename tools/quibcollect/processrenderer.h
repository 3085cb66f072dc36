#pragma once
// Renders pages for quib-collect in a child process (quib-render), so that the tool itself loads
// neither the browser nor a widget: only a page that needs its scripts run starts one.
#include "host/core/networksettings.h"
#include "host/core/pagerenderer.h"

#include <QObject>
#include <QString>

class QEventLoop;

namespace quib::cli {

class ProcessRenderer final : public QObject, public PageRenderer {
public:
    // program: the helper's path; network: the redirections and user agent the page gets.
    ProcessRenderer(QString program, NetworkSettings network);
    ~ProcessRenderer() override;

    std::optional<std::string> Render(const std::string& url, std::chrono::milliseconds timeout,
                                      std::string& error) override;
    void Stop() override;

    // The helper beside the running program, else where the package installs it.
    static QString DefaultProgram();

private:
    QString m_program;
    NetworkSettings m_network;
    bool m_stopped = false;
    QEventLoop* m_loop = nullptr;  // the local loop of the render in progress
};

}  // namespace quib::cli
