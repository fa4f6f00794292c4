#pragma once
// A command of the engine's windows: a named push button that never takes Enter for itself (Enter
// belongs to the field being typed in) and runs its handler on a click.

#include <QPushButton>

namespace report {

template <class Window, class Handler>
QPushButton *commandButton(Window *window, const char *name, const QString &text, Handler handler)
{
    auto *button = new QPushButton(text, window);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, window, handler);
    return button;
}

} // namespace report
