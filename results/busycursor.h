#pragma once
// The busy cursor while a long action (a copy of many rows) runs on the interface thread, taken
// back however the action ends.
#include <QCursor>
#include <QGuiApplication>

namespace quib::results {

class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace quib::results
