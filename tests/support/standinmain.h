#pragma once
// main() for tests whose pages go through the browser: Chromium takes its host redirection once
// per process, before the first page, so the stand-in web starts before the application object
// and the test object gets it.
#include "host/browser/browserstartup.h"
#include "host/core/simpleparser.h"
#include "standin/standinweb.h"

#include <QApplication>
#include <QTest>

#include <functional>

namespace quib::test {

// Connections to the sites' hosts go to the stand-in web.
inline NetworkSettings StandinNetwork(const standin::StandinWeb& web)
{
    NetworkSettings network;
    network.connectTo = web.ConnectToRules();
    return network;
}

#define QUIB_STANDIN_TEST_MAIN(TestClass)        \
    int main(int argc, char** argv)              \
    {                                            \
        standin::StandinWeb web;                 \
        web.Start();                             \
        PrepareBrowser(web.HostResolverRules()); \
        QApplication app(argc, argv);            \
        TestClass test(web);                     \
        return QTest::qExec(&test, argc, argv);  \
    }

// The same for tests of the embedded browser form, whose pages also need the res:// and bridge
// schemes; beforeStart may add sites to the web or keep a pointer to it.
template <class TestClass>
int RunEmbeddedBrowserTest(int argc, char** argv, const std::function<void(standin::StandinWeb&)>& beforeStart = {})
{
    standin::StandinWeb web;
    if (beforeStart)
        beforeStart(web);
    web.Start();
    PrepareEmbeddedBrowser(web.HostResolverRules());
    QApplication app(argc, argv);
    TestClass test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace quib::test
