#include "tools/quibcollect/loadedstandin.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <array>
#include <stdexcept>

namespace quib::cli {

LoadedStandin::LoadedStandin(const QString& path) : m_library(path) {}

LoadedStandin::~LoadedStandin() = default;

QString LoadedStandin::DefaultPath()
{
    const QString here = QCoreApplication::applicationDirPath();
    QString installed = here + QStringLiteral("/../" QUIB_INSTALL_LIBDIR "/libquibstandin.so");
    if (QFileInfo::exists(installed))
        return installed;
    return here + QStringLiteral("/../../standin/libquibstandin.so");
}

void LoadedStandin::Start()
{
    if (!m_library.load())
        throw std::runtime_error("cannot load the stand-in web: " + m_library.errorString().toStdString());
    const auto start = reinterpret_cast<decltype(&QuibStandinStart)>(m_library.resolve("QuibStandinStart"));
    const auto stop = reinterpret_cast<decltype(&QuibStandinStop)>(m_library.resolve("QuibStandinStop"));
    if (!start || !stop)
        throw std::runtime_error("the stand-in web's module " + m_library.fileName().toStdString() +
                                 " lacks its entry points");
    std::array<char, 256> connectTo{};
    std::array<char, 512> error{};
    m_web = {start(&m_port, connectTo.data(), connectTo.size(), error.data(), error.size()), stop};
    if (!m_web)
        throw std::runtime_error(std::string("the stand-in web did not start: ") + error.data());
    m_connectTo = {connectTo.data()};
}

}  // namespace quib::cli
