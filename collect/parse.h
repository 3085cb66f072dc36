#pragma once
// The collection form: takes an address and a site, hands a single page to its parser or an
// album to a page worker, and collects the rows into its result table.
#include "addressrules.h"
#include "app.h"
#include "formatowner.h"
#include "gridpopupmenu.h"
#include "pageparse.h"
#include "resultrow.h"
#include "simplerules.h"
#include "stopflag.h"
#include "ui_parse.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <random>
#include <string>

class DataView;
class HtmlElement;
class MemData;
class SimpleParser;

class TParseForm : public QWidget, private Ui::TParseForm {
    Q_OBJECT
public:
    TParseForm(QWidget* owner, IApp* app);
    ~TParseForm() override;

    // Controls other parts of the module set and read (the collection dialog, the main window).
    QLineEdit& UrlEditor() { return *UrlEdit; }
    QPushButton& CollectButton() { return *Button; }
    QCheckBox& FastSwitch() { return *FastCheckBox; }
    QCheckBox& AddSwitch() { return *AddCheckBox; }
    QSpinBox& StartPage() { return *PageEdit; }
    QProgressBar& Progress() { return *ProgressBar; }
    QRadioButton& SiteRadio(std::string_view siteKey);
    ResultGrid& Grid() { return *MainGrid; }
    MemData& Data();
    DataView& View();
    bool Running() const { return Timer.isActive(); }

    void ButtonClick();
    void StartProcess();
    void EndProcess();
    void TimerTimer();
    void CheckTerminated(TPageParse& thread);
    void ParseEnd(TPageParse& thread);
    void ParseError(const std::exception& E, const std::string& Url, int Index, TPageParse& thread);
    void UrlEditPropertiesEditValueChanged();

    // Starters: build the first address from CollectId and PageEdit and launch the worker.
    void ParseTudouByWeb();
    void ParseYoukuByWeb();
    void Parse56ByWeb();
    void Parse6JFByWeb();
    void ParseOuouByWeb();
    void ParseSinaByWeb();
    void ParseTudouByRss();
    void ParseYoukuByRss();
    void ParseXunleiByMovie();

    // Single-page parsers: run on this thread and append (or, on retry, overwrite) one row.
    void ParseSimpleTudou(const std::string& url, int kind, bool append);
    void ParseSimpleYouku(const std::string& url, int kind, bool append);
    void ParseSimple56(const std::string& url, int kind, bool append);
    void ParseSimple6JF(const std::string& url, int kind, bool append);
    void ParseSimpleOuou(const std::string& url, int kind, bool append);
    void ParseSimpleSina(const std::string& url, int kind, bool append);
    // The single-page engine: loads url in SimpleParser and runs the element rules of data.Site
    // over it (scripts on for this load when runScripts); returns when the walk has ended.
    void RunSimpleParser(const std::string& url, TParseData& data, bool runScripts);
    // The element handler of the walk RunSimpleParser runs.
    void SimpleParserElement(const HtmlElement& element);
    // Retry: collects the current row again from its Link and overwrites it; the automatic
    // retry does so for every checked row whose Url is empty.
    void RetryButtonClick();
    void AutoRetryButtonClick();
    // Asks a running collection to stop: the workers at their next check, a page walk at once.
    void RequestStop();
    ::SimpleParser* SimpleParser = nullptr;  // the page-element loader; a child of the form

    // Paged collection of the playlist pages: the site workers' launchers and row callbacks.
    void ParseTudou(const std::string& url, const std::string& id, int index);
    void ParseYouku(const std::string& url, const std::string& id, int index);
    void Parse56(const std::string& url, const std::string& id, int index);
    void Parse6JF(const std::string& url, const std::string& id, int index);
    void ParseOuou(const std::string& url, const std::string& id, int index);
    void ParseSina(const std::string& url, const std::string& id, int index);
    void Get56Url(const std::string& Html, const std::string& Url, const std::string& Caption,
                  const std::string& Date, int Index, TPageParse& PP);
    void GetTudouUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                     const std::string& Date, int Index, TPageParse& PP);
    void GetYoukuUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                     const std::string& Date, int Index, TPageParse& PP);
    void Get6JFUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                   const std::string& Date, int Index, TPageParse& PP);
    void GetOuouUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                    const std::string& Date, int Index, TPageParse& PP);
    void GetSinaUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                    const std::string& Date, int Index, TPageParse& PP);
    // The row-append rule for rows cut out of an item: the checked row is appended first, so a
    // cut that fails leaves it in the table with what was set before.
    void AppendCutRow(const std::function<RowFields()>& cut);

    // Feed and Xunlei collection: the launchers, row callbacks and the Xunlei album step.
    void ParseTudouRss(const std::string& url, const std::string& id, int index);
    void ParseYoukuRss(const std::string& url, const std::string& id, int index);
    void ParseXunleiMovie(const std::string& url, const std::string& id, int index);
    void ParseXunleiByAlbumList();
    void ParseXunleiAlbumList(const std::string& url, const std::string& id, int index);
    void GetTudouRssUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                        const std::string& Date, int Index, TPageParse& PP);
    void GetYoukuRssUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                        const std::string& Date, int Index, TPageParse& PP);
    void GetXunleiAlbumUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                           const std::string& Date, int Index, TPageParse& PP);
    void GetXunleiUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                      const std::string& Date, int Index, TPageParse& PP);
    void ParseXunleiMovieEnd(TPageParse& thread);
    // Shows the album chooser for a movie with several albums and goes on with the chosen one.
    void ChooseXunleiAlbum();

    // Working on the results: copy and export, the grid's commands, bulk edit.
    QSpinBox& MergeCount() { return *SpinEdit; }  // 每 N 行合成为一行
    TGridPopupMenu& PopupMenu() { return *GridPopupMenu; }
    void CopyData(int layout);
    void CopyAllButtonClick();
    void CopyButtonClick();
    void CopyLinkButtonClick();
    void ExportButtonClick();
    // The template's holder; without one, the owner (parent) if it holds it, else the form itself.
    void SetFormatOwner(IFormatOwner* owner) { formatOwner_ = owner; }
    void SelAllButtonClick();
    void UnSelAllButtonClick();
    void DeSelButtonClick();
    void DataViewStatusHeaderClick();
    void DataViewMouseUp(Qt::MouseButton button, const QPoint& globalPos);
    void FindButtonClick();
    void LinkButtonClick();
    void EditButtonClick();
    void UrlEditDblClick();
    void FormClose();
    // Opens a row's page; by default in the desktop's browser.
    using PageOpener = std::function<void(const QUrl& address)>;
    void SetPageOpener(PageOpener opener) { pageOpener_ = std::move(opener); }
    TGridPopupMenu* GridPopupMenu = nullptr;  // a child of the form

private:
    void SetupResultCommands();
    IFormatOwner& FormatOwner();
    MenuSpot SpotAt(const QPoint& globalPos);
    bool CheckMarksAllowed();
    void SetCheckMarks(const std::vector<int>& rows, const std::function<bool(bool)>& mark);
    IFormatOwner* formatOwner_ = nullptr;
    SessionFormat ownFormat_;
    PageOpener pageOpener_;

public:
    // How a starter's worker is launched. By default each starter's own site worker; the seam
    // lets a caller run the same form with a worker of its own.
    struct WorkerStart {
        Starter starter;
        std::string url;
        std::string id;
        int index;
    };
    using WorkerLauncher = std::function<void(TParseForm& form, const WorkerStart& start)>;
    void SetWorkerLauncher(WorkerLauncher launcher) { launcher_ = std::move(launcher); }

    using RowMethod = void (TParseForm::*)(const std::string& Html, const std::string& Url,
                                           const std::string& Caption, const std::string& Date, int Index,
                                           TPageParse& PP);
    using EndMethod = void (TParseForm::*)(TPageParse& PP);

    // Starts a worker of class Worker whose callbacks reach this form only while it exists.
    template <class Worker>
    std::shared_ptr<Worker> StartWorker(const std::string& url, const std::string& id, int index, RowMethod onRow,
                                        EndMethod onEnd = &TParseForm::ParseEnd)
    {
        return WorkerThread::Start<Worker>(App->GetWorkers(), App->GetNetwork(), url, id, index, Guarded(onRow),
                                           Guarded(&TParseForm::ParseError), Guarded(onEnd), StopCheck());
    }

    // The row-append rule: a new checked row with the given fields; a failure is swallowed.
    void AppendRow(const RowFields& fields);
    // Row callback that takes an item as it comes: data to Url, link to Link.
    void GetPlainUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                     const std::string& Date, int Index, TPageParse& PP);

    IApp* App;
    std::unique_ptr<TStringHashTable> AlbumTable;
    StopFlag StopRequested;
    std::string CollectId;
    std::string SiteKey;

private:
    void Launch(Starter starter);
    void LaunchSiteWorker(const WorkerStart& start);
    void RunSinglePage(const AddressClass& target, const std::string& address);
    std::string CheckedSiteKey() const;
    TPageParse::TCheckTerminatedEvent StopCheck() const;

    // Callbacks run on the user-interface thread but are destroyed with their worker on its own
    // thread, so they hold a plain shared token, cleared when the form goes, not a QPointer.
    template <class... Args>
    std::function<void(Args...)> Guarded(void (TParseForm::*method)(Args...))
    {
        return [alive = alive_, method](Args... args) {
            if (TParseForm* form = *alive)
                (form->*method)(std::forward<Args>(args)...);
        };
    }
    std::shared_ptr<TParseForm*> alive_ = std::make_shared<TParseForm*>(this);

    QTimer Timer;
    WorkerLauncher launcher_;
    std::mt19937 random_{std::random_device{}()};
    void SetUpSimpleParser();
    // False when the form was destroyed during the load; the caller must then return at once.
    bool WalkSimplePage(const std::string& url, TParseData& data, bool runScripts);
    // Appends a row for the page at link, or on retry overwrites the current row's given fields.
    void WriteSimpleRow(const std::string& link, bool append, RowFields fields);
    void RetryRow(const std::string& link);
    // The walk RunSimpleParser runs: the address loaded and the record its rules fill.
    const std::string* walkAddress_ = nullptr;
    TParseData* walkData_ = nullptr;
};
