#include "collect/parse.h"

#include "collect/choose.h"
#include "collect/collectionprogress.h"
#include "collect/resourcesitelist.h"
#include "host/browser/webpagerenderer.h"
#include "host/core/simpleparser.h"
#include "results/dataview.h"
#include "results/episodecheck.h"
#include "results/eventhook.h"
#include "host/core/gbk.h"
#include "results/memdata.h"
#include "host/core/messageservice.h"
#include "results/resultgrid.h"

#include <QPointer>
#include <QSignalBlocker>

namespace quib::collect {

using namespace quib::results;

namespace {

const QString kCollectCaption = QStringLiteral("采集");
const QString kStopCaption = QStringLiteral("终止");
constexpr int kTimerInterval = 50;
constexpr int kLiveLineInterval = 250;

}  // namespace

TParseForm::TParseForm(QWidget* owner, IApp* app) : QWidget(owner), m_app(app)
{
    setupUi(this);
    m_timer.setInterval(kTimerInterval);
    m_engine = std::make_unique<CollectionEngine>(*app, Data());
    // Pages that write their addresses by script render in a hidden page of this process.
    m_engine->Loader().SetRenderer(std::make_unique<WebPageRenderer>(app->GetNetwork()));
    m_commands = new ResultCommands(*this, *app, Grid(), *SpinEdit);
    m_commands->SetBusyCheck([this] { return Running(); });

    // Connected first, so the form has settled before anyone else hears of an end.
    connect(m_engine.get(), &CollectionEngine::Started, this, [this] { Started(); });
    connect(m_engine.get(), &CollectionEngine::Ended, this, [this] { Ended(); });
    // The grid is frozen while rows arrive; this line is the sign of life besides the bar.
    auto* ticker = new ProgressTicker(*m_engine, kLiveLineInterval, this);
    connect(ticker, &ProgressTicker::Changed, ProgressLabel, &QLabel::setText);
    connect(ticker, &ProgressTicker::Finished, ProgressLabel, &QLabel::setText);
    connect(m_commands, &ResultCommands::TitlesEdited, this, [this] { RefreshEpisodeLine(); });
    connect(m_engine.get(), &CollectionEngine::Retrying, this, [this](int row) { View().SetFocusedRow(row); });
    connect(m_engine.get(), &CollectionEngine::Message, this,
            [this](CollectionEngine::MessageKind kind, const QString& text) {
                if (kind == CollectionEngine::MessageKind::Info)
                    m_app->GetMessages().Info(text);
                else
                    m_app->GetMessages().Alert(text);
            });
    m_engine->SetAlbumChooser([this](const std::vector<QString>& lines) { return ChooseAlbum(lines); });
    m_engine->SetSourceChooser(
        [this](const QString& base, const ResourceRecord& record) { return ChooseSource(base, record); });

    connect(Button, &QPushButton::clicked, this, [this] { ButtonClick(); });
    connect(&m_timer, &QTimer::timeout, this, [this] { TimerTimer(); });
    connect(UrlEdit, &QLineEdit::textChanged, this, [this] { UrlEditPropertiesEditValueChanged(); });
    connect(CopyAllButton, &QPushButton::clicked, this, [this] { CopyAllButtonClick(); });
    connect(CopyButton, &QPushButton::clicked, this, [this] { CopyButtonClick(); });
    connect(CopyLinkButton, &QPushButton::clicked, this, [this] { CopyLinkButtonClick(); });
    connect(ExportButton, &QPushButton::clicked, this, [this] { ExportButtonClick(); });
    connect(PopupMenu().RetryButton, &QAction::triggered, this, [this] { RetryButtonClick(); });
    connect(PopupMenu().AutoRetryButton, &QAction::triggered, this, [this] { AutoRetryButtonClick(); });
    EventHook::Install(*UrlEdit, QEvent::MouseButtonDblClick, [this](QEvent&) {
        UrlEditDblClick();
        return true;  // instead of the box's own word selection
    });
    EventHook::Install(*this, QEvent::Close, [this](QEvent&) {
        FormClose();
        return false;
    });
}

TParseForm::~TParseForm() = default;

MemData& TParseForm::Data() { return Grid().Data(); }

DataView& TParseForm::View() { return Grid().View(); }

QRadioButton& TParseForm::SiteRadio(std::string_view siteKey)
{
    // A key no site has is Xunlei's, the last radio.
    const SiteRecord* site = FindSite(siteKey);
    if (!site)
        site = FindSite(sitekey::Xunlei);
    return *findChild<QRadioButton*>(QString::fromLatin1(site->radio.data(), site->radio.size()));
}

std::string TParseForm::CheckedSiteKey() const
{
    // The radios are exclusive: at most one is checked.
    for (const SiteRecord* site : Sites()) {
        const auto* radio = findChild<const QRadioButton*>(QString::fromLatin1(site->radio.data(), site->radio.size()));
        if (radio && radio->isChecked())
            return std::string(site->key);
    }
    return {};
}

void TParseForm::ButtonClick()
{
    if (m_engine->IsRunning()) {
        m_engine->RequestStop();  // also ends a page walk in progress
        return;
    }
    CollectRequest request;
    request.address = gbk::FromUnicode(UrlEdit->text());
    request.site = CheckedSiteKey();
    request.fast = FastCheckBox->isChecked();
    request.append = AddCheckBox->isChecked();
    request.startPage = PageEdit->value();
    if (!m_engine->Collect(request))
        UrlEdit->setFocus();
}

bool TParseForm::Collect(const CollectRequest& request)
{
    // The controls show what is collected, as if it had been typed.
    const QSignalBlocker quiet(UrlEdit);  // the site is the request's, not the one the address names
    UrlEdit->setText(gbk::ToUnicode(request.address));
    if (!request.site.empty())
        SiteRadio(request.site).setChecked(true);
    FastCheckBox->setChecked(request.fast);
    AddCheckBox->setChecked(request.append);
    PageEdit->setValue(request.startPage);
    return m_engine->Collect(request);
}

void TParseForm::Started()
{
    View().BeginUpdate();
    m_timer.start();
    Button->setText(kStopCaption);
    Grid().SetStatusLine({});
    Grid().SetNote({});
}

void TParseForm::Ended()
{
    View().EndUpdate();
    m_timer.stop();
    ProgressBar->setValue(0);
    Button->setText(kCollectCaption);
    ShowEpisodeLine();
}

void TParseForm::ShowEpisodeLine()
{
    QString line = EpisodeStatusLine(CheckEpisodes(Data()));
    // A list that broke off must not pass for a whole one.
    switch (m_engine->LastEnd()) {
    case CollectionEngine::EndKind::Failed: line = QStringLiteral("采集出错，未完成：") + line; break;
    case CollectionEngine::EndKind::Stopped: line = QStringLiteral("采集被终止，未完成：") + line; break;
    case CollectionEngine::EndKind::Finished: break;
    }
    Grid().SetStatusLine(line);
}

void TParseForm::RefreshEpisodeLine()
{
    if (!EpisodeLine().isEmpty() && !Running())
        ShowEpisodeLine();
}

void TParseForm::TimerTimer()
{
    if (ProgressBar->value() == ProgressBar->maximum())
        ProgressBar->setValue(0);
    ProgressBar->setValue(ProgressBar->value() + 1);
}

void TParseForm::UrlEditPropertiesEditValueChanged()
{
    if (const auto site = SiteOfTypedAddress(gbk::FromUnicode(UrlEdit->text())))
        SiteRadio(*site).setChecked(true);
}

void TParseForm::UrlEditDblClick()
{
    // The whole address at once, so a new one can be pasted or typed over it.
    UrlEdit->selectAll();
}

void TParseForm::FormClose()
{
    // The Xunlei album list is only needed while its collection runs.
    m_engine->AlbumTable().Clear();
}

void TParseForm::RetryButtonClick()
{
    const QPointer<TParseForm> alive(this);
    m_engine->RetryRow(View().FocusedRow());
    if (alive)
        RefreshEpisodeLine();
}

void TParseForm::AutoRetryButtonClick()
{
    const QPointer<TParseForm> alive(this);
    m_engine->AutoRetry();
    if (alive)
        RefreshEpisodeLine();
}

int TParseForm::ChooseAlbum(const std::vector<QString>& lines)
{
    // Owned by this form while it is shown, freed right after.
    const QPointer<TChooseForm> dialog = new TChooseForm(this, m_app);
    dialog->SetLines(lines);
    const int result = m_app->GetMessages().ShowModal(*dialog);
    const int chosen = dialog ? dialog->Chosen() : -1;
    delete dialog.data();
    return result == QDialog::Accepted ? chosen : -1;
}

int TParseForm::ChooseSource(const QString& base, const ResourceRecord& record)
{
    const QString path = resourcesites::FilePath(m_app->GetAppPath());
    const QString last = resourcesites::LastSource(path, base);
    std::vector<QString> lines;
    int preset = 0;
    for (std::size_t i = 0; i < record.sources.size(); ++i) {
        const ResourceSource& source = record.sources[i];
        lines.push_back(QStringLiteral("%1（%2 集）").arg(source.name).arg(source.episodes.size()));
        if (source.name == last)
            preset = static_cast<int>(i);
    }
    const QPointer<TChooseForm> dialog = new TChooseForm(this, m_app);
    dialog->SetPrompt(QStringLiteral("选择播放源"), QStringLiteral("请选择播放源："));
    dialog->SetLines(lines);
    dialog->Choose(preset);
    const int result = m_app->GetMessages().ShowModal(*dialog);
    const int chosen = dialog ? dialog->Chosen() : -1;
    delete dialog.data();
    if (result != QDialog::Accepted || chosen < 0)
        return -1;
    try {
        resourcesites::RememberSource(path, base, record.sources[static_cast<std::size_t>(chosen)].name);
    } catch (const std::exception& e) {
        // Only a convenience is lost: the next record of the site asks with the first preselected.
        m_app->WriteLog(QStringLiteral("无法记住所选的播放源"), QString::fromUtf8(e.what()), windowTitle());
    }
    return chosen;
}

}  // namespace quib::collect
