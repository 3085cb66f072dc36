#include "tools/quibcollect/collectarchive.h"

#include "host/core/filedescriptor.h"
#include "host/core/safefile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quib::cli {

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

// The length of text up to and including its last line break.
std::size_t WholeLines(std::string_view text)
{
    const std::size_t last = text.rfind('\n');
    return last == std::string_view::npos ? 0 : last + 1;
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
    // A last line without its line break was cut off (a run killed while appending, or one still
    // appending): it names nothing yet, and the next append drops it.
    const std::size_t whole = WholeLines(*content);
    ReadLines(std::string_view(*content).substr(0, whole));
    m_readBytes = static_cast<off_t>(whole);
    m_tornTail = whole < content->size();
    // Which file was read, so that a later append can tell the same file grown from one put in its place.
    struct stat info {};
    if (::stat(QFile::encodeName(m_path).constData(), &info) == 0 && info.st_size == m_readBytes)
        m_readFile = {info.st_dev, info.st_ino};
}

void CollectArchive::ReadLines(std::string_view text)
{
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

void CollectArchive::CatchUp(int fd, const struct stat& info)
{
    if (info.st_size > static_cast<off_t>(kMaxBytes))
        throw std::runtime_error("the archive " + m_path.toStdString() + " is larger than " +
                                 std::to_string(kMaxBytes >> 20) + " MiB");
    const bool sameFile = m_readFile && m_readFile->first == info.st_dev && m_readFile->second == info.st_ino;
    // Another file in its place, or the same one cut short: read it all again (keys are only added, a
    // key read twice is harmless).
    off_t from = sameFile && info.st_size >= m_readBytes ? m_readBytes : 0;
    if (from == info.st_size)
        return;
    std::string text(static_cast<std::size_t>(info.st_size - from), '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::pread(fd, text.data() + done, text.size() - done, from + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            Fail(m_path, "read", errno);
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    text.resize(done);
    // Only whole lines count; a torn last line is read again, or dropped by the append.
    const std::size_t whole = WholeLines(text);
    ReadLines(std::string_view(text).substr(0, whole));
    m_readBytes = from + static_cast<off_t>(whole);
    m_tornTail = whole < text.size();
    m_readFile = std::pair{info.st_dev, info.st_ino};
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
    if (!m_tornTail &&
        std::all_of(keys.begin(), keys.end(), [this](const std::string& key) { return key.empty() || Contains(key); }))
        return;

    const QByteArray name = QFile::encodeName(m_path);
    // Non-blocking, so that a FIFO put in the file's place fails at once instead of waiting.
    // Read and write: the last byte is read to see whether the last line was finished, and the lines
    // another run appended since this one read the archive are read under the lock.
    FileDescriptor file(
        ::open(name.constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0644));
    if (file.get() < 0)
        Fail(m_path, "open", errno);
    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        Fail(m_path, "examine", errno);
    if (!S_ISREG(info.st_mode))
        throw std::runtime_error("the archive " + m_path.toStdString() + " is not a regular file");
    // Two runs on one archive (cron overlapping a hand-started run) append one after the other, and
    // each first learns what the other recorded, so that a line is written once.
    while (::flock(file.get(), LOCK_EX) != 0)
        if (errno != EINTR)
            Fail(m_path, "lock", errno);
    if (::fstat(file.get(), &info) != 0)
        Fail(m_path, "examine", errno);
    CatchUp(file.get(), info);
    // Under the lock nobody is appending: a last line without its line break is what a killed run
    // left half written. It goes, and its row, not taken as seen, is recorded whole below.
    const off_t start = m_readBytes;
    if (m_tornTail) {
        if (::ftruncate(file.get(), start) != 0)
            Fail(m_path, "cut the torn last line of", errno);
        m_tornTail = false;
    }

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
    m_readBytes = start + static_cast<off_t>(text.size());
}

}  // namespace quib::cli
