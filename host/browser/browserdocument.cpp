#include "browserdocument.h"

#include "gbk.h"

#include <QClipboard>
#include <QGuiApplication>

BrowserDocument::BrowserDocument(PageBridge* bridge, FrameAddress where, QString href, QString hostname)
    : bridge_(bridge), where_(std::move(where)), href_(std::move(href)), hostname_(std::move(hostname))
{
}

bool operator==(const BrowserDocument& a, const BrowserDocument& b)
{
    return a.bridge_ == b.bridge_ && a.where_.document == b.where_.document && a.where_.frame == b.where_.frame;
}

std::string BrowserDocument::Hostname() const
{
    return gbk::FromUnicode(hostname_);
}

std::string BrowserDocument::Href() const
{
    return gbk::FromUnicode(href_);
}

bool BrowserDocument::ExecScript(const std::string& code) const
{
    if (!bridge_)
        return false;
    const QString script = gbk::ToUnicode(code);
    // Only code that reads the clipboard gets its text.
    const bool readsClipboard = script.contains(QLatin1String("clipboardData"));
    return bridge_->Exec(where_, script, readsClipboard ? QGuiApplication::clipboard()->text() : QString());
}

std::optional<std::string> BrowserDocument::GetValue(const std::string& name) const
{
    if (!bridge_)
        return std::nullopt;
    const auto value = bridge_->Value(where_, gbk::ToUnicode(name));
    if (!value)
        return std::nullopt;
    return gbk::FromUnicode(*value);
}

bool BrowserDocument::SetValue(const std::string& name, const std::string& value) const
{
    return bridge_ && bridge_->SetValue(where_, gbk::ToUnicode(name), gbk::ToUnicode(value));
}
