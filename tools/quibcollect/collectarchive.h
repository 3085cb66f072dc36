#pragma once
// quib-collect's archive: the "site address" of every row it has printed, one a line, so that a
// later run can leave out what was seen before. The file is only ever appended to, a whole batch of
// lines at a time under a lock, and a failed append is taken back. A half line that a killed run
// left at the end is never read as a key, and the next append cuts it off.
#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unordered_set>
#include <utility>
#include <vector>

namespace quib::cli {

class CollectArchive {
public:
    // The archive's largest accepted size; at some 60 bytes a line that is about a million rows.
    static constexpr std::size_t kMaxBytes = 64u << 20;

    // Reads the archive at path; no file there is an empty archive. Throws std::runtime_error
    // naming the file when it is not a regular file, is too large or cannot be read.
    explicit CollectArchive(QString path);

    // The archive line of a row: "site address", with line breaks and other control characters in
    // the address made blanks and the ends trimmed, so that reading the line back gives the same
    // key. Empty when the address is empty.
    static std::string Key(std::string_view site, std::string_view address);

    bool Contains(const std::string& key) const { return m_keys.count(key) > 0; }

    // Appends one line per key not yet in the archive (each once) and then knows them. Under the
    // file's lock it first reads what other runs appended since, so a key another run recorded
    // meanwhile is not written again, and cuts off a torn last line. Throws std::runtime_error
    // naming the file when the lines could not all be written and synced; the file is then left as
    // it was.
    void Append(const std::vector<std::string>& keys);

    const QString& Path() const { return m_path; }

private:
    void ReadLines(std::string_view text);
    // Reads, from the open and locked archive, what was appended since this object last read it.
    void CatchUp(int fd, const struct stat& info);

    QString m_path;
    std::unordered_set<std::string> m_keys;
    off_t m_readBytes = 0;                              // how much of the file has been read, whole lines
    bool m_tornTail = false;                            // a last line without its line break follows
    std::optional<std::pair<dev_t, ino_t>> m_readFile;  // the file that was read, when known
};

}  // namespace quib::cli
