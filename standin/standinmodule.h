#pragma once
// The entry points of the stand-in web built as a module of its own (libquibstandin.so), for a
// program that loads it only when a run is served by it: the program then neither links nor loads
// the web server otherwise. Plain C calls, resolved by name after the module is loaded.
#include <cstddef>

extern "C" {

struct QuibStandin;

// Starts the stand-in web on a free loopback port. Returns null on failure with the reason in
// error; otherwise the server, its port, and in connectTo the curl CONNECT_TO rule that sends
// every host to it. Texts are cut to their buffers, which end with a zero byte.
QuibStandin* QuibStandinStart(int* port, char* connectTo, std::size_t connectToSize, char* error,
                              std::size_t errorSize);
// Stops the server and frees it.
void QuibStandinStop(QuibStandin* web);

}  // extern "C"
