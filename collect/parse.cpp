#include "parse.h"

#include "dataview.h"
#include "gbk.h"
#include "resultgrid.h"
#include "memdata.h"
#include "messageservice.h"
#include "textcursor.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace {

const QString kCollectCaption = QStringLiteral("采集");
const QString kStopCaption = QStringLiteral("终止");
constexpr int kTimerInterval = 50;

}  // namespace

TParseForm::TParseForm(QWidget* owner, IApp* app)
    : QWidget(owner), App(app), AlbumTable(std::make_unique<TStringHashTable>())
{
    setupUi(this);
    SetUpSimpleParser();
    Timer.setInterval(kTimerInterval);
    launcher_ = [](TParseForm& form, const WorkerStart& start) { form.LaunchSiteWorker(start); };
    connect(Button, &QPushButton::clicked, this, [this] { ButtonClick(); });
    connect(&Timer, &QTimer::timeout, this, [this] { TimerTimer(); });
    connect(UrlEdit, &QLineEdit::textChanged, this, [this] { UrlEditPropertiesEditValueChanged(); });
    SetupResultCommands();
}

TParseForm::~TParseForm()
{
    // A worker still running stops at its next check; its callbacks no longer find the form.
    StopRequested.Set();
    *alive_ = nullptr;
}

MemData& TParseForm::Data() { return Grid().Data(); }

DataView& TParseForm::View() { return Grid().View(); }

QRadioButton& TParseForm::SiteRadio(std::string_view siteKey)
{
    if (siteKey == sitekey::Tudou) return *TudouRadio;
    if (siteKey == sitekey::Youku) return *YoukuRadio;
    if (siteKey == sitekey::Wole) return *WoleRadio;
    if (siteKey == sitekey::Ljf) return *LjfRadio;
    if (siteKey == sitekey::Ouou) return *OuouRadio;
    if (siteKey == sitekey::Sina) return *SinaRadio;
    return *XunleiRadio;
}

std::string TParseForm::CheckedSiteKey() const
{
    const std::pair<const QRadioButton*, std::string_view> order[] = {
        {YoukuRadio, sitekey::Youku}, {WoleRadio, sitekey::Wole}, {TudouRadio, sitekey::Tudou},
        {SinaRadio, sitekey::Sina},   {OuouRadio, sitekey::Ouou}, {LjfRadio, sitekey::Ljf},
        {XunleiRadio, sitekey::Xunlei},
    };
    for (const auto& [radio, key] : order)
        if (radio->isChecked())
            return std::string(key);
    return {};
}

void TParseForm::ButtonClick()
{
    if (Button->text() == kStopCaption) {
        RequestStop();  // also ends a page walk in progress
        return;
    }
    const std::string address = Trim(gbk::FromUnicode(UrlEdit->text()));
    MessageService& messages = App->GetMessages();
    if (address.empty()) {
        messages.Info(QStringLiteral("请输入地址！"));
        UrlEdit->setFocus();
        return;
    }
    if (const std::string checked = CheckedSiteKey(); !checked.empty())
        SiteKey = checked;
    if (SiteKey.empty()) {
        messages.Info(QStringLiteral("请选择采集网站！"));
        return;
    }

    const AddressClass target = ClassifyAddress(SiteKey, address);
    if (target.action == AddressClass::Action::SinglePage) {
        RunSinglePage(target, address);
        return;
    }
    if (target.action == AddressClass::Action::Id)
        CollectId = target.id;
    StartProcess();
    Launch(StarterFor(SiteKey, FastCheckBox->isChecked()));
    if (CollectId.empty())
        messages.Info(QStringLiteral("无法解析到正确的ID！"));
}

void TParseForm::RunSinglePage(const AddressClass& target, const std::string& address)
{
    StartProcess();
    try {
        switch (target.parser) {
        case SinglePageParser::Tudou: ParseSimpleTudou(address, target.pageKind, true); break;
        case SinglePageParser::Youku: ParseSimpleYouku(address, target.pageKind, true); break;
        case SinglePageParser::Wole: ParseSimple56(address, target.pageKind, true); break;
        case SinglePageParser::Ljf: ParseSimple6JF(address, target.pageKind, true); break;
        case SinglePageParser::Ouou: ParseSimpleOuou(address, target.pageKind, true); break;
        case SinglePageParser::Sina: ParseSimpleSina(address, target.pageKind, true); break;
        case SinglePageParser::None: break;
        }
    } catch (const std::exception& e) {
        // The parsers report their own failures; anything else must not leave the form running.
        App->GetMessages().Alert(QString::fromUtf8(e.what()));
    }
    EndProcess();
}

void TParseForm::Launch(Starter starter)
{
    const int page = PageEdit->value();
    WorkerStart start{starter, FirstAddress(starter, CollectId, page, std::uniform_int_distribution<int>(0, 99)(random_)),
                      CollectId, FirstIndex(starter, page)};
    try {
        launcher_(*this, start);
    } catch (const std::exception& e) {
        // No worker runs, so no end callback will come: return to idle here.
        App->GetMessages().Alert(QStringLiteral("在采集的过程中发生错误：") + QString::fromUtf8(e.what()));
        EndProcess();
    }
}

void TParseForm::ParseTudouByWeb() { Launch(Starter::TudouByWeb); }
void TParseForm::ParseYoukuByWeb() { Launch(Starter::YoukuByWeb); }
void TParseForm::Parse56ByWeb() { Launch(Starter::WoleByWeb); }
void TParseForm::Parse6JFByWeb() { Launch(Starter::LjfByWeb); }
void TParseForm::ParseOuouByWeb() { Launch(Starter::OuouByWeb); }
void TParseForm::ParseSinaByWeb() { Launch(Starter::SinaByWeb); }
void TParseForm::ParseTudouByRss() { Launch(Starter::TudouByRss); }
void TParseForm::ParseYoukuByRss() { Launch(Starter::YoukuByRss); }
void TParseForm::ParseXunleiByMovie() { Launch(Starter::XunleiByMovie); }

void TParseForm::StartProcess()
{
    if (!AddCheckBox->isChecked()) {
        Data().Close();
        QCoreApplication::processEvents();
    }
    Data().Open();
    View().BeginUpdate();
    Timer.start();
    Button->setText(kStopCaption);
    StopRequested.Clear();
}

void TParseForm::EndProcess()
{
    View().EndUpdate();
    Timer.stop();
    ProgressBar->setValue(0);
    Button->setText(kCollectCaption);
    if (QObject* owner = parent(); owner && qstrcmp(owner->metaObject()->className(), "TProcessForm") == 0)
        QMetaObject::invokeMethod(owner, "EndProcess");
}

void TParseForm::TimerTimer()
{
    if (ProgressBar->value() == ProgressBar->maximum())
        ProgressBar->setValue(0);
    ProgressBar->setValue(ProgressBar->value() + 1);
}

void TParseForm::CheckTerminated(TPageParse& thread)
{
    if (StopRequested.IsSet())
        thread.Terminate();
}

TPageParse::TCheckTerminatedEvent TParseForm::StopCheck() const
{
    // Runs on the worker thread, so it holds the flag itself rather than the form.
    return [stop = StopRequested](TPageParse& thread) {
        if (stop.IsSet())
            thread.Terminate();
    };
}

void TParseForm::ParseEnd(TPageParse&) { EndProcess(); }

void TParseForm::ParseError(const std::exception& E, const std::string&, int, TPageParse&)
{
    App->GetMessages().Alert(QStringLiteral("在采集的过程中发生错误：") + QString::fromUtf8(E.what()));
}

void TParseForm::UrlEditPropertiesEditValueChanged()
{
    if (const auto site = SiteOfTypedAddress(gbk::FromUnicode(UrlEdit->text())))
        SiteRadio(*site).setChecked(true);
}

void TParseForm::AppendRow(const RowFields& fields)
{
    try {
        RowFields row = fields;
        row.Status = true;
        Data().Append(row);
    } catch (...) {
        // A row that cannot be stored is dropped; the collection goes on.
    }
}

void TParseForm::GetPlainUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                             const std::string& Date, int, TPageParse&)
{
    AppendRow(RowFields{Caption, Html, Date, Url, true});
}
