#include "host/core/gbk.h"

#include <QList>
#include <iconv.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace quib {

namespace {

// One conversion direction; iconv_t is closed with the object.
class Converter {
public:
    Converter(const char* to, const char* from) : m_handle(iconv_open(to, from))
    {
        if (m_handle == reinterpret_cast<iconv_t>(-1))  // NOLINT(performance-no-int-to-ptr): iconv's failure value
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(m_handle); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts input; on a sequence that cannot be converted, appends `replacement` and skips
    // `skip` input bytes (the width of one input unit).
    std::string Run(std::string_view input, std::string_view replacement, std::size_t skip)
    {
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        out.reserve(input.size() * 2 + 16);
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char buffer[4096];
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t rc = iconv(m_handle, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (rc != static_cast<std::size_t>(-1))
                continue;
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL (truncated at the end): replace one unit and go on.
            out.append(replacement);
            const std::size_t step = std::min(skip, inLeft);
            in += step;
            inLeft -= step;
            iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

    // Back to the initial state, whatever an earlier conversion left.
    void Reset() { iconv(m_handle, nullptr, nullptr, nullptr, nullptr); }

    enum class Result { Done, Full, Invalid, Cut };
    // One iconv call into the caller's buffer. Invalid (with the state reset) when it stopped at
    // a sequence it cannot convert, Cut when at a character the input ends in the middle of.
    Result Step(char** in, std::size_t* inLeft, char** out, std::size_t* outLeft)
    {
        if (iconv(m_handle, in, inLeft, out, outLeft) != static_cast<std::size_t>(-1))
            return Result::Done;
        const int error = errno;
        if (error == E2BIG)
            return Result::Full;
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        return error == EINVAL ? Result::Cut : Result::Invalid;
    }

private:
    iconv_t m_handle;
};

// Forms glibc converts by itself, with no module to load at the first text: GBK has no character
// beyond the Basic Multilingual Plane, so its UTF-16 is UCS-2; UTF-32 is UCS-4.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr const char* kUtf16 = "UCS-2LE";
constexpr const char* kUtf32 = "UCS-4LE";
#else
constexpr const char* kUtf16 = "UCS-2BE";
constexpr const char* kUtf32 = "UCS-4BE";
#endif

// glibc unloads a conversion module soon after its last descriptor closes. A worker thread
// closing its own at exit while another thread opens one then makes the dynamic loader unload and
// load the same module at once. One descriptor of each direction, open for the life of the
// process, keeps the modules loaded and spares every later open a dlopen.
void KeepConversionModulesLoaded()
{
    static const Converter toGbk("GBK", kUtf32);
    static const Converter fromGbk(kUtf16, "GBK");
}

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// The UTF-16 unit of every GBK byte pair, read from iconv once. A short title costs iconv more in
// the call than in its characters, and the result table reads every title of a collection. Each
// lead byte's row is read when a text first needs it: a short run reads a few dozen of them, not
// all 24,000 pairs (a millisecond at every start).
class PairTable {
public:
    // The pair's unit, or 0 when the pair is no GBK character (or its row could not be read).
    char16_t At(unsigned char lead, unsigned char trail) const
    {
        if (!IsLeadByte(lead) || trail < kFirstTrail || trail > kLastTrail)
            return 0;
        const auto row = static_cast<std::size_t>(lead - 0x81);
        if (!m_ready[row].load(std::memory_order_acquire)) [[unlikely]]
            Fill(row);
        return m_units[row * kTrails + static_cast<std::size_t>(trail - kFirstTrail)];
    }

private:
    static constexpr int kFirstTrail = 0x40, kLastTrail = 0xFE, kTrails = kLastTrail - kFirstTrail + 1;
    static constexpr std::size_t kLeads = 126;

    // Out of the decoding loop, which runs over every pair of a long text.
    [[gnu::noinline, gnu::cold]] void Fill(std::size_t row) const
    {
        const std::lock_guard lock(m_filling);
        if (m_ready[row].load(std::memory_order_relaxed))
            return;  // another thread read it meanwhile
        std::string pairs;
        pairs.reserve(std::size_t{kTrails} * 2);
        for (int trail = kFirstTrail; trail <= kLastTrail; ++trail) {
            pairs.push_back(static_cast<char>(0x81 + row));
            pairs.push_back(static_cast<char>(trail));
        }
        char16_t* const units = m_units.data() + row * kTrails;
        if (!m_converter)
            m_converter = std::make_unique<Converter>(kUtf16, "GBK");
        Converter& converter = *m_converter;
        converter.Reset();
        char* const first = pairs.data();
        char* in = first;
        std::size_t inLeft = pairs.size();
        while (inLeft > 0) {
            const std::size_t pairAt = static_cast<std::size_t>(in - first) / 2;
            char* const outFirst = reinterpret_cast<char*>(units + pairAt);
            char* out = outFirst;
            std::size_t outLeft = (kTrails - pairAt) * sizeof(char16_t);
            const Converter::Result result = converter.Step(&in, &inLeft, &out, &outLeft);
            // Each pair read gives one unit, in step with the input; anything else and the row
            // is not trusted: its texts then go through iconv as before.
            const std::size_t pairsRead = static_cast<std::size_t>(in - first) / 2 - pairAt;
            const std::size_t unitsWritten = static_cast<std::size_t>(out - outFirst) / sizeof(char16_t);
            if ((in - first) % 2 != 0 || pairsRead != unitsWritten || result == Converter::Result::Full) {
                std::fill(units, units + kTrails, char16_t{0});
                break;
            }
            if (result != Converter::Result::Done) {
                in += 2;  // no character: its unit stays 0
                inLeft -= 2;
            }
        }
        m_ready[row].store(true, std::memory_order_release);
    }

    mutable std::mutex m_filling;  // guards the rows being read and the converter
    mutable std::unique_ptr<Converter> m_converter;
    mutable std::array<std::atomic<bool>, kLeads> m_ready{};
    mutable std::array<char16_t, kLeads * kTrails> m_units{};
};

const PairTable& Pairs()
{
    static const PairTable table;
    return table;
}

// Decodes ASCII and table pairs into out from `used` on; returns the bytes decoded, stopping at
// the first byte that is neither (left to iconv, which knows what to make of it).
std::size_t DecodeKnownPairs(std::string_view bytes, QString& out, qsizetype& used)
{
    const PairTable& pairs = Pairs();
    const auto* const data = reinterpret_cast<const unsigned char*>(bytes.data());
    char16_t* const units = reinterpret_cast<char16_t*>(out.data());
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        if (data[pos] < 0x80) {
            units[used++] = data[pos++];
            continue;
        }
        if (pos + 1 == bytes.size())
            break;
        const char16_t unit = pairs.At(data[pos], data[pos + 1]);
        if (unit == 0)
            break;
        units[used++] = unit;
        pos += 2;
    }
    return pos;
}

bool IsAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

namespace gbk {

std::string FromUnicode(QStringView text)
{
    // UTF-32 input lets one unconvertible character be skipped as exactly four bytes.
    const QList<uint> ucs4 = text.toUcs4();
    const std::string_view raw(reinterpret_cast<const char*>(ucs4.constData()),
                               static_cast<std::size_t>(ucs4.size()) * 4);
    // Opening a conversion costs more than converting a field: each thread keeps its own.
    KeepConversionModulesLoaded();
    thread_local Converter toGbk("GBK", kUtf32);
    return toGbk.Run(raw, "?", 4);
}

QString ToUnicode(std::string_view bytes)
{
    QString out;
    AppendUnicode(out, bytes, true);
    return out;
}

std::size_t AppendUnicode(QString& out, std::string_view bytes, bool final)
{
    // Straight into the string's own UTF-16 buffer: a long text (a copied table of a million
    // rows) is not held a third time as UTF-8 on the way. No GBK byte or byte pair gives more
    // than one UTF-16 unit, so the input's length is enough room; growing is only a safeguard.
    KeepConversionModulesLoaded();
    qsizetype used = out.size();  // UTF-16 units written
    out.resize(used + static_cast<qsizetype>(bytes.size()) + 1);
    const std::size_t known = DecodeKnownPairs(bytes, out, used);
    if (known == bytes.size()) {
        // The common case, a title of ASCII and table pairs: no call into iconv at all.
        out.resize(used);
        return bytes.size();
    }
    // Opening a descriptor costs more than converting a title: each thread keeps its own.
    thread_local Converter converter(kUtf16, "GBK");
    converter.Reset();
    // GBK has no shift state, so iconv takes over from any character boundary.
    char* in = const_cast<char*>(bytes.data()) + known;
    std::size_t inLeft = bytes.size() - known;
    while (inLeft > 0) {
        char* const start = reinterpret_cast<char*>(out.data() + used);
        char* outPtr = start;
        std::size_t outLeft = static_cast<std::size_t>(out.size() - used) * sizeof(char16_t);
        const Converter::Result result = converter.Step(&in, &inLeft, &outPtr, &outLeft);
        used += (outPtr - start) / static_cast<qsizetype>(sizeof(char16_t));
        if (result == Converter::Result::Full || used == out.size()) {
            out.resize(out.size() + out.size() / 2 + 16);
            continue;
        }
        if (result == Converter::Result::Cut && !final)
            break;
        if (result == Converter::Result::Invalid || result == Converter::Result::Cut) {
            // A byte that starts no GBK character (or a lead byte cut off at the end): one U+FFFD.
            out[used++] = QChar(0xFFFD);
            ++in;
            --inLeft;
        }
    }
    out.resize(used);
    return bytes.size() - inLeft;
}

std::string FromUtf8(std::string_view utf8)
{
    // ASCII reads the same in both: most fields cut from pages (addresses) are nothing else.
    if (IsAscii(utf8))
        return std::string(utf8);
    return FromUnicode(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

std::string ToUtf8(std::string_view bytes)
{
    if (IsAscii(bytes))
        return std::string(bytes);
    thread_local Converter toUtf8("UTF-8", "GBK");
    return toUtf8.Run(bytes, "\xEF\xBF\xBD", 1);
}

std::size_t CharBytes(std::string_view bytes, std::size_t pos)
{
    if (pos + 1 < bytes.size() && IsLeadByte(static_cast<unsigned char>(bytes[pos])))
        return 2;
    return 1;
}

std::string_view CutToBytes(std::string_view bytes, std::size_t maxBytes)
{
    if (bytes.size() <= maxBytes)
        return bytes;
    std::size_t pos = 0;
    while (pos < maxBytes) {
        const std::size_t width = CharBytes(bytes, pos);
        if (pos + width > maxBytes)
            break;
        pos += width;
    }
    return bytes.substr(0, pos);
}

std::size_t CharCount(std::string_view bytes)
{
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < bytes.size(); pos += CharBytes(bytes, pos))
        ++count;
    return count;
}

}  // namespace gbk

}  // namespace quib
