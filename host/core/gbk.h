#pragma once
// Module text is GBK (code page 936) bytes in std::string; these convert at the UI, clipboard,
// browser and UTF-8 boundaries and measure text the way GBK fields do.
#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

namespace quib::gbk {

// Unicode to GBK; a character GBK cannot hold becomes '?'.
std::string FromUnicode(QStringView text);
// GBK to Unicode; a byte sequence that is not GBK becomes U+FFFD, one byte at a time.
QString ToUnicode(std::string_view bytes);
// ToUnicode onto the end of out, for a long text converted a piece at a time. While more is to
// come (final false) a two-byte character cut off at the end of bytes waits for the next piece;
// returns how many bytes were converted (all of them when final).
std::size_t AppendUnicode(QString& out, std::string_view bytes, bool final);

std::string FromUtf8(std::string_view utf8);
std::string ToUtf8(std::string_view bytes);

// Bytes taken by the GBK character that starts at pos (1 or 2; 1 for a stray lead byte at the end).
std::size_t CharBytes(std::string_view bytes, std::size_t pos);
// The longest prefix of at most maxBytes that does not split a two-byte character.
std::string_view CutToBytes(std::string_view bytes, std::size_t maxBytes);
// Number of characters (a two-byte character counts once).
std::size_t CharCount(std::string_view bytes);

}  // namespace quib::gbk
