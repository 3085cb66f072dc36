#include "host/core/safefile.h"

#include "host/core/filedescriptor.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace quib {

namespace {

// The cause in the same language as the rest of the message.
std::string Cause(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT: return "磁盘空间不足";
    case EACCES:
    case EPERM: return "没有权限";
    case ENOENT: return "文件夹不存在";
    case ENOTDIR: return "路径中有一项不是文件夹";
    case EROFS: return "磁盘只读";
    case EISDIR: return "这是一个文件夹";
    case EIO: return "磁盘读写错误";
    default: return "错误码 " + std::to_string(error);
    }
}

std::string Utf8(const QString& path) { return path.toStdString(); }

[[noreturn]] void FailRead(const QString& path, const std::string& why)
{
    throw std::runtime_error("无法读取文件 " + Utf8(path) + "（" + why + "）");
}

[[noreturn]] void FailWrite(const QString& path, const std::string& why)
{
    throw std::runtime_error("无法保存文件 " + Utf8(path) + "（" + why + "）");
}

}  // namespace

namespace safefile {

std::optional<std::string> ReadRegularFile(const QString& path, std::size_t maxBytes)
{
    const QByteArray name = QFile::encodeName(path);
    // Non-blocking, so opening a FIFO with no writer returns at once instead of waiting for one.
    FileDescriptor file(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        FailRead(path, Cause(errno));
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        FailRead(path, Cause(errno));
    if (!S_ISREG(info.st_mode))
        FailRead(path, "不是普通文件");
    const auto tooLarge = [&] { FailRead(path, "文件超过 " + std::to_string(maxBytes) + " 字节的上限"); };
    if (static_cast<unsigned long long>(info.st_size) > maxBytes)
        tooLarge();

    std::string content;
    content.resize(static_cast<std::size_t>(info.st_size));
    std::size_t filled = 0;
    // The file may grow while it is read; one byte past the cap tells it went over.
    for (;;) {
        if (filled == content.size()) {
            if (content.size() > maxBytes)
                tooLarge();
            content.resize(std::min(maxBytes + 1, content.size() + std::size_t{64} * 1024));
            if (filled == content.size())
                tooLarge();
        }
        const ssize_t got = ::read(file.get(), content.data() + filled, content.size() - filled);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            FailRead(path, Cause(errno));
        }
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    if (filled > maxBytes)
        tooLarge();
    content.resize(filled);
    return content;
}

void ReplaceFile(const QString& path, std::string_view content)
{
    // A link stays a link: its target is what gets replaced.
    const QFileInfo info(path);
    const QString target = info.isSymLink() && !info.canonicalFilePath().isEmpty() ? info.canonicalFilePath() : path;
    const QByteArray name = QFile::encodeName(target);
    QByteArray pattern = name + ".XXXXXX";
    FileDescriptor file(::mkostemp(pattern.data(), O_CLOEXEC));
    if (file.get() < 0)
        FailWrite(path, Cause(errno));
    const auto fail = [&](int error) {
        ::unlink(pattern.constData());
        FailWrite(path, Cause(error));
    };
    // A new file keeps the permissions of the one it replaces.
    struct stat old {};
    if (::stat(name.constData(), &old) == 0)
        ::fchmod(file.get(), old.st_mode & 07777);
    else
        ::fchmod(file.get(), 0644);

    std::size_t written = 0;
    while (written < content.size()) {
        const ssize_t put = ::write(file.get(), content.data() + written, content.size() - written);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        if (put == 0)
            fail(ENOSPC);
        written += static_cast<std::size_t>(put);
    }
    if (::fsync(file.get()) != 0)
        fail(errno);
    if (file.Close() != 0)
        fail(errno);
    if (::rename(pattern.constData(), name.constData()) != 0)
        fail(errno);
}

}  // namespace safefile

}  // namespace quib
