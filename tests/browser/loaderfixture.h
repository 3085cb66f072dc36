#pragma once
// What the loader's tests share: the stand-in web started before the application object (the
// browser takes its redirection once, before its first page), and the elements a load delivers.
#include "simpleparser.h"
#include "standinweb.h"

#include <QApplication>
#include <QTest>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

struct Seen {
    std::string tag, id, className, text, html;
    std::optional<std::string> value;
};

inline NetworkSettings LoaderNetwork(const StandinWeb& web)
{
    NetworkSettings network;
    network.connectTo = web.ConnectToRules();
    return network;
}

inline std::vector<Seen> Load(SimpleParser& parser, const std::string& url, bool* ok = nullptr)
{
    std::vector<Seen> seen;
    parser.SetOnElement([&seen](const HtmlElement& e) {
        seen.push_back({e.TagName(), e.Id(), e.ClassName(), e.InnerText(), e.InnerHtml(), e.Attribute("value")});
    });
    const bool loaded = parser.Navigate(url);
    if (ok)
        *ok = loaded;
    return seen;
}

inline std::vector<std::string> Tags(const std::vector<Seen>& seen)
{
    std::vector<std::string> tags;
    for (const Seen& s : seen)
        tags.push_back(s.tag);
    return tags;
}

// Chromium inside Qt WebEngine frees some of its own objects through a base of another size;
// that is its business, not this program's, and would stop every sanitized run that renders.
extern "C" const char* __asan_default_options() { return "new_delete_type_mismatch=0"; }

#define QUIB_LOADER_TEST_MAIN(TestClass)                      \
    int main(int argc, char** argv)                           \
    {                                                         \
        StandinWeb web;                                       \
        web.Start();                                          \
        SimpleParser::PrepareBrowser(web.HostResolverRules()); \
        QApplication app(argc, argv);                         \
        TestClass test(web);                                  \
        return QTest::qExec(&test, argc, argv);               \
    }
