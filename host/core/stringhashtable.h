#pragma once
// The host's module settings table: ordered keys with 8-bit (GBK) values. GetKey(i) and the
// entry list Strings() are index-aligned, in the order keys were first added.
#include <QString>
#include <QStringList>
#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace quib {

class TStringHashTable {
public:
    // Adds the key, or replaces its value in place when it is already there.
    void Add(const std::string& key, const std::string& value);
    std::string GetValue(const std::string& key, const std::string& defaultValue) const;
    std::string GetKey(int index) const;
    int GetCount() const;
    void Clear();

    // The entries as "key=value" lines, index-aligned with GetKey.
    std::vector<std::string> Strings() const;

    // Writes through a temporary file and a rename, so a crash or a full disk never leaves half
    // a file. Throws std::runtime_error naming the file when it cannot be written; the old file
    // then stays as it was.
    void SaveToFile(const QString& path) const;
    // Reads a file written by SaveToFile; a missing file gives an empty table. Throws
    // std::runtime_error naming the file when it is not a regular file, is larger than
    // kMaxFileBytes or cannot be read.
    static std::unique_ptr<TStringHashTable> LoadFromFile(const QString& path);

    static constexpr std::size_t kMaxFileBytes = 64u << 20;

private:
    struct Entry {
        std::string key;
        std::string value;
    };
    const Entry* Find(const std::string& key) const;
    std::vector<Entry> m_entries;
    // Position of each key in m_entries: a table of many keys fills in linear time.
    std::unordered_map<std::string, std::size_t> m_index;
};

}  // namespace quib
