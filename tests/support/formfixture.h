#pragma once
// A collection form as the module builds it: a host with scripted message boxes, its worker
// registry, and, for the tests that collect, the stand-in web behind the network. Create in
// init(), Destroy in cleanup().
#include "results/dataview.h"
#include "host/core/gbk.h"
#include "host/framework/hostapp.h"
#include "results/memdata.h"
#include "collect/parse.h"
#include "results/resultgrid.h"
#include "tests/support/scriptedmessages.h"
#include "tests/support/standinmain.h"
#include "host/core/workerthread.h"

#include <QDialog>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quib::test {

struct TestRow {
    TestRow(QString rowCaption, QString rowUrl = {}, QString rowDate = {}, QString rowLink = {}, bool rowChecked = true)
        : caption(std::move(rowCaption)), url(std::move(rowUrl)), date(std::move(rowDate)), link(std::move(rowLink)),
          checked(rowChecked)
    {
    }
    QString caption, url, date, link;
    bool checked;
};

class FormFixture {
public:
    enum class Web { None, Own };
    // Without a stand-in web (the commands over rows put in by hand), or with one of its own.
    explicit FormFixture(Web web = Web::None)
    {
        if (web == Web::Own)
            m_web = &m_ownWeb.emplace();
    }
    // With the stand-in web main() started (see QUIB_STANDIN_TEST_MAIN).
    explicit FormFixture(standin::StandinWeb& web) : m_web(&web) {}

    ScriptedMessages messages;
    std::unique_ptr<HostApp> app;
    std::unique_ptr<collect::TParseForm> form;

    // The network reaches the stand-in web unless another is given.
    void Create(QWidget* owner = nullptr, std::optional<NetworkSettings> network = std::nullopt)
    {
        Release();
        if (m_web && m_web->Port() == 0)
            m_web->Start();
        if (!network)
            network = m_web ? StandinNetwork(*m_web) : NetworkSettings{};
        m_workers = std::make_unique<WorkerRegistry>();
        app = std::make_unique<HostApp>("Quib", m_dir.path(), messages, *m_workers, *network);
        form = std::make_unique<collect::TParseForm>(owner, app.get());
        // As the standalone window shows it; the dialogs then open over it.
        form->resize(900, 600);
        app->SetMainForm(form.get());
    }

    // The form first, so no callback finds it; then the workers, stopped and waited for.
    void Destroy()
    {
        Release();
        messages.Clear();
        messages.OnModal({});
        if (m_web)
            m_web->ClearRequests();
    }

    collect::TParseForm& Form() { return *form; }
    standin::StandinWeb& Web() { return *m_web; }
    WorkerRegistry& Workers() { return *m_workers; }

    void Show()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

    // Types the address, picks the site and presses the collect button.
    void Collect(const QString& address, const std::string& site)
    {
        form->SiteRadio(site).setChecked(true);
        form->UrlEditor().setText(address);
        form->ButtonClick();
    }

    // Waits for the collection to end; false if it is still running after ms.
    bool WaitIdle(int ms = 30000)
    {
        if (!form->Running())
            return true;
        QSignalSpy ended(&form->Engine(), &collect::CollectionEngine::Ended);
        return ended.wait(ms) || !form->Running();
    }

    std::vector<QString> Alerts() const { return messages.Texts(ScriptedMessages::Kind::Alert); }

    // Requests the stand-in web answered whose target contains mark, or starts with it.
    int RequestsContaining(const std::string& mark) const { return CountRequests(mark, false); }
    int RequestsStartingWith(const std::string& start) const { return CountRequests(start, true); }

    // Opens the table and appends the rows (RecId 1, 2, ... in order).
    void Fill(const std::vector<TestRow>& rows)
    {
        results::MemData& data = form->Data();
        data.Open();
        for (const TestRow& row : rows) {
            results::RowFields fields;
            fields.Caption = gbk::FromUnicode(row.caption);
            fields.Url = gbk::FromUnicode(row.url);
            fields.Date = gbk::FromUnicode(row.date);
            fields.Link = gbk::FromUnicode(row.link);
            fields.Status = row.checked;
            data.Append(fields);
        }
    }

    QString Caption(int row) const { return gbk::ToUnicode(form->Data().Row(row).Caption); }
    bool Checked(int row) const { return form->Data().Row(row).Status; }
    QString CheckMarks() const
    {
        QString marks;
        for (int i = 0; i < form->Data().Count(); ++i)
            marks += Checked(i) ? '1' : '0';
        return marks;
    }

private:
    void Release()
    {
        form.reset();
        if (m_workers) {
            m_workers->StopAll();
            m_workers->WaitAll();
        }
        app.reset();
        m_workers.reset();
    }

    int CountRequests(const std::string& text, bool atStart) const
    {
        int count = 0;
        for (const auto& request : m_web->Requests())
            count += atStart ? request.target.rfind(text, 0) == 0 : request.target.find(text) != std::string::npos;
        return count;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<WorkerRegistry> m_workers;
    std::optional<standin::StandinWeb> m_ownWeb;
    standin::StandinWeb* m_web = nullptr;
};

}  // namespace quib::test
