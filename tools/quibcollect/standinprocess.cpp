#include "tools/quibcollect/standinprocess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>

#include <csignal>
#include <stdexcept>
#include <sys/prctl.h>
#include <unistd.h>

namespace quib::cli {

namespace {

// What quib-standin prints once it listens, before anything else.
constexpr QByteArrayView kListening = "quib-standin listening on ";
constexpr QByteArrayView kConnectTo = "connect-to rule: ";
// More than that before its address and it is no stand-in.
constexpr qsizetype kMaxGreeting = 4096;

}  // namespace

StandinProcess::StandinProcess(QString program) : m_program(std::move(program)) {}

StandinProcess::~StandinProcess()
{
    // It keeps nothing, so it is killed outright: its server's orderly stop would cost the tool's
    // exit more than the whole collection of a short album.
    m_process.kill();
    m_process.waitForFinished();
}

QString StandinProcess::DefaultProgram()
{
    const QString here = QCoreApplication::applicationDirPath();
    QString beside = here + QStringLiteral("/quib-standin");
    if (QFileInfo(beside).isExecutable())
        return beside;
    return here + QStringLiteral("/../../standin/quib-standin");
}

void StandinProcess::Start(std::chrono::milliseconds timeout)
{
    const pid_t parent = ::getpid();
    // A quib-collect killed outright must not leave its server running.
    m_process.setChildProcessModifier([parent] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(1);
    });
    // Its complaints are the user's to read; its standard output tells the address.
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setProgram(m_program);
    m_process.setArguments(
        {QStringLiteral("--address"), QStringLiteral("127.0.0.1"), QStringLiteral("--port"), QStringLiteral("0")});
    const std::string name = m_program.toStdString();
    const QDeadlineTimer deadline(timeout);
    m_process.start(QIODevice::ReadOnly);
    if (!m_process.waitForStarted(static_cast<int>(timeout.count())))
        throw std::runtime_error("the stand-in web " + name +
                                 " could not be started: " + m_process.errorString().toStdString());
    QByteArray greeting;
    for (;;) {
        const bool more = m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
        greeting += m_process.readAllStandardOutput();
        if (ReadAddress(greeting))
            return;
        if (greeting.size() > kMaxGreeting)
            throw std::runtime_error("the stand-in web " + name + " printed no address");
        if (!more) {
            if (m_process.state() == QProcess::NotRunning)
                throw std::runtime_error("the stand-in web " + name + " ended before it listened");
            if (deadline.hasExpired())
                throw std::runtime_error("the stand-in web " + name + " did not listen in time");
        }
    }
}

bool StandinProcess::ReadAddress(const QByteArray& text)
{
    int port = 0;
    std::vector<std::string> connectTo;
    for (const QByteArray& line : text.split('\n').mid(0, text.count('\n'))) {  // whole lines only
        if (line.startsWith(kListening)) {
            bool ok = false;
            port = line.mid(line.lastIndexOf(':') + 1).toInt(&ok);
            if (!ok || port <= 0 || port > 65535)
                return false;
        } else if (line.startsWith(kConnectTo)) {
            connectTo.push_back(line.mid(kConnectTo.size()).trimmed().toStdString());
        }
    }
    if (port == 0 || connectTo.empty())
        return false;
    m_port = port;
    m_connectTo = std::move(connectTo);
    return true;
}

}  // namespace quib::cli
