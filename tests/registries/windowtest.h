#pragma once
// What the registry window tests share: opening a window through ApriModale with the test's handler,
// reaching its controls by name, and pictures of it for a look by eye. With SIGILLO_SHOTS set to a
// folder, shoot() saves the window at 1280x800 there as <name>.png; without it nothing is saved.

#include "ui/aprimodale.h"

#include <QAbstractButton>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>

#include <functional>

template<class W>
void openWindow(W *&ref, std::function<void(W &)> handler)
{
    ModalWindows::setNextHandler([handler](QDialog &window) { handler(static_cast<W &>(window)); });
    ApriModale(ref);
}

inline QAbstractButton *button(QWidget &window, const char *name)
{
    auto *found = window.findChild<QAbstractButton *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no button %s", name);
    return found;
}

inline QLineEdit *lineEdit(QWidget &window, const char *name)
{
    auto *found = window.findChild<QLineEdit *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no edit %s", name);
    return found;
}

// Replaces a field's text by typing, as the user does.
inline void typeInto(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

inline void shoot(QWidget &window, const QString &name)
{
    const QString folder = qEnvironmentVariable("SIGILLO_SHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    const QSize size = window.size();
    window.resize(1280, 800);
    QCoreApplication::processEvents();
    window.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
    window.resize(size);
}
