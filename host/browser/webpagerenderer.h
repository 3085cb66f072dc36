#pragma once
// Renders pages for the page-element loader in a hidden, silent browser page of this process:
// no dialog, no frame, plug-in or image is loaded, nothing stays behind.
#include "host/core/networksettings.h"
#include "host/core/pagerenderer.h"

#include <QObject>

class QEventLoop;
class QWebEnginePage;
class QWebEngineProfile;

namespace quib {

class WebPageRenderer final : public QObject, public PageRenderer {
public:
    explicit WebPageRenderer(NetworkSettings network);
    ~WebPageRenderer() override;

    std::optional<std::string> Render(const std::string& url, std::chrono::milliseconds timeout,
                                      std::string& error) override;
    void Stop() override;

private:
    QWebEnginePage& Page();

    NetworkSettings m_network;
    bool m_stopped = false;
    QEventLoop* m_loop = nullptr;            // the local loop of the render in progress
    QWebEngineProfile* m_profile = nullptr;  // a child, made on the first render
    QWebEnginePage* m_page = nullptr;
};

}  // namespace quib
