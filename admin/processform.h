#pragma once
// The collection dialog (数据采集): the options of one collection for a CMS page, a busy sheet
// while its own hidden collection form collects, then that form's result grid to review; 完成
// copies the checked rows to the clipboard and closes with OK. With 只添加新剧集 it first reads
// the address list it fills, keeps only the rows whose address is new checked, and copies that
// list with the new rows below it.
#include "results/busycursor.h"
#include "admin/cmsfill.h"
#include "ui_processform.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <optional>
#include <string>

namespace quib {
class IApp;
class RibbonStrip;
}  // namespace quib
namespace quib::collect {
class TParseForm;
}

namespace quib::admin {

class TProcessForm : public QDialog, private Ui::TProcessForm {
    Q_OBJECT
public:
    TProcessForm(QWidget* owner, IApp* app);
    ~TProcessForm() override;

    QTimer* Timer;        // busy animation, 100 ms, off until OK
    RibbonStrip* Ribbon;  // the caption strip; hidden in the "Sys" skin

    IApp* App;
    collect::TParseForm* ParseForm = nullptr;  // the collection engine, created for each collection
    std::string TargetAddress;                 // set by the opener: album address or identifier
    std::string SiteWord;                      // set by the opener: a site word or a CMS player type
    std::string AlbumId;                       // the result: the collection's identifier when finished
    // Set by the opener: the text the target's address list holds now; none when it cannot be read.
    std::function<std::optional<QString>(FillTarget)> ReadAddressList;

    // The address list the result goes to; the write-back pastes into the same one.
    FillTarget Target() const;
    // With 只添加新剧集: the list as it was read before collecting, which the copy keeps whole.
    const std::optional<QString>& OldList() const { return m_oldList; }
    // 自动完成: the checked rows go to the page as soon as the collection ends.
    void SetAutoFinish(bool on) { AutoCheckBox->setChecked(on); }
    bool AutoFinish() const { return AutoCheckBox->isChecked(); }
    // For a CMS page with one address list that takes no titles: the result goes to the first
    // list, without titles, and neither can be changed.
    void LimitToFirstListWithoutTitles();

    void OkButtonClick();
    void DoProcess();
    void TimerTimer();
    // Stops the running collection; with none running (it never started), leaves the dialog.
    void StopButtonClick();
    void EndProcess();  // the collection has ended, however it ended
    void FinishButtonClick();
    // The 复制到剪切板 button: the control keeps its default name from the form definition.
    void cxButton1Click();
    void FormClose();

    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows one of the three sheets, the dialog sized to it.
    void ShowSheet(QWidget* sheet);
    // Copies and closes with OK; false when the operator would rather not replace his list.
    bool Finish();
    // Whether what was collected may replace the target's list: at once when the collection
    // ended whole or the list is empty, otherwise when the operator says so.
    bool MayReplaceList();
    void Copy();
    // Unchecks and marks the rows whose address the old list, or an earlier row, already has.
    void MarkPresentRows();
    bool m_closed = false;  // the dialog was closed: a late end of collection changes nothing
    std::optional<QString> m_oldList;
    // From 完成 until the dialog goes: the copy and the opener's write-back of a long list take
    // seconds, and the opener destroys the dialog right after the write-back.
    std::optional<results::BusyCursor> m_busy;
};

}  // namespace quib::admin
