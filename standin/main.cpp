// quib-standin [--address A] [--port P] [--latency MS] [--version]: serves the stand-in web until
// SIGINT or SIGTERM; --latency holds every response that many milliseconds, as a slow link would.
#include "standin/standinweb.h"

#include <csignal>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>

using namespace quib;
using namespace quib::standin;

namespace {

int Usage()
{
    std::cerr << "usage: quib-standin [--address A] [--port P] [--latency MS] [--version]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string address = "127.0.0.1";
    int port = 0;
    int latency = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version") {
            std::cout << "quib-standin " QUIB_VERSION "\n";
            return 0;
        }
        if (arg == "--address" && i + 1 < argc) {
            address = argv[++i];
        } else if (arg == "--port" && i + 1 < argc) {
            char* end = nullptr;
            const long value = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || value < 0 || value > 65535)
                return Usage();
            port = static_cast<int>(value);
        } else if (arg == "--latency" && i + 1 < argc) {
            char* end = nullptr;
            const long value = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || value < 0 || value > 60000)
                return Usage();
            latency = static_cast<int>(value);
        } else {
            return Usage();
        }
    }

    // Blocked before any thread starts, so every thread inherits the mask and sigwait gets them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        StandinWeb web;
        web.SetLatency(latency);
        const int bound = web.Start(address, port);
        std::cout << "quib-standin listening on " << address << ":" << bound << "\n"
                  << "connect-to rule: " << web.ConnectToRules().front() << "\n"
                  << "host-resolver rules: " << web.HostResolverRules() << std::endl;
        int received = 0;
        sigwait(&stopSignals, &received);
        std::cout << "stopping" << std::endl;
        web.Stop();
    } catch (const std::exception& e) {
        std::cerr << "quib-standin: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
