#include "host/app/hostsettings.h"

#include "host/core/networksettings.h"
#include "host/framework/skin.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quib::host {
namespace {

// More at once than this only crowds the site.
constexpr int kMaxPageJobs = 16;
constexpr int kMaxStandinLatencyMs = 60000;

}  // namespace

QString HostSettings::FilePath(const QString& appPath)
{
    QString path = appPath;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path + QStringLiteral("quib-host.ini");
}

HostSettings HostSettings::Load(const QString& appPath)
{
    const QSettings file(FilePath(appPath), QSettings::IniFormat);
    HostSettings settings;
    settings.skinName = file.value(QStringLiteral("Skin"), settings.skinName).toString();
    if (settings.skinName.trimmed().isEmpty())
        settings.skinName = QStringLiteral("Sys");
    settings.userAgent = file.value(QStringLiteral("UserAgent")).toString().trimmed();
    settings.proxy = file.value(QStringLiteral("Proxy")).toString().trimmed();
    settings.stallSeconds = qBound(0, file.value(QStringLiteral("StallSeconds"), 0).toInt(), 3600);
    settings.pageJobs = qBound(1, file.value(QStringLiteral("PageJobs"), settings.pageJobs).toInt(), kMaxPageJobs);
    settings.standinLatencyMs =
        qBound(0, file.value(QStringLiteral("StandinLatencyMs"), 0).toInt(), kMaxStandinLatencyMs);
    return settings;
}

bool HostSettings::Save(const QString& appPath) const
{
    QSettings file(FilePath(appPath), QSettings::IniFormat);
    file.setValue(QStringLiteral("Skin"), skinName);
    file.setValue(QStringLiteral("UserAgent"), userAgent);
    file.setValue(QStringLiteral("Proxy"), proxy);
    file.setValue(QStringLiteral("StallSeconds"), stallSeconds);
    file.setValue(QStringLiteral("PageJobs"), pageJobs);
    file.setValue(QStringLiteral("StandinLatencyMs"), standinLatencyMs);
    file.sync();
    return file.status() == QSettings::NoError;
}

void HostSettings::ApplyTo(NetworkSettings& network) const
{
    network.userAgent = userAgent.isEmpty() ? NetworkSettings{}.userAgent : userAgent.toStdString();
    network.proxy = proxy.toStdString();
    network.stallSeconds = stallSeconds;
    network.pageJobs = pageJobs;
}

QStringList SkinNames()
{
    return {QStringLiteral("Sys"), QStringLiteral("Blue"), QStringLiteral("Black"), QStringLiteral("Silver")};
}

QString ChromiumProxy(const QString& curlProxy)
{
    QString proxy = curlProxy.trimmed();
    // Chromium resolves names itself either way; it knows no "h" variants.
    if (proxy.startsWith(QLatin1String("socks5h://"), Qt::CaseInsensitive))
        proxy = QStringLiteral("socks5://") + proxy.mid(10);
    else if (proxy.startsWith(QLatin1String("socks4a://"), Qt::CaseInsensitive))
        proxy = QStringLiteral("socks4://") + proxy.mid(10);
    return proxy;
}

HostSettingsDialog::HostSettingsDialog(const HostSettings& settings, const QString& skinName, QWidget* parent)
    : QDialog(parent), m_settings(settings)
{
    setWindowTitle(QStringLiteral("设置"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    SkinBox = new QComboBox(this);
    SkinBox->addItems(SkinNames());
    if (SkinBox->findText(settings.skinName) < 0)
        SkinBox->addItem(settings.skinName);
    SkinBox->setCurrentText(settings.skinName);
    form->addRow(QStringLiteral("皮肤"), SkinBox);
    UserAgentEdit = new QLineEdit(settings.userAgent, this);
    UserAgentEdit->setPlaceholderText(QStringLiteral("默认"));
    form->addRow(QStringLiteral("用户代理 (User-Agent)"), UserAgentEdit);
    ProxyEdit = new QLineEdit(settings.proxy, this);
    ProxyEdit->setPlaceholderText(QStringLiteral("不使用代理，例如 http://127.0.0.1:8080 或 socks5h://127.0.0.1:1080"));
    form->addRow(QStringLiteral("代理"), ProxyEdit);
    StallSpin = new QSpinBox(this);
    StallSpin->setRange(0, 3600);
    StallSpin->setSuffix(QStringLiteral(" 秒"));
    StallSpin->setSpecialValueText(QStringLiteral("默认（每个请求自己的限制）"));
    StallSpin->setValue(settings.stallSeconds);
    form->addRow(QStringLiteral("请求无响应上限"), StallSpin);
    PageJobsSpin = new QSpinBox(this);
    PageJobsSpin->setRange(1, kMaxPageJobs);
    PageJobsSpin->setSuffix(QStringLiteral(" 页"));
    PageJobsSpin->setValue(settings.pageJobs);
    PageJobsSpin->setToolTip(QStringLiteral("1：一页接一页地下载"));
    form->addRow(QStringLiteral("同时下载的专辑页数"), PageJobsSpin);
    StandinLatencySpin = new QSpinBox(this);
    StandinLatencySpin->setRange(0, kMaxStandinLatencyMs);
    StandinLatencySpin->setSingleStep(50);
    StandinLatencySpin->setSuffix(QStringLiteral(" 毫秒"));
    StandinLatencySpin->setValue(settings.standinLatencyMs);
    form->addRow(QStringLiteral("演示网站的响应延迟"), StandinLatencySpin);
    layout->addLayout(form);
    auto* note = new QLabel(QStringLiteral("浏览器的代理在下次启动时生效；用户代理对之后打开的页面生效。"), this);
    note->setWordWrap(true);
    layout->addWidget(note);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    ApplySkin(*this, skinName);
}

HostSettings HostSettingsDialog::Settings() const
{
    HostSettings settings = m_settings;
    settings.skinName = SkinBox->currentText();
    settings.userAgent = UserAgentEdit->text().trimmed();
    settings.proxy = ProxyEdit->text().trimmed();
    settings.stallSeconds = StallSpin->value();
    settings.pageJobs = PageJobsSpin->value();
    settings.standinLatencyMs = StandinLatencySpin->value();
    return settings;
}

}  // namespace quib::host
