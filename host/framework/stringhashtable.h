#pragma once
// The host's module settings table: ordered keys with 8-bit (GBK) values. GetKey(i) and the
// entry list Strings() are index-aligned, in the order keys were first added.
#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

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

    // Writes through a temporary file and a rename, so a crash never leaves half a file.
    // Throws std::runtime_error naming the file when it cannot be written.
    void SaveToFile(const QString& path) const;
    // Reads a file written by SaveToFile; a missing file gives an empty table.
    static std::unique_ptr<TStringHashTable> LoadFromFile(const QString& path);

private:
    struct Entry {
        std::string key;
        std::string value;
    };
    const Entry* Find(const std::string& key) const;
    std::vector<Entry> entries_;
};
