#include "collectarchive.h"

#include "filedescriptor.h"
#include "safefile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

[[noreturn]] void Fail(const QString& path, const char* what, int error)
{
    throw std::runtime_error("cannot " + std::string(what) + " the archive " + path.toStdString() + ": " +
                             std::strerror(error));
}

}  // namespace

CollectArchive::CollectArchive(QString path) : m_path(std::move(path))
{
    const std::optional<std::string> content = safefile::ReadRegularFile(m_path, kMaxBytes);
    if (!content)
        return;
    std::string_view text = *content;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        std::size_t gap = 0;
        while (gap < line.size() && !IsBlank(line[gap]))
            ++gap;
        // A line without an address names nothing that could be left out.
        if (gap < line.size())
            m_keys.insert(Key(line.substr(0, gap), line.substr(gap)));
    }
}

std::string CollectArchive::Key(std::string_view site, std::string_view address)
{
    std::string clean(address);
    for (char& c : clean)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = ' ';
    const std::string_view trimmed = Trimmed(clean);
    if (trimmed.empty())
        return {};
    return std::string(site) + ' ' + std::string(trimmed);
}

void CollectArchive::Append(const std::vector<std::string>& keys)
{
    std::string text;
    std::vector<std::string> added;
    std::unordered_set<std::string> batch;
    for (const std::string& key : keys) {
        if (key.empty() || Contains(key) || !batch.insert(key).second)
            continue;
        text += key + '\n';
        added.push_back(key);
    }
    if (text.empty())
        return;

    const QByteArray name = QFile::encodeName(m_path);
    // Non-blocking, so that a FIFO put in the file's place fails at once instead of waiting.
    // Read and write: the last byte is read to see whether the last line was finished.
    FileDescriptor file(
        ::open(name.constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0644));
    if (file.get() < 0)
        Fail(m_path, "open", errno);
    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        Fail(m_path, "examine", errno);
    if (!S_ISREG(info.st_mode))
        throw std::runtime_error("the archive " + m_path.toStdString() + " is not a regular file");
    // Two runs on one archive (cron overlapping a hand-started run) append one after the other.
    while (::flock(file.get(), LOCK_EX) != 0)
        if (errno != EINTR)
            Fail(m_path, "lock", errno);
    if (::fstat(file.get(), &info) != 0)
        Fail(m_path, "examine", errno);
    const off_t start = info.st_size;
    // A last line without its line break (an archive edited by hand) must not run into ours.
    char last = '\n';
    if (start > 0 && ::pread(file.get(), &last, 1, start - 1) != 1)
        Fail(m_path, "read", errno);
    if (last != '\n')
        text.insert(text.begin(), '\n');

    const auto takeBack = [&](const char* what, int error) {
        // Under the lock nobody appended after us: cutting back to the start removes exactly our part.
        (void)::ftruncate(file.get(), start);
        Fail(m_path, what, error);
    };
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(file.get(), text.data() + written, text.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            takeBack("append to", errno);
        }
        if (n == 0)
            takeBack("append to", ENOSPC);
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(file.get()) != 0)
        takeBack("sync", errno);
    if (file.Close() != 0)
        Fail(m_path, "close", errno);
    m_keys.insert(added.begin(), added.end());
}
