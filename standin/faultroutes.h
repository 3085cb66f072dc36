#pragma once
// Misbehaving servers on demand, answered on every host under /__fault/: stalls before and after
// the headers, a connection reset mid-body, an endless body, a body dripping a byte at a time, any
// status, a redirect, a redirect to itself, a big body.
#include <httplib.h>

#include <atomic>

namespace quib::standin {

// stopping turns true when the server stops; every waiting or endless response ends then.
void AddFaultRoutes(httplib::Server& server, const std::atomic<bool>& stopping);

}  // namespace quib::standin
