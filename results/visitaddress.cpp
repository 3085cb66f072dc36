#include "results/visitaddress.h"

#include "host/core/gbk.h"

#include <QRegularExpression>

namespace quib::results {

namespace {

// "host.name[:port]" up to the first '/', '?' or '#': dotted labels ending in a name, or an IPv4
// address. Anything else before the first slash (a scheme, a user, a drive letter) is not a host.
bool StartsWithHostName(const QString& text)
{
    static const QRegularExpression host(QStringLiteral(
        R"(^(?:(?:[A-Za-z0-9](?:[A-Za-z0-9-]*[A-Za-z0-9])?\.)+[A-Za-z][A-Za-z0-9-]*[A-Za-z0-9]|(?:\d{1,3}\.){3}\d{1,3})(?::\d{1,5})?(?:[/?#]|$))"));
    return host.match(text).hasMatch();
}

}  // namespace

std::optional<QUrl> VisitAddress(std::string_view link)
{
    QString text = gbk::ToUnicode(link).trimmed();
    if (StartsWithHostName(text))
        text.prepend(QStringLiteral("http://"));
    const QUrl url(text, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return std::nullopt;
    return url;
}

}  // namespace quib::results
