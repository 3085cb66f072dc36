#include "collect/resourceapi.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QUrl>

#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace quib::collect {

namespace {

// Beyond these a body is a flood of values rather than a catalogue page: each value costs the
// parsers far more memory than its bytes.
constexpr std::size_t kMaxJsonCommas = 4'000'000;
constexpr std::size_t kMaxXmlTags = 2'000'000;

bool ValidUtf8(std::string_view text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        int more = 0;
        unsigned min = 0;
        unsigned code = 0;
        if ((*p & 0xE0) == 0xC0) {
            more = 1, min = 0x80, code = *p & 0x1F;
        } else if ((*p & 0xF0) == 0xE0) {
            more = 2, min = 0x800, code = *p & 0x0F;
        } else if ((*p & 0xF8) == 0xF0) {
            more = 3, min = 0x10000, code = *p & 0x07;
        } else {
            return false;
        }
        if (end - p <= more)
            return false;
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        p += more + 1;
    }
    return true;
}

// The body as valid UTF-8 without a byte order mark; a repair is said in warnings. A valid body is
// not copied: it stays the caller's, and the answer is read before the caller lets it go.
QByteArray Utf8Body(std::string_view body, QStringList& warnings)
{
    if (body.size() >= 3 && std::memcmp(body.data(), "\xEF\xBB\xBF", 3) == 0)
        body.remove_prefix(3);
    if (ValidUtf8(body))
        return QByteArray::fromRawData(body.data(), static_cast<qsizetype>(body.size()));
    warnings << QStringLiteral("回答不是有效的 UTF-8 文本，无法识别的字节已换成替换字符");
    return QString::fromUtf8(body.data(), static_cast<qsizetype>(body.size())).toUtf8();
}

// PHP writes every "/" of a string as "\/", and Qt's parser builds a string with escapes one
// character at a time, several times slower than one without: a play list of 100,000 addresses
// holds 300,000 of them. Dropping that one escape (and no other: "\\/" is a backslash and a
// slash) leaves the same JSON.
QByteArray WithoutEscapedSlashes(const QByteArray& json)
{
    if (!json.contains("\\/"))
        return json;
    QByteArray out;
    out.reserve(json.size());
    const char* p = json.constData();
    const char* const end = p + json.size();
    while (p < end) {
        const char* backslash = static_cast<const char*>(std::memchr(p, '\\', static_cast<std::size_t>(end - p)));
        if (!backslash) {
            out.append(p, end - p);
            break;
        }
        out.append(p, backslash - p);
        if (backslash + 1 < end && backslash[1] == '/') {
            out.append('/');
        } else {
            out.append(backslash, std::min<qsizetype>(2, end - backslash));
        }
        p = backslash + 2;
    }
    return out;
}

std::optional<QString> TooLarge(std::string_view body)
{
    if (body.size() > kResourceMaxBody)
        return QStringLiteral("回答有 %1 字节，超过 %2 字节的上限，不予读取").arg(body.size()).arg(kResourceMaxBody);
    return std::nullopt;
}

long long ClampedNumber(double value)
{
    if (!std::isfinite(value) || value <= 0)
        return 0;
    return value >= 9e15 ? 9'000'000'000'000'000LL : static_cast<long long>(value);
}

// Sites send paging numbers as numbers or as strings.
long long NumberOf(const QJsonValue& value)
{
    if (value.isDouble())
        return ClampedNumber(value.toDouble());
    if (value.isString()) {
        bool ok = false;
        const double number = value.toString().trimmed().toDouble(&ok);
        return ok ? ClampedNumber(number) : 0;
    }
    return 0;
}

int IntOf(long long value) { return static_cast<int>(std::min<long long>(value, std::numeric_limits<int>::max())); }

QString TextOf(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::String: return CleanResourceText(value.toString());
    case QJsonValue::Double: {
        const double number = value.toDouble();
        if (std::isfinite(number) && std::floor(number) == number && std::fabs(number) < 9e15)
            return QString::number(static_cast<long long>(number));
        return QString::number(number);
    }
    default: return {};  // null, missing, and what no field should be (arrays, objects)
    }
}

QString AddressText(QStringView text)
{
    text = text.trimmed();
    if (!text.contains(u'&'))
        return text.toString();
    QString address = text.toString();
    address.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return address;
}

QString NumberedSource(int index) { return QStringLiteral("播放源%1").arg(index + 1); }

// Splits text at every sep, calling part(view) for each piece (empty ones included), linear in the text.
template <class Part>
void ForEachPart(QStringView text, QStringView sep, Part&& part)
{
    qsizetype from = 0;
    while (true) {
        const qsizetype at = text.indexOf(sep, from);
        if (at < 0) {
            part(text.mid(from));
            return;
        }
        if (!part(text.mid(from, at - from)))
            return;
        from = at + sep.size();
    }
}

std::vector<QStringView> Parts(QStringView text, QStringView sep)
{
    std::vector<QStringView> parts;
    ForEachPart(text, sep, [&parts](QStringView piece) {
        parts.push_back(piece);
        return true;
    });
    return parts;
}

// Keeps the episodes of a record within kResourceMaxEpisodes, with one warning.
void CapEpisodes(ResourceRecord& record, QStringList& warnings)
{
    int total = 0;
    bool cut = false;
    for (ResourceSource& source : record.sources) {
        const int room = std::max(0, kResourceMaxEpisodes - total);
        if (static_cast<int>(source.episodes.size()) > room) {
            source.episodes.resize(static_cast<std::size_t>(room));
            cut = true;
        }
        total += static_cast<int>(source.episodes.size());
    }
    std::erase_if(record.sources, [](const ResourceSource& source) { return source.episodes.empty(); });
    if (cut)
        warnings << QStringLiteral("《%1》的剧集超过 %2 集，其余的未读").arg(record.name).arg(kResourceMaxEpisodes);
}

void Finish(ResourceRecord& record, QStringList& warnings, const QStringList& listWarnings)
{
    for (const QString& warning : listWarnings)
        warnings << QStringLiteral("《%1》：%2").arg(record.name, warning);
    CapEpisodes(record, warnings);
}

QString XmlText(const pugi::xml_node& node) { return CleanResourceText(QString::fromUtf8(node.text().get())); }

}  // namespace

int ResourceRecord::EpisodeCount() const
{
    int count = 0;
    for (const ResourceSource& source : sources)
        count += static_cast<int>(source.episodes.size());
    return count;
}

QStringList ResourceRecord::SourceNames() const
{
    QStringList names;
    for (const ResourceSource& source : sources)
        names << source.name;
    return names;
}

QString CleanResourceText(QStringView text)
{
    text = text.trimmed();
    if (!text.contains(u'&'))
        return text.toString();
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        const qsizetype semicolon = c == u'&' ? text.indexOf(u';', i + 1) : -1;
        // Entities are short; a far semicolon belongs to something else.
        if (semicolon < 0 || semicolon - i > 10) {
            out += c;
            ++i;
            continue;
        }
        const QStringView name = text.mid(i + 1, semicolon - i - 1);
        char32_t code = 0;
        if (name.startsWith(u'#')) {
            bool ok = false;
            const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
            const uint value = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
            if (ok && value > 0 && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF))
                code = value;
        } else if (name == u"amp") {
            code = '&';
        } else if (name == u"lt") {
            code = '<';
        } else if (name == u"gt") {
            code = '>';
        } else if (name == u"quot") {
            code = '"';
        } else if (name == u"apos") {
            code = '\'';
        } else if (name == u"nbsp") {
            code = 0xA0;
        } else if (name == u"middot") {
            code = 0xB7;
        } else if (name == u"hellip") {
            code = 0x2026;
        } else if (name == u"ldquo") {
            code = 0x201C;
        } else if (name == u"rdquo") {
            code = 0x201D;
        } else if (name == u"mdash") {
            code = 0x2014;
        }
        if (code == 0) {
            out += c;
            ++i;
            continue;
        }
        out += QString::fromUcs4(&code, 1);
        i = semicolon + 1;
    }
    return out.trimmed();
}

std::vector<ResourceEpisode> SplitEpisodes(QStringView list, int& empty)
{
    std::vector<ResourceEpisode> episodes;
    episodes.reserve(static_cast<std::size_t>(std::min<qsizetype>(list.count(u'#') + 1, kResourceMaxEpisodes + 1)));
    ForEachPart(list, u"#", [&](QStringView part) {
        part = part.trimmed();
        const qsizetype dollar = part.indexOf(u'$');
        ResourceEpisode episode;
        if (dollar >= 0) {
            episode.name = CleanResourceText(part.left(dollar));
            episode.address = AddressText(part.mid(dollar + 1));
        } else if (part.contains(u"://") || part.startsWith(u'/')) {
            episode.address = AddressText(part);  // the address alone, without a name
        }
        if (episode.address.isEmpty()) {
            ++empty;
        } else {
            episodes.push_back(std::move(episode));
        }
        // A list far beyond what any record holds is not read to its end.
        return episodes.size() <= static_cast<std::size_t>(kResourceMaxEpisodes);
    });
    return episodes;
}

std::vector<ResourceSource> SplitPlayLists(QStringView from, QStringView urls, QStringList& warnings)
{
    std::vector<ResourceSource> sources;
    from = from.trimmed();
    urls = urls.trimmed();
    if (urls.isEmpty()) {
        if (!from.isEmpty())
            warnings << QStringLiteral("有播放源（%1）却没有播放列表").arg(from.toString());
        return sources;
    }
    const std::vector<QStringView> names = from.isEmpty() ? std::vector<QStringView>{} : Parts(from, u"$$$");
    const std::vector<QStringView> lists = Parts(urls, u"$$$");
    if (names.size() != lists.size())
        warnings << QStringLiteral("播放源 %1 个，播放列表 %2 个，对不上").arg(names.size()).arg(lists.size());
    for (std::size_t i = 0; i < lists.size(); ++i) {
        ResourceSource source;
        source.name = i < names.size() ? CleanResourceText(names[i]) : QString();
        if (source.name.isEmpty())
            source.name = NumberedSource(static_cast<int>(i));
        int empty = 0;
        source.episodes = SplitEpisodes(lists[i], empty);
        if (empty > 0)
            warnings << QStringLiteral("播放源 %1 有 %2 个空的或没有地址的剧集，已跳过").arg(source.name).arg(empty);
        if (source.episodes.empty()) {
            warnings << QStringLiteral("播放源 %1 没有剧集").arg(source.name);
            continue;
        }
        sources.push_back(std::move(source));
    }
    for (std::size_t i = lists.size(); i < names.size(); ++i)
        warnings << QStringLiteral("播放源 %1 没有播放列表").arg(CleanResourceText(names[i]));
    return sources;
}

ResourcePage ParseResourceAnswer(std::string_view body)
{
    std::size_t at = 0;
    if (body.size() >= 3 && std::memcmp(body.data(), "\xEF\xBB\xBF", 3) == 0)
        at = 3;
    while (at < body.size() && std::isspace(static_cast<unsigned char>(body[at])))
        ++at;
    if (at < body.size() && body[at] == '<')
        return ParseResourceXml(body);
    if (at < body.size() && (body[at] == '{' || body[at] == '['))
        return ParseResourceJson(body);
    ResourcePage page;
    page.error = QStringLiteral("回答既不是 JSON 也不是 XML");
    return page;
}

ResourcePage ParseResourceJson(std::string_view body)
{
    ResourcePage page;
    if (const auto large = TooLarge(body)) {
        page.error = *large;
        return page;
    }
    if (static_cast<std::size_t>(std::count(body.begin(), body.end(), ',')) > kMaxJsonCommas) {
        page.error = QStringLiteral("回答里的值超过 %1 个，不予读取").arg(kMaxJsonCommas);
        return page;
    }
    const QByteArray bytes = WithoutEscapedSlashes(Utf8Body(body, page.warnings));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        page.error = QStringLiteral("回答不是可读的 JSON（第 %1 字节：%2）")
                         .arg(parseError.offset)
                         .arg(parseError.errorString());
        return page;
    }
    if (!document.isObject()) {
        page.error = QStringLiteral("回答的 JSON 不是一个对象");
        return page;
    }
    const QJsonObject root = document.object();
    page.page = IntOf(NumberOf(root.value(u"page")));
    page.pageCount = IntOf(NumberOf(root.value(u"pagecount")));
    page.limit = IntOf(NumberOf(root.value(u"limit")));
    page.total = NumberOf(root.value(u"total"));
    const QJsonValue code = root.value(u"code");
    if (!code.isUndefined() && !code.isNull() && NumberOf(code) != 1)
        page.warnings << QStringLiteral("资源站回答 code=%1：%2").arg(TextOf(code), TextOf(root.value(u"msg")));

    const QJsonArray list = root.value(u"list").toArray();
    page.records.reserve(static_cast<std::size_t>(list.size()));
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QJsonValue item = list.at(i);
        if (!item.isObject()) {
            page.warnings << QStringLiteral("第 %1 条记录不是对象，已跳过").arg(i + 1);
            continue;
        }
        const QJsonObject object = item.toObject();
        ResourceRecord record;
        record.id = TextOf(object.value(u"vod_id"));
        record.name = TextOf(object.value(u"vod_name"));
        if (record.id.isEmpty()) {
            page.warnings << QStringLiteral("第 %1 条记录（%2）没有 vod_id，已跳过").arg(i + 1).arg(record.name);
            continue;
        }
        record.typeId = TextOf(object.value(u"type_id"));
        record.typeName = TextOf(object.value(u"type_name"));
        record.time = TextOf(object.value(u"vod_time"));
        record.remarks = TextOf(object.value(u"vod_remarks"));
        record.pic = TextOf(object.value(u"vod_pic"));
        record.year = TextOf(object.value(u"vod_year"));
        record.area = TextOf(object.value(u"vod_area"));
        record.actor = TextOf(object.value(u"vod_actor"));
        record.director = TextOf(object.value(u"vod_director"));
        record.content = TextOf(object.value(u"vod_content"));
        QStringList listWarnings;
        const QJsonValue from = object.value(u"vod_play_from");
        const QJsonValue urls = object.value(u"vod_play_url");
        if (urls.isString())
            record.sources = SplitPlayLists(from.toString(), urls.toString(), listWarnings);
        else if (!urls.isUndefined() && !urls.isNull())
            listWarnings << QStringLiteral("vod_play_url 不是文本");
        Finish(record, page.warnings, listWarnings);
        page.records.push_back(std::move(record));
    }
    const QJsonArray classes = root.value(u"class").toArray();
    for (const QJsonValue item : classes) {
        const QJsonObject object = item.toObject();
        ResourceCategory category{TextOf(object.value(u"type_id")), TextOf(object.value(u"type_name"))};
        if (!category.id.isEmpty())
            page.categories.push_back(std::move(category));
    }
    return page;
}

ResourcePage ParseResourceXml(std::string_view body)
{
    ResourcePage page;
    if (const auto large = TooLarge(body)) {
        page.error = *large;
        return page;
    }
    if (static_cast<std::size_t>(std::count(body.begin(), body.end(), '<')) > kMaxXmlTags) {
        page.error = QStringLiteral("回答里的 XML 标记超过 %1 个，不予读取").arg(kMaxXmlTags);
        return page;
    }
    const QByteArray bytes = Utf8Body(body, page.warnings);
    pugi::xml_document document;
    const pugi::xml_parse_result result = document.load_buffer(
        bytes.constData(), static_cast<std::size_t>(bytes.size()), pugi::parse_default, pugi::encoding_utf8);
    if (!result) {
        page.error = QStringLiteral("回答不是可读的 XML（第 %1 字节：%2）")
                         .arg(result.offset)
                         .arg(QString::fromUtf8(result.description()));
        return page;
    }
    const pugi::xml_node rss = document.child("rss");
    if (!rss) {
        page.error = QStringLiteral("回答的 XML 没有 rss 元素");
        return page;
    }
    const pugi::xml_node list = rss.child("list");
    page.page = IntOf(ClampedNumber(list.attribute("page").as_double()));
    page.pageCount = IntOf(ClampedNumber(list.attribute("pagecount").as_double()));
    page.limit = IntOf(ClampedNumber(list.attribute("pagesize").as_double()));
    page.total = ClampedNumber(list.attribute("recordcount").as_double());
    int position = 0;
    for (const pugi::xml_node video : list.children("video")) {
        ++position;
        ResourceRecord record;
        record.id = XmlText(video.child("id"));
        record.name = XmlText(video.child("name"));
        if (record.id.isEmpty()) {
            page.warnings << QStringLiteral("第 %1 条记录（%2）没有 id，已跳过").arg(position).arg(record.name);
            continue;
        }
        record.typeId = XmlText(video.child("tid"));
        record.typeName = XmlText(video.child("type"));
        record.time = XmlText(video.child("last"));
        record.remarks = XmlText(video.child("note"));
        record.pic = XmlText(video.child("pic"));
        record.year = XmlText(video.child("year"));
        record.area = XmlText(video.child("area"));
        record.actor = XmlText(video.child("actor"));
        record.director = XmlText(video.child("director"));
        record.content = XmlText(video.child("des"));
        QStringList listWarnings;
        int index = 0;
        for (const pugi::xml_node dd : video.child("dl").children("dd")) {
            ResourceSource source;
            source.name = CleanResourceText(QString::fromUtf8(dd.attribute("flag").value()));
            if (source.name.isEmpty())
                source.name = NumberedSource(index);
            ++index;
            int empty = 0;
            source.episodes = SplitEpisodes(QString::fromUtf8(dd.text().get()), empty);
            if (empty > 0)
                listWarnings
                    << QStringLiteral("播放源 %1 有 %2 个空的或没有地址的剧集，已跳过").arg(source.name).arg(empty);
            if (source.episodes.empty()) {
                listWarnings << QStringLiteral("播放源 %1 没有剧集").arg(source.name);
                continue;
            }
            record.sources.push_back(std::move(source));
        }
        Finish(record, page.warnings, listWarnings);
        page.records.push_back(std::move(record));
    }
    for (const pugi::xml_node ty : rss.child("class").children("ty")) {
        ResourceCategory category{CleanResourceText(QString::fromUtf8(ty.attribute("id").value())), XmlText(ty)};
        if (!category.id.isEmpty())
            page.categories.push_back(std::move(category));
    }
    return page;
}

namespace {

bool SafeId(QStringView id)
{
    if (id.isEmpty() || id.size() > 64)
        return false;
    return std::all_of(id.begin(), id.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'-' ||
               c == u'_';
    });
}

// An http(s) address without blanks or control characters, which no request line may carry.
bool WebAddress(QStringView address)
{
    if (!address.startsWith(u"http://", Qt::CaseInsensitive) && !address.startsWith(u"https://", Qt::CaseInsensitive))
        return false;
    return std::none_of(address.begin(), address.end(), [](QChar c) { return c.unicode() <= 0x20 || c == u'\x7F'; });
}

}  // namespace

std::optional<ResourceAddress> ParseResourceAddress(QStringView address)
{
    address = address.trimmed();
    if (!WebAddress(address))
        return std::nullopt;
    const qsizetype hash = address.lastIndexOf(u'#');
    if (hash >= 0) {
        const QStringView id = address.mid(hash + 1).trimmed();
        const QStringView base = address.left(hash).trimmed();
        // One "#" only: a base with a fragment of its own names no request.
        if (!SafeId(id) || base.contains(u'#') || !WebAddress(base) || base.size() <= 8)
            return std::nullopt;
        return ResourceAddress{base.toString(), id.toString()};
    }
    const qsizetype question = address.indexOf(u'?');
    if (question < 0)
        return std::nullopt;
    QString base = address.left(question).toString();
    QStringList kept;
    QString id;
    for (const QStringView pair : Parts(address.mid(question + 1), u"&")) {
        const qsizetype equals = pair.indexOf(u'=');
        const QStringView key = equals < 0 ? pair : pair.left(equals);
        const QStringView value = equals < 0 ? QStringView() : pair.mid(equals + 1);
        if (key == u"ids")
            id = QUrl::fromPercentEncoding(value.toUtf8()).trimmed();
        else if (key != u"ac" && key != u"t" && key != u"pg" && key != u"wd" && key != u"h" && !pair.isEmpty())
            kept << pair.toString();
    }
    if (!SafeId(id))
        return std::nullopt;  // none, or several: one record is one address
    if (!kept.isEmpty())
        base += u'?' + kept.join(u'&');
    return ResourceAddress{base, id};
}

namespace {

QString Joined(const QString& base, const QString& query)
{
    if (base.endsWith(u'?') || (base.endsWith(u'&') && base.contains(u'?')))
        return base + query;
    return base + (base.contains(u'?') ? u'&' : u'?') + query;
}

}  // namespace

QString ResourceRecordAddress(const ResourceAddress& address)
{
    return Joined(address.base, QStringLiteral("ac=detail&ids=") + address.id);
}

QString ResourceQueryAddress(const QString& base, const ResourceQuery& query)
{
    QStringList parts;
    const auto add = [&parts](const char* key, const QString& value) {
        if (!value.isEmpty())
            parts << QString::fromLatin1(key) + u'=' + QString::fromLatin1(QUrl::toPercentEncoding(value));
    };
    add("ac", query.ac);
    add("t", query.typeId);
    if (query.page > 0)
        add("pg", QString::number(query.page));
    add("wd", query.word);
    if (query.hours > 0)
        add("h", QString::number(query.hours));
    if (!query.ids.isEmpty())
        parts << QStringLiteral("ids=") + QString::fromLatin1(QUrl::toPercentEncoding(query.ids, ","));
    return Joined(base.trimmed(), parts.join(u'&'));
}

}  // namespace quib::collect
