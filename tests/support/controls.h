#pragma once
// A form's controls found by their object names, as a person finds them by their captions: the
// forms keep their generated members to themselves.
#include <QObject>
#include <QStackedWidget>
#include <QString>
#include <QWidget>

namespace quib::test {

// The control, or the end of the test run when the form has none of that name and type.
template <typename T = QWidget>
T* Control(const QObject& form, const char* name)
{
    T* control = form.findChild<T*>(QString::fromLatin1(name));
    if (!control)
        qFatal("the form has no control %s", name);
    return control;
}

// The object name of the page the stacked widget `stack` shows.
inline QString ShownPage(const QObject& form, const char* stack)
{
    const QWidget* page = Control<QStackedWidget>(form, stack)->currentWidget();
    return page ? page->objectName() : QString();
}

}  // namespace quib::test
