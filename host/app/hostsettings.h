#pragma once
// The host's own settings, in its own file in the data folder (never in a module's
// .properties): the skin, the user agent, the proxy, the stall limit of a request, how many pages
// of an album are fetched at once, and the stand-in web's latency.
#include <QDialog>
#include <QString>

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace quib {
struct NetworkSettings;
}

namespace quib::host {

struct HostSettings {
    QString skinName = QStringLiteral("Sys");
    QString userAgent;         // empty: the built-in defaults of the HTTP client and the browser
    QString proxy;             // curl's syntax; empty: direct
    int stallSeconds = 0;      // 0: each request's own limit
    int pageJobs = 4;          // pages of an album fetched at once; 1: one after another
    int standinLatencyMs = 0;  // what the built-in stand-in web waits before each answer

    bool operator==(const HostSettings&) const = default;

    static QString FilePath(const QString& appPath);
    static HostSettings Load(const QString& appPath);
    bool Save(const QString& appPath) const;
    // Applies the HTTP client's share; the host redirections stay as they are.
    void ApplyTo(NetworkSettings& network) const;
};

// The skin names offered: the plain system frame and the ribbon colour schemes.
QStringList SkinNames();

// Curl's proxy syntax as Chromium's --proxy-server value ("socks5h://h:p" → "socks5://h:p").
QString ChromiumProxy(const QString& curlProxy);

class HostSettingsDialog : public QDialog {
    Q_OBJECT
public:
    HostSettingsDialog(const HostSettings& settings, const QString& skinName, QWidget* parent);
    HostSettings Settings() const;

    QComboBox* SkinBox;
    QLineEdit* UserAgentEdit;
    QLineEdit* ProxyEdit;
    QSpinBox* StallSpin;
    QSpinBox* PageJobsSpin;
    QSpinBox* StandinLatencySpin;  // of use in the stand-in mode only

private:
    HostSettings m_settings;
};

}  // namespace quib::host
