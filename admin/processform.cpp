#include "admin/processform.h"

#include "results/addresslist.h"
#include "host/core/app.h"
#include "collect/collectionengine.h"
#include "collect/collectionprogress.h"
#include "results/dataview.h"
#include "results/dialogsetup.h"
#include "host/core/gbk.h"
#include "results/memdata.h"
#include "host/core/messageservice.h"
#include "collect/parse.h"
#include "collect/resourceapi.h"
#include "admin/presentrows.h"
#include "results/resultgrid.h"
#include "host/framework/skin.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

namespace quib::admin {

using namespace quib::results;
using namespace quib::collect;

namespace {
constexpr int kTimerInterval = 100;

// A record address of a resource site, and not an address of one of the video sites (whose album
// pages may carry a "#" of their own).
bool IsResourceRecordAddress(const std::string& address)
{
    const std::optional<std::string_view> typed = SiteOfTypedAddress(address);
    if (typed && *typed != sitekey::Resource)
        return false;
    return ParseResourceAddress(gbk::ToUnicode(address).trimmed()).has_value();
}

constexpr int kLargeStep = 10;  // Ctrl with an arrow key in the merge count
constexpr int kProgressInterval = 250;
}  // namespace

TProcessForm::TProcessForm(QWidget* owner, IApp* app) : QDialog(owner), App(app)
{
    setupUi(this);
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Timer = new QTimer(this);
    Timer->setInterval(kTimerInterval);
    // The caption strip is drawn in the host's colour scheme; the "Sys" skin keeps the plain frame.
    const QString skin = app ? app->GetSkinName() : QStringLiteral("Sys");
    const bool plain = skin == QLatin1String("Sys");
    Ribbon = new RibbonStrip(plain ? QStringLiteral("Blue") : skin, this);
    Ribbon->setObjectName(QStringLiteral("Ribbon"));
    FormLayout->insertWidget(0, Ribbon);
    Ribbon->setVisible(!plain);

    connect(Timer, &QTimer::timeout, this, [this] { TimerTimer(); });
    connect(OkButton, &QPushButton::clicked, this, [this] { OkButtonClick(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
    connect(StopButton, &QPushButton::clicked, this, [this] { StopButtonClick(); });
    connect(FinishButton, &QPushButton::clicked, this, [this] { FinishButtonClick(); });
    connect(cxButton1, &QPushButton::clicked, this, [this] { cxButton1Click(); });
    SpinEdit->installEventFilter(this);
    // Room for a long line from the start: the sheet keeps its size while the figures grow.
    ProgressLabel->setMinimumWidth(
        ProgressLabel->fontMetrics().horizontalAdvance(ProgressLine({9999, 99999, 3599'000})) + 8);
    ShowSheet(OptionSheet);
    CenterOver(*this, app ? app->GetMainForm() : nullptr);
}

TProcessForm::~TProcessForm()
{
    // The engine goes with the dialog; a worker still running stops at its next check and its
    // callbacks no longer find the engine.
    m_closed = true;
    if (ParseForm) {
        ParseForm->Grid().setParent(ParseForm);  // the grid it lent the result sheet goes with it
        delete ParseForm;
    }
}

void TProcessForm::ShowSheet(QWidget* sheet)
{
    // A stacked widget is as large as its largest page; only the page shown counts here.
    for (int i = 0; i < PageControl->count(); ++i) {
        QWidget* page = PageControl->widget(i);
        page->setSizePolicy(page == sheet ? QSizePolicy::Preferred : QSizePolicy::Ignored,
                            page == sheet ? QSizePolicy::Preferred : QSizePolicy::Ignored);
    }
    PageControl->setCurrentWidget(sheet);
    PageControl->adjustSize();
    adjustSize();
}

FillTarget TProcessForm::Target() const
{
    return Fill1Radio->isChecked() ? FillTarget::Address1 : FillTarget::Address2;
}

void TProcessForm::LimitToFirstListWithoutTitles()
{
    Fill1Radio->setChecked(true);
    AllCheckBox->setChecked(false);
    Fill2Radio->setEnabled(false);
    AllCheckBox->setEnabled(false);
}

void TProcessForm::OkButtonClick()
{
    // The list is read before anything is collected. Without it the copy could not keep what is
    // there, and the paste would replace the list with the new rows alone: nothing is collected.
    m_oldList.reset();
    if (NewOnlyCheckBox->isChecked()) {
        m_oldList = ReadAddressList ? ReadAddressList(Target()) : std::nullopt;
        if (!m_oldList) {
            if (App)
                App->GetMessages().Alert(QStringLiteral("读取不到数据地址中已有的列表，无法只添加新剧集！"));
            return;
        }
    }
    Timer->start();
    // The busy sheet goes up before the collection starts: a single page is collected inside
    // DoProcess and ends there, showing the result sheet (or closing the dialog), which must stay
    // what the user sees; and no option can be pressed twice meanwhile.
    ShowSheet(WaitSheet);
    DoProcess();
}

void TProcessForm::DoProcess()
{
    if (ParseForm) {  // every collection starts with an engine of its own
        ParseForm->Grid().setParent(ParseForm);
        delete ParseForm;
    }
    ParseForm = new TParseForm(this, App);
    ParseForm->hide();
    connect(&ParseForm->Engine(), &CollectionEngine::Ended, this, &TProcessForm::EndProcess);
    // The live line under the busy bar; the ticker goes with the engine it watches.
    ProgressLabel->clear();
    auto* ticker = new ProgressTicker(ParseForm->Engine(), kProgressInterval, ParseForm);
    connect(ticker, &ProgressTicker::Changed, ProgressLabel, &QLabel::setText);
    ParseForm->layout()->activate();  // gives its grid the size it has in the form
    CollectRequest request;
    request.address = gbk::FromUnicode(gbk::ToUnicode(TargetAddress));  // as the address box gives it
    // A resource site's record address goes to its reader whatever player type the film has (a
    // CMS has none for resource sites); otherwise the site word decides, and without one the site
    // whose domain the address names.
    if (IsResourceRecordAddress(request.address))
        request.site = std::string(sitekey::Resource);
    else if (const auto site = EngineSiteForWord(SiteWord))
        request.site = *site;
    else if (const auto typed = SiteOfTypedAddress(request.address))
        request.site = *typed;
    request.fast = FastCheckBox->isChecked();
    ParseForm->Collect(request);
}

void TProcessForm::TimerTimer()
{
    if (ProgressBar->value() == 100)
        ProgressBar->setValue(0);
    ProgressBar->setValue(ProgressBar->value() + 1);
}

void TProcessForm::StopButtonClick()
{
    // Nothing runs while the busy sheet shows only when the collection never began (no
    // address, no site): pressing the engine's button again would only repeat its message.
    if (!ParseForm || !ParseForm->Running()) {
        done(QDialog::Rejected);
        return;
    }
    ParseForm->ButtonClick();
}

void TProcessForm::EndProcess()
{
    if (m_closed || !ParseForm)
        return;
    if (m_oldList)
        MarkPresentRows();
    // The result sheet is shown unless the rows go straight to the page; a result the operator
    // would not let replace his list stays there to be looked at.
    if (AutoCheckBox->isChecked() && Finish())
        return;
    ResultGrid& grid = ParseForm->Grid();
    // The grid's size in its hidden form; never smaller than a grid can be read at.
    const QSize size = grid.size().expandedTo(QSize(480, 300));
    grid.setParent(ResultSheet);
    ResultLayout->insertWidget(0, &grid, 1);
    grid.show();
    PageControl->setMinimumSize(size);
    ShowSheet(ResultSheet);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TProcessForm::MarkPresentRows()
{
    MemData& rows = ParseForm->Data();
    std::vector<QString> addresses;
    addresses.reserve(static_cast<std::size_t>(rows.Count()));
    for (int i = 0; i < rows.Count(); ++i)
        addresses.push_back(gbk::ToUnicode(rows.Row(i).Url));
    const std::vector<bool> fresh = NewAddresses(ListedAddresses(*m_oldList), addresses);
    std::vector<bool> present(fresh.size());
    int newCount = 0;
    int presentCount = 0;
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        rows.SetStatus(static_cast<int>(i), fresh[i]);
        // A row without an address is left out too, but there is nothing it could already be.
        present[i] = !fresh[i] && !addresses[i].trimmed().isEmpty();
        newCount += fresh[i] ? 1 : 0;
        presentCount += present[i] ? 1 : 0;
    }
    DataView& view = ParseForm->Grid().View();
    view.setItemDelegate(new PresentRowDelegate(view, std::move(present)));
    view.viewport()->update();
    UpdateLabel->setText(
        QStringLiteral("新剧集 %1 条（已勾选）；已在数据地址中 %2 条（灰色，未勾选）。完成后新剧集接在原有列表之后。")
            .arg(newCount)
            .arg(presentCount));
    UpdateLabel->show();
}

void TProcessForm::Copy()
{
    if (!ParseForm)
        return;
    ParseForm->MergeCount().setValue(SpinEdit->value());
    if (AllCheckBox->isChecked())
        ParseForm->CopyAllButtonClick();
    else
        ParseForm->CopyButtonClick();
    // The checked rows go below the list as it was, which the paste then writes whole.
    if (m_oldList) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText(AppendToList(*m_oldList, clipboard->text()));
    }
}

void TProcessForm::FinishButtonClick() { Finish(); }

bool TProcessForm::Finish()
{
    if (!MayReplaceList())
        return false;
    m_busy.emplace();
    Copy();
    if (ParseForm)
        AlbumId = ParseForm->Engine().CollectId();
    done(QDialog::Accepted);
    return true;
}

bool TProcessForm::MayReplaceList()
{
    // An update keeps the list whole and only adds to it.
    if (m_oldList || !ParseForm)
        return true;
    const MemData& table = ParseForm->Data();
    int checked = 0;
    int withoutAddress = 0;
    for (int i = 0; i < table.Count(); ++i) {
        if (!table.Row(i).Status)
            continue;
        ++checked;
        const std::string& url = table.Row(i).Url;
        withoutAddress += url.empty() ? 1 : 0;
    }
    const CollectionEngine::EndKind end = ParseForm->Engine().LastEnd();
    if (checked > 0 && withoutAddress == 0 && end == CollectionEngine::EndKind::Finished)
        return true;
    // Nothing is lost where there is nothing yet; a list that cannot be read may hold anything.
    const std::optional<QString> list = ReadAddressList ? ReadAddressList(Target()) : std::nullopt;
    if (list && list->trimmed().isEmpty())
        return true;
    if (!App)
        return false;
    const QString name = Target() == FillTarget::Address1 ? QStringLiteral("数据地址1") : QStringLiteral("数据地址2");
    QString why;
    if (end == CollectionEngine::EndKind::Failed)
        why = QStringLiteral("采集过程中发生了错误，结果不完整。");
    else if (end == CollectionEngine::EndKind::Stopped)
        why = QStringLiteral("采集已被终止，结果不完整。");
    // The copy leaves out checked rows without an address: what would be written is the rest.
    if (withoutAddress > 0)
        why += QStringLiteral("勾选的 %1 条中有 %2 条没有地址，不会写入。").arg(checked).arg(withoutAddress);
    const int written = checked - withoutAddress;
    if (written == 0)
        return App->GetMessages().Question(why + (checked == 0 ? QStringLiteral("没有勾选任何数据，") : QString()) +
                                           QStringLiteral("完成后%1中原有的列表将被清空。确定要清空吗？").arg(name));
    const QString rows = withoutAddress > 0 ? QStringLiteral("其余的 %1 条") : QStringLiteral("勾选的 %1 条");
    return App->GetMessages().Question(why +
                                       QStringLiteral("确定要用%1替换%2中原有的列表吗？").arg(rows.arg(written), name));
}

void TProcessForm::cxButton1Click() { Copy(); }

void TProcessForm::FormClose()
{
    Timer->stop();
    // A collection still running is asked to stop; its end no longer reaches the dialog.
    if (ParseForm && ParseForm->Running())
        ParseForm->RequestStop();
}

void TProcessForm::done(int result)
{
    if (!m_closed) {
        m_closed = true;
        FormClose();
    }
    QDialog::done(result);
}

void TProcessForm::keyPressEvent(QKeyEvent* event)
{
    // Escape presses the cancel button of the sheet shown: 取消 on the options, 终止 while
    // collecting; the result sheet has none.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (PageControl->currentWidget() == OptionSheet)
            CancelButton->click();
        else if (PageControl->currentWidget() == WaitSheet)
            StopButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TProcessForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == SpinEdit && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & Qt::ControlModifier && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            SpinEdit->stepBy(key->key() == Qt::Key_Up ? kLargeStep : -kLargeStep);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace quib::admin
