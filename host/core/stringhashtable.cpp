#include "host/core/stringhashtable.h"

#include "host/core/safefile.h"

#include <stdexcept>

namespace quib {

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
    const auto found = m_index.find(key);
    return found == m_index.end() ? nullptr : &m_entries[found->second];
}

void TStringHashTable::Add(const std::string& key, const std::string& value)
{
    if (const Entry* existing = Find(key)) {
        const_cast<Entry*>(existing)->value = value;
        return;
    }
    m_index.emplace(key, m_entries.size());
    m_entries.push_back({key, value});
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
    return m_entries[static_cast<std::size_t>(index)].key;
}

int TStringHashTable::GetCount() const { return static_cast<int>(m_entries.size()); }

void TStringHashTable::Clear()
{
    m_entries.clear();
    m_index.clear();
}

std::vector<std::string> TStringHashTable::Strings() const
{
    std::vector<std::string> lines;
    lines.reserve(m_entries.size());
    for (const Entry& entry : m_entries)
        lines.push_back(entry.key + "=" + entry.value);
    return lines;
}

void TStringHashTable::SaveToFile(const QString& path) const
{
    std::string content;
    for (const Entry& entry : m_entries)
        content += Escape(entry.key) + "=" + Escape(entry.value) + "\n";
    safefile::ReplaceFile(path, content);
}

std::unique_ptr<TStringHashTable> TStringHashTable::LoadFromFile(const QString& path)
{
    auto table = std::make_unique<TStringHashTable>();
    const std::optional<std::string> content = safefile::ReadRegularFile(path, kMaxFileBytes);
    if (!content)
        return table;
    const std::string_view text = *content;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        const std::size_t eq = line.find('=');
        if (line.empty() || eq == std::string_view::npos)
            continue;
        table->Add(Unescape(line.substr(0, eq)), Unescape(line.substr(eq + 1)));
    }
    return table;
}

}  // namespace quib
