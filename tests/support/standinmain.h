#pragma once
// main() for tests whose pages go through the browser: Chromium takes its host redirection once
// per process, before the first page, so the stand-in web starts before the application object
// and the test object gets it.
#include "simpleparser.h"
#include "standinweb.h"

#include <QApplication>
#include <QTest>

// Connections to the sites' hosts go to the stand-in web.
inline NetworkSettings StandinNetwork(const StandinWeb& web)
{
    NetworkSettings network;
    network.connectTo = web.ConnectToRules();
    return network;
}

#define QUIB_STANDIN_TEST_MAIN(TestClass)                      \
    int main(int argc, char** argv)                            \
    {                                                          \
        StandinWeb web;                                        \
        web.Start();                                           \
        SimpleParser::PrepareBrowser(web.HostResolverRules()); \
        QApplication app(argc, argv);                          \
        TestClass test(web);                                   \
        return QTest::qExec(&test, argc, argv);                \
    }
