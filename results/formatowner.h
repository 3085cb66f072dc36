#pragma once
// Who holds the custom copy template. The main window does, for the whole module session;
// the collection form reaches it through its owner or through an owner set explicitly.
#include <string>

namespace quib::results {

class IFormatOwner {
public:
    virtual ~IFormatOwner() = default;
    virtual std::string GetFormat() = 0;
    virtual void SetFormat(const std::string& format) = 0;
};

// A template kept in memory: for a window without a main window around it, and as the form's
// own fallback when it has no owner.
class SessionFormat final : public IFormatOwner {
public:
    std::string GetFormat() override { return m_format; }
    void SetFormat(const std::string& format) override { m_format = format; }

private:
    std::string m_format;
};

}  // namespace quib::results
