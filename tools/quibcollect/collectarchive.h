#pragma once
// quib-collect's archive: the "site address" of every row it has printed, one a line, so that a
// later run can leave out what was seen before. The file is only ever appended to, a whole batch of
// lines at a time under a lock, and a failed append is taken back, so no half line is left behind
// for the next run to misread.
#include <QString>

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

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

    // Appends one line per key not yet in the archive (each once) and then knows them. Throws
    // std::runtime_error naming the file when the lines could not all be written and synced; the
    // file is then left as it was.
    void Append(const std::vector<std::string>& keys);

    const QString& Path() const { return m_path; }

private:
    QString m_path;
    std::unordered_set<std::string> m_keys;
};
