#pragma once
// The stand-in web for quib-collect, served by quib-standin in a child process: the tool then
// neither links nor loads the web server, and a run against real or redirected hosts pays nothing
// for it.
#include <QProcess>
#include <QString>

#include <chrono>
#include <string>
#include <vector>

namespace quib::cli {

class StandinProcess {
public:
    // program: the quib-standin to start.
    explicit StandinProcess(QString program);
    ~StandinProcess();  // ends the server and waits for it
    StandinProcess(const StandinProcess&) = delete;
    StandinProcess& operator=(const StandinProcess&) = delete;

    // Starts the server on a free loopback port and waits until it listens; throws
    // std::runtime_error when it cannot be started or says no address within the time given.
    void Start(std::chrono::milliseconds timeout = std::chrono::seconds(10));

    int Port() const { return m_port; }
    // curl CONNECT_TO rules that send every host to the server.
    const std::vector<std::string>& ConnectToRules() const { return m_connectTo; }

    // Beside the running program (the installed layout), else in the build tree's standin/.
    static QString DefaultProgram();

private:
    // Reads the lines the server prints once it listens; true when its address is known.
    bool ReadAddress(const QByteArray& text);

    QString m_program;
    QProcess m_process;
    int m_port = 0;
    std::vector<std::string> m_connectTo;
};

}  // namespace quib::cli
