#pragma once
// The stand-in web for quib-collect, served in-process by the stand-in's module, which is loaded
// only for a run on the stand-in: a run on real or redirected hosts neither links nor loads the
// web server.
#include "standin/standinmodule.h"

#include <QLibrary>
#include <QString>

#include <memory>
#include <string>
#include <vector>

namespace quib::cli {

class LoadedStandin {
public:
    // path: the module (libquibstandin.so) to load.
    explicit LoadedStandin(const QString& path);
    ~LoadedStandin();  // stops the server; the module stays loaded to the end of the process
    LoadedStandin(const LoadedStandin&) = delete;
    LoadedStandin& operator=(const LoadedStandin&) = delete;

    // Loads the module and starts the server on a free loopback port; throws std::runtime_error
    // when either fails.
    void Start();

    int Port() const { return m_port; }
    // curl CONNECT_TO rules that send every host to the server.
    const std::vector<std::string>& ConnectToRules() const { return m_connectTo; }

    // Where the package installs it beside the page renderer, else in the build tree's standin/.
    static QString DefaultPath();

private:
    QLibrary m_library;
    std::unique_ptr<QuibStandin, decltype(&QuibStandinStop)> m_web{nullptr, nullptr};
    int m_port = 0;
    std::vector<std::string> m_connectTo;
};

}  // namespace quib::cli
