#include "results/eventhook.h"

namespace quib::results {

EventHook::EventHook(QObject& target, QEvent::Type type, Handler handler)
    : QObject(&target), m_type(type), m_handler(std::move(handler))
{
    target.installEventFilter(this);
}

EventHook& EventHook::Install(QObject& target, QEvent::Type type, Handler handler)
{
    return *new EventHook(target, type, std::move(handler));  // owned by target
}

bool EventHook::eventFilter(QObject*, QEvent* event) { return event->type() == m_type && m_handler(*event); }

}  // namespace quib::results
