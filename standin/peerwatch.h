#pragma once
// Tells a response that sends nothing for a while whether its client is still there, so a client
// that gives up frees the server thread at once instead of when the stall would have ended.
#include <httplib.h>

namespace quib::standin {

class PeerWatch {
public:
    // Finds the connection's socket by its address pair; without one PeerGone() is always false.
    explicit PeerWatch(const httplib::Request& request);
    // True once the client has closed or reset the connection.
    bool PeerGone() const;

private:
    int m_socket = -1;  // not owned: the server closes it after the response
};

}  // namespace quib::standin
