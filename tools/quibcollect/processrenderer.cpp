#include "tools/quibcollect/processrenderer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QStringList>
#include <QTimer>

namespace quib::cli {

namespace {

// The browser starts afresh for every page: its start-up comes on top of the page's own limit.
constexpr std::chrono::milliseconds kStartUpAllowance{20000};
// What the helper says about a failure is its last line starting so.
const QByteArray kErrorPrefix = "quib-render: ";

std::string HelperError(const QByteArray& errors)
{
    const qsizetype at = errors.lastIndexOf(kErrorPrefix);
    if (at < 0)
        return {};
    QByteArray line = errors.mid(at + kErrorPrefix.size());
    line.truncate(line.indexOf('\n') < 0 ? line.size() : line.indexOf('\n'));
    return line.trimmed().left(200).toStdString();
}

}  // namespace

ProcessRenderer::ProcessRenderer(QString program, NetworkSettings network)
    : m_program(std::move(program)), m_network(std::move(network))
{
}

ProcessRenderer::~ProcessRenderer() { Stop(); }

QString ProcessRenderer::DefaultProgram()
{
    const QString here = QCoreApplication::applicationDirPath();
    const QString beside = here + QStringLiteral("/quib-render");
    if (QFileInfo(beside).isExecutable())
        return beside;
    return here + QStringLiteral("/../" QUIB_INSTALL_LIBDIR "/quib-render");
}

void ProcessRenderer::Stop()
{
    m_stopped = true;
    if (m_loop)
        m_loop->quit();
}

std::optional<std::string> ProcessRenderer::Render(const std::string& url, std::chrono::milliseconds timeout,
                                                   std::string& error)
{
    m_stopped = false;
    QStringList arguments;
    for (const std::string& rule : m_network.connectTo)
        arguments << QStringLiteral("--connect-to") << QString::fromStdString(rule);
    arguments << QStringLiteral("--user-agent") << QString::fromStdString(m_network.userAgent);
    arguments << QStringLiteral("--timeout-ms") << QString::number(timeout.count());
    arguments << QStringLiteral("--") << QString::fromStdString(url);

    // Locals, so they outlive this renderer should it go while the loop runs; the process is
    // killed with them.
    QProcess process;
    process.setProgram(m_program);
    process.setArguments(arguments);
    QByteArray document;
    bool tooLarge = false;
    bool timedOut = false;
    bool failedToStart = false;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError problem) {
        if (problem == QProcess::FailedToStart) {
            failedToStart = true;
            loop.quit();
        }
    });
    // A hostile page can grow its document without end: it is cut off at the body limit.
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &loop, [&] {
        document += process.readAllStandardOutput();
        if (static_cast<std::size_t>(document.size()) > m_network.maxBodyBytes) {
            tooLarge = true;
            loop.quit();
        }
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    const QPointer<ProcessRenderer> alive(this);
    m_loop = &loop;
    deadline.start(timeout + kStartUpAllowance);
    process.start();
    if (!failedToStart)
        loop.exec();
    if (alive)
        m_loop = nullptr;
    const bool finished = process.state() == QProcess::NotRunning;
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    if (!alive)
        return std::nullopt;

    if (failedToStart) {
        error = "the page renderer " + m_program.toStdString() + " could not be started";
        return std::nullopt;
    }
    if (m_stopped || tooLarge || timedOut || !finished) {
        error = m_stopped  ? "stopped"
                : tooLarge ? "the rendered page is larger than " + std::to_string(m_network.maxBodyBytes) + " bytes"
                           : "the page did not load in time";
        return std::nullopt;
    }
    document += process.readAllStandardOutput();
    if (static_cast<std::size_t>(document.size()) > m_network.maxBodyBytes) {
        error = "the rendered page is larger than " + std::to_string(m_network.maxBodyBytes) + " bytes";
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        error = HelperError(process.readAllStandardError());
        if (error.empty())
            error = "the page renderer ended without the page";
        return std::nullopt;
    }
    return document.toStdString();
}

}  // namespace quib::cli
