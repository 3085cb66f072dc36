#pragma once
// Hands one kind of event of a widget to a function without subclassing the widget; the
// function returns true to consume the event. The hook is a child of the watched object.
#include <QEvent>
#include <QObject>

#include <functional>

namespace quib::results {

class EventHook : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<bool(QEvent&)>;

    // Watches `target` for events of `type`; owned by `target`.
    static EventHook& Install(QObject& target, QEvent::Type type, Handler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EventHook(QObject& target, QEvent::Type type, Handler handler);

    QEvent::Type m_type;
    Handler m_handler;
};

}  // namespace quib::results
