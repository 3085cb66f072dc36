#pragma once
// A collection form on a plain host with scripted message boxes, and rows put straight into its
// table, for the tests of the commands that work on the collected rows.
#include "dataview.h"
#include "gbk.h"
#include "hostapp.h"
#include "memdata.h"
#include "parse.h"
#include "resultgrid.h"
#include "scriptedmessages.h"
#include "workerthread.h"

#include <QDialog>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

struct TestRow {
    TestRow(QString caption_, QString url_ = {}, QString date_ = {}, QString link_ = {}, bool checked_ = true)
        : caption(std::move(caption_)), url(std::move(url_)), date(std::move(date_)), link(std::move(link_)),
          checked(checked_)
    {
    }
    QString caption, url, date, link;
    bool checked;
};

class ResultFormFixture {
public:
    ScriptedMessages messages;
    std::unique_ptr<HostApp> app;
    std::unique_ptr<TParseForm> form;

    void Create(QWidget* owner = nullptr)
    {
        app = std::make_unique<HostApp>("Quib", dir_.path(), messages, workers_);
        form = std::make_unique<TParseForm>(owner, app.get());
        // As the standalone window shows it; the dialogs then open over it.
        form->resize(900, 600);
        app->SetMainForm(form.get());
    }

    void Destroy()
    {
        form.reset();
        app.reset();
        messages.Clear();
        messages.OnModal({});
    }

    void Show()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

    // Opens the table and appends the rows (RecId 1, 2, ... in order).
    void Fill(const std::vector<TestRow>& rows)
    {
        MemData& data = form->Data();
        data.Open();
        for (const TestRow& row : rows) {
            RowFields fields;
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
    QTemporaryDir dir_;
    WorkerRegistry workers_;
};
