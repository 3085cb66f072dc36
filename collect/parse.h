#pragma once
// The collection form: the controls of a collection and their wiring. Its engine collects into
// the grid's table; its result commands work on what was collected.
#include "host/core/app.h"
#include "collect/collectionengine.h"
#include "results/formatowner.h"
#include "results/gridpopupmenu.h"
#include "results/resultcommands.h"
#include "ui_parse.h"

#include <QTimer>
#include <QWidget>

#include <memory>
#include <string>

namespace quib::results {
class DataView;
class MemData;
}  // namespace quib::results

namespace quib::collect {

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
    QSpinBox& MergeCount() { return *SpinEdit; }  // 每 N 行合成为一行
    // Beside the progress bar: the running collection's page, rows and time, then its final figures.
    QLabel& LiveLine() { return *ProgressLabel; }
    // The grid's status line after a collection: rows, episodes found, missing and repeated,
    // repeated addresses.
    QString EpisodeLine() { return MainGrid->StatusLine(); }
    QRadioButton& SiteRadio(std::string_view siteKey);
    results::ResultGrid& Grid() { return *MainGrid; }
    results::MemData& Data();
    results::DataView& View();

    // The collection behind the form, and the commands over its results.
    CollectionEngine& Engine() { return *m_engine; }
    results::TGridPopupMenu& PopupMenu() { return m_commands->PopupMenu(); }
    bool Running() const { return m_engine->IsRunning(); }

    void ButtonClick();
    // Collects what the request says, showing it in the form's controls. False when there is no
    // address (nothing was started).
    bool Collect(const CollectRequest& request);
    void StartProcess() { m_engine->StartProcess(AddCheckBox->isChecked()); }
    void EndProcess() { m_engine->EndProcess(); }
    void RequestStop() { m_engine->RequestStop(); }
    void TimerTimer();
    void UrlEditPropertiesEditValueChanged();
    void UrlEditDblClick();
    void FormClose();
    void RetryButtonClick();
    void AutoRetryButtonClick();

    void CopyData(int layout) { m_commands->CopyData(layout); }
    void CopyAllButtonClick() { m_commands->CopyAllButtonClick(); }
    void CopyButtonClick() { m_commands->CopyButtonClick(); }
    void CopyLinkButtonClick() { m_commands->CopyLinkButtonClick(); }
    void ExportButtonClick() { m_commands->ExportButtonClick(); }
    void SetFormatOwner(results::IFormatOwner* owner) { m_commands->SetFormatOwner(owner); }
    void SelAllButtonClick() { m_commands->SelAllButtonClick(); }
    void UnSelAllButtonClick() { m_commands->UnSelAllButtonClick(); }
    void DeSelButtonClick() { m_commands->DeSelButtonClick(); }
    void DataViewStatusHeaderClick() { m_commands->DataViewStatusHeaderClick(); }
    void DataViewMouseUp(Qt::MouseButton button, const QPoint& globalPos)
    {
        m_commands->DataViewMouseUp(button, globalPos);
    }
    void FindButtonClick() { m_commands->FindButtonClick(); }
    void LinkButtonClick() { m_commands->LinkButtonClick(); }
    void EditButtonClick() { m_commands->EditButtonClick(); }
    void EpisodeSortButtonClick() { m_commands->EpisodeSortButtonClick(); }
    void UnSelRepeatButtonClick() { m_commands->UnSelRepeatButtonClick(); }
    void SetPageOpener(results::ResultCommands::PageOpener opener) { m_commands->SetPageOpener(std::move(opener)); }

private:
    // The form's own side of a collection's start and end: the grid, the progress and the button.
    void Started();
    void Ended();
    // Reads the whole table once; nothing is read per row while a collection runs.
    void ShowEpisodeLine();
    // After a command that may change titles or addresses, if the line is on show.
    void RefreshEpisodeLine();
    std::string CheckedSiteKey() const;
    int ChooseAlbum(const std::vector<QString>& lines);
    // A record's play source, the one chosen last for its site preselected; the choice is kept.
    int ChooseSource(const QString& base, const ResourceRecord& record);

    IApp* m_app;
    QTimer m_timer;
    // Destroyed before the grid its engine fills (the grid is a child widget, deleted later).
    std::unique_ptr<CollectionEngine> m_engine;
    results::ResultCommands* m_commands = nullptr;  // a child of the form
};

}  // namespace quib::collect
