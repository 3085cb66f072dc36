#pragma once
// A collection form on the stand-in web, for the single-page tests. Chromium takes its host
// redirection once per process, before the first page, so the stand-in starts in main, before
// the application object, and the test object gets it.
#include "dataview.h"
#include "hostapp.h"
#include "memdata.h"
#include "parse.h"
#include "scriptedmessages.h"
#include "simpleparser.h"
#include "standinweb.h"
#include "workerthread.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class SinglePageFixture {
public:
    explicit SinglePageFixture(StandinWeb& web) : web_(web) {}

    void SetUp(NetworkSettings network = {})
    {
        if (network.connectTo.empty())
            network.connectTo = web_.ConnectToRules();
        messages_.Clear();
        form_.reset();
        app_.reset();
        workers_ = std::make_unique<WorkerRegistry>();
        app_ = std::make_unique<HostApp>("Quib", dir_.path(), messages_, *workers_, network);
        form_ = std::make_unique<TParseForm>(nullptr, app_.get());
    }
    void TearDown()
    {
        form_.reset();
        app_.reset();
        workers_.reset();
    }

    // Types the address, picks the site and presses the collect button.
    void Collect(const QString& address, const char* site)
    {
        form_->UrlEditor().setText(address);
        form_->SiteRadio(site).setChecked(true);
        form_->ButtonClick();
    }

    TParseForm& Form() { return *form_; }
    ScriptedMessages& Messages() { return messages_; }
    StandinWeb& Web() { return web_; }
    std::vector<QString> Alerts() const { return messages_.Texts(ScriptedMessages::Kind::Alert); }

private:
    StandinWeb& web_;
    QTemporaryDir dir_;
    ScriptedMessages messages_;
    std::unique_ptr<WorkerRegistry> workers_;
    std::unique_ptr<HostApp> app_;
    std::unique_ptr<TParseForm> form_;
};

// Chromium inside Qt WebEngine frees some of its own objects through a base of another size;
// that is its business, not this program's, and would stop every sanitized run that renders.
extern "C" const char* __asan_default_options() { return "new_delete_type_mismatch=0"; }

#define QUIB_SINGLE_PAGE_TEST_MAIN(TestClass)                 \
    int main(int argc, char** argv)                           \
    {                                                         \
        StandinWeb web;                                       \
        web.Start();                                          \
        SimpleParser::PrepareBrowser(web.HostResolverRules()); \
        QApplication app(argc, argv);                         \
        TestClass test(web);                                  \
        return QTest::qExec(&test, argc, argv);               \
    }
