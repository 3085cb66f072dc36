#pragma once
// Joins the copied items: "|" between the items of one line, "\r\n" before every N-th item.
// Item j (from 0) starts a new line when j is a multiple of N; an item that arrives while the
// text is still empty is written without a separator but still counts.
#include <string>
#include <string_view>

namespace quib::results {

class CopyJoiner {
public:
    static constexpr int kMinMerge = 1, kMaxMerge = 255;

    // `mergeCount` is clamped to 1..255.
    explicit CopyJoiner(int mergeCount);

    void Add(std::string_view item);
    // The text joined so far, less what DropFront took away.
    const std::string& Text() const { return m_text; }
    // Drops the first bytes of Text() once the caller has taken them (a long copy converted a
    // piece at a time); they still count as written.
    void DropFront(std::size_t bytes);

private:
    int m_merge;
    long long m_count = 0;
    bool m_written = false;  // some text was joined, whether still held or dropped
    std::string m_text;
};

}  // namespace quib::results
