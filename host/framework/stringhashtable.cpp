#include "stringhashtable.h"

#include <QFile>
#include <QSaveFile>
#include <stdexcept>

namespace {

// Values may hold line breaks (a copy template does), so one entry stays one line.
std::string Escape(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '=': out += "\\e"; break;
        default: out += c;
        }
    }
    return out;
}

std::string Unescape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        switch (text[++i]) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 'e': out += '='; break;
        default: out += text[i];
        }
    }
    return out;
}

}  // namespace

const TStringHashTable::Entry* TStringHashTable::Find(const std::string& key) const
{
    for (const Entry& entry : entries_)
        if (entry.key == key)
            return &entry;
    return nullptr;
}

void TStringHashTable::Add(const std::string& key, const std::string& value)
{
    if (const Entry* existing = Find(key)) {
        const_cast<Entry*>(existing)->value = value;
        return;
    }
    entries_.push_back({key, value});
}

std::string TStringHashTable::GetValue(const std::string& key, const std::string& defaultValue) const
{
    const Entry* entry = Find(key);
    return entry ? entry->value : defaultValue;
}

std::string TStringHashTable::GetKey(int index) const
{
    if (index < 0 || index >= GetCount())
        return {};
    return entries_[static_cast<std::size_t>(index)].key;
}

int TStringHashTable::GetCount() const { return static_cast<int>(entries_.size()); }

void TStringHashTable::Clear() { entries_.clear(); }

std::vector<std::string> TStringHashTable::Strings() const
{
    std::vector<std::string> lines;
    lines.reserve(entries_.size());
    for (const Entry& entry : entries_)
        lines.push_back(entry.key + "=" + entry.value);
    return lines;
}

void TStringHashTable::SaveToFile(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write " + path.toStdString() + ": " + file.errorString().toStdString());
    for (const Entry& entry : entries_) {
        const std::string line = Escape(entry.key) + "=" + Escape(entry.value) + "\n";
        file.write(line.data(), static_cast<qint64>(line.size()));
    }
    if (!file.commit())
        throw std::runtime_error("cannot write " + path.toStdString() + ": " + file.errorString().toStdString());
}

std::unique_ptr<TStringHashTable> TStringHashTable::LoadFromFile(const QString& path)
{
    auto table = std::make_unique<TStringHashTable>();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return table;
    const QByteArray content = file.readAll();
    for (const QByteArray& rawLine : content.split('\n')) {
        const std::string_view line(rawLine.constData(), static_cast<std::size_t>(rawLine.size()));
        const std::size_t eq = line.find('=');
        if (line.empty() || eq == std::string_view::npos)
            continue;
        table->Add(Unescape(line.substr(0, eq)), Unescape(line.substr(eq + 1)));
    }
    return table;
}
