#include "results/episodenumber.h"

#include <QString>

#include <array>

namespace quib::results {

namespace {

// A number written after 第, EP or before 集 says it is an episode and may have six digits; a bare
// number (bracketed, or ending the title) more likely counts something else once it is that long.
constexpr qsizetype kMarkedDigits = 6;
constexpr qsizetype kBareDigits = 4;

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool IsAsciiLetter(QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }
bool IsSpace(QChar c) { return c == u' ' || c == u'\t' || c == u'_' || c == u'\u3000'; }

// Full-width digits, letters and brackets read as their ASCII forms; letters in upper case.
void Normalise(QString& text)
{
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            c = QChar(u - 0xFF01 + 0x21);
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    }
}

struct Number {
    int value = 0;
    qsizetype end = 0;  // index just after its last character
};

// Arabic digits at `at`, at most maxDigits of them, and not followed by another.
std::optional<Number> ArabicAt(const QString& text, qsizetype at, qsizetype maxDigits = kMarkedDigits)
{
    qsizetype end = at;
    int value = 0;
    while (end < text.size() && IsDigit(text[end])) {
        if (end - at == maxDigits)
            return std::nullopt;
        value = value * 10 + (text[end].unicode() - u'0');
        ++end;
    }
    if (end == at)
        return std::nullopt;
    return Number{value, end};
}

int ChineseDigit(QChar c)
{
    static constexpr std::array<char16_t, 10> kDigits = {u'零', u'一', u'二', u'三', u'四',
                                                         u'五', u'六', u'七', u'八', u'九'};
    for (std::size_t i = 0; i < kDigits.size(); ++i)
        if (c == QChar(kDigits[i]))
            return static_cast<int>(i);
    if (c == u'〇')
        return 0;
    if (c == u'两')
        return 2;
    return -1;
}

int ChineseUnit(QChar c)
{
    if (c == u'十')
        return 10;
    if (c == u'百')
        return 100;
    if (c == u'千')
        return 1000;
    return 0;
}

// A number in Chinese numerals at `at` (十二, 二十, 一百零五).
std::optional<Number> ChineseAt(const QString& text, qsizetype at)
{
    int total = 0, digit = 0;
    qsizetype end = at;
    for (; end < text.size(); ++end) {
        const QChar c = text[end];
        if (const int d = ChineseDigit(c); d >= 0) {
            digit = d;
        } else if (const int unit = ChineseUnit(c)) {
            // A unit without a digit before it counts once: 十二 is twelve.
            total += (digit == 0 ? 1 : digit) * unit;
            digit = 0;
        } else {
            break;
        }
        if (total > kLargestEpisode)
            return std::nullopt;  // 千千千...: no episode, and no overflow
    }
    if (end == at)
        return std::nullopt;
    return Number{total + digit, end};
}

std::optional<Number> NumberAt(const QString& text, qsizetype at)
{
    if (auto arabic = ArabicAt(text, at))
        return arabic;
    return ChineseAt(text, at);
}

bool IsEpisodeWord(QChar c) { return c == u'集' || c == u'话' || c == u'話' || c == u'回'; }

qsizetype SkipSpaces(const QString& text, qsizetype at)
{
    while (at < text.size() && IsSpace(text[at]))
        ++at;
    return at;
}

bool IsRangeMark(QChar c) { return c == u'-' || c == u'~' || c == u'、' || c == u'至'; }

// 第12集, 第 十二 集, 第3话, 第1-2集: the plainest form, and one a title's other numbers never take.
// A range names every number in it; 第7、8集 lists two, which is the range when they follow each
// other (any other list reads as its first number).
std::optional<EpisodeSpan> Ordinal(const QString& text)
{
    for (qsizetype at = text.indexOf(u'第'); at >= 0; at = text.indexOf(u'第', at + 1)) {
        const auto number = NumberAt(text, SkipSpaces(text, at + 1));
        if (!number)
            continue;
        EpisodeSpan span{number->value, number->value};
        qsizetype word = SkipSpaces(text, number->end);
        if (word < text.size() && IsRangeMark(text[word])) {
            const QChar mark = text[word];
            if (const auto second = NumberAt(text, SkipSpaces(text, word + 1))) {
                word = SkipSpaces(text, second->end);
                const bool list = mark == u'、';
                if (second->value > span.first && (!list || second->value == span.first + 1))
                    span.last = second->value;
            }
        }
        if (word < text.size() && IsEpisodeWord(text[word]))
            return span;
    }
    return std::nullopt;
}

// EP12, EP.12, E12, S01E12: the E must not end a word (THE 12, STEP12).
std::optional<int> Marked(const QString& text)
{
    for (qsizetype at = text.indexOf(u'E'); at >= 0; at = text.indexOf(u'E', at + 1)) {
        if (at > 0 && IsAsciiLetter(text[at - 1]))
            continue;
        qsizetype digits = at + 1;
        if (digits < text.size() && text[digits] == u'P')
            ++digits;
        if (digits < text.size() && (text[digits] == u'.' || IsSpace(text[digits])) && digits > at + 1)
            ++digits;
        if (const auto number = ArabicAt(text, digits);
            number && (number->end == text.size() || !IsAsciiLetter(text[number->end])))
            return number->value;
    }
    return std::nullopt;
}

// 12集 without 第, unless it counts the whole series (全40集, 共40集).
std::optional<int> Counted(const QString& text)
{
    for (qsizetype at = text.indexOf(u'集'); at > 0; at = text.indexOf(u'集', at + 1)) {
        qsizetype start = at;
        while (start > 0 && IsDigit(text[start - 1]))
            --start;
        if (start == at || at - start > kMarkedDigits)
            continue;
        if (start > 0 && (text[start - 1] == u'全' || text[start - 1] == u'共'))
            continue;
        return text.mid(start, at - start).toInt();
    }
    return std::nullopt;
}

bool IsYear(int value, qsizetype digits) { return digits == 4 && value >= 1900 && value <= 2099; }

bool IsResolution(int value)
{
    static constexpr std::array kResolutions = {240, 360, 480, 540, 576, 720, 1080, 1440, 2160};
    for (int r : kResolutions)
        if (r == value)
            return true;
    return false;
}

bool IsOpening(QChar c) { return c == u'(' || c == u'[' || c == u'【'; }
bool IsClosing(QChar c) { return c == u')' || c == u']' || c == u'】'; }

// (12), [12], 【12】, but not (2009) or [720].
std::optional<int> Bracketed(const QString& text)
{
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (!IsOpening(text[at]))
            continue;
        const auto number = ArabicAt(text, at + 1, kBareDigits);
        if (!number || number->end >= text.size() || !IsClosing(text[number->end]))
            continue;
        if (!IsYear(number->value, number->end - at - 1) && !IsResolution(number->value))
            return number->value;
    }
    return std::nullopt;
}

// A number that ends the title ("土豆视频 12", "天龙八部12"), but not a year, a resolution, a date or
// a time (2009-05-12, 05.12, 12:30), nor the digits of a word such as MP4 or X264.
std::optional<int> Trailing(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && IsSpace(text[end - 1]))
        --end;
    qsizetype start = end;
    while (start > 0 && IsDigit(text[start - 1]))
        --start;
    if (start == end || end - start > kBareDigits)
        return std::nullopt;
    const int value = text.mid(start, end - start).toInt();
    if (IsYear(value, end - start) || IsResolution(value))
        return std::nullopt;
    if (start > 0 && IsAsciiLetter(text[start - 1]))
        return std::nullopt;
    const bool joined = start > 1 && (text[start - 1] == u'-' || text[start - 1] == u'.' || text[start - 1] == u'/' ||
                                      text[start - 1] == u':');
    if (joined && IsDigit(text[start - 2]))
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<EpisodeSpan> EpisodeRange(QStringView title)
{
    QString text = title.toString();
    return EpisodeRangeInPlace(text);
}

std::optional<EpisodeSpan> EpisodeRangeInPlace(QString& title)
{
    Normalise(title);
    const QString& text = title;
    if (const auto span = Ordinal(text); span && span->last <= kLargestEpisode)
        return span;
    for (auto read : {Marked, Counted, Bracketed, Trailing}) {
        if (const auto number = read(text); number && *number <= kLargestEpisode)
            return EpisodeSpan{*number, *number};
    }
    return std::nullopt;
}

std::optional<int> EpisodeNumber(QStringView title)
{
    if (const auto span = EpisodeRange(title))
        return span->first;
    return std::nullopt;
}

}  // namespace quib::results
