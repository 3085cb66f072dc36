#include "host/browser/browserdocument.h"

#include "host/core/gbk.h"

#include <QClipboard>
#include <QGuiApplication>

namespace quib {

BrowserDocument::BrowserDocument(PageBridge* bridge, FrameAddress where, QString href, QString hostname)
    : m_bridge(bridge), m_where(std::move(where)), m_href(std::move(href)), m_hostname(std::move(hostname))
{
}

bool operator==(const BrowserDocument& a, const BrowserDocument& b)
{
    return a.m_bridge == b.m_bridge && a.m_where.document == b.m_where.document && a.m_where.frame == b.m_where.frame;
}

std::string BrowserDocument::Hostname() const { return gbk::FromUnicode(m_hostname); }

std::string BrowserDocument::Href() const { return gbk::FromUnicode(m_href); }

bool BrowserDocument::ExecScript(const std::string& code) const
{
    if (!m_bridge)
        return false;
    const QString script = gbk::ToUnicode(code);
    // Only code that reads the clipboard gets its text.
    const bool readsClipboard = script.contains(QLatin1String("clipboardData"));
    return m_bridge->Exec(m_where, script, readsClipboard ? QGuiApplication::clipboard()->text() : QString());
}

std::optional<std::string> BrowserDocument::GetValue(const std::string& name) const
{
    if (!m_bridge)
        return std::nullopt;
    const auto value = m_bridge->Value(m_where, gbk::ToUnicode(name));
    if (!value)
        return std::nullopt;
    return gbk::FromUnicode(*value);
}

std::optional<QString> BrowserDocument::GetText(const std::string& name) const
{
    if (!m_bridge)
        return std::nullopt;
    return m_bridge->Value(m_where, gbk::ToUnicode(name));
}

bool BrowserDocument::SetValue(const std::string& name, const std::string& value) const
{
    return m_bridge && m_bridge->SetValue(m_where, gbk::ToUnicode(name), gbk::ToUnicode(value));
}

}  // namespace quib
