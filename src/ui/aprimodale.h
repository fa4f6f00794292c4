#pragma once
// ApriModale: how every window but the main window and the splash is opened. The window is made,
// stored in the shared reference through which the record rules reach it, shown modally, and destroyed
// when it closes; the reference is cleared before the window goes, so nothing reaches a half-destroyed
// window through it. A failure escaping the window (while it is made, shown or run) still destroys it
// and then reaches the user as an error box with its text.
//
// In test mode (ground/testmode.h) a window opened this way is handed, once it is shown and inside its own
// modal loop, to the next handler the test queued with ModalWindows::setNextHandler(); the handler
// inspects the window and closes it. A window opened with no handler queued is a fatal error.

#include "ground/messages.h"

#include <QDialog>

#include <concepts>
#include <exception>
#include <functional>
#include <memory>

class ModalWindows {
public:
    using Handler = std::function<void(QDialog &window)>;

    // Shows the window modally and returns its result; in test mode runs the next handler on it.
    static int exec(QDialog &window);

    // Test support.
    static void setNextHandler(Handler handler);
    static qsizetype pendingHandlers();
    static void clear();
};

template<std::derived_from<QDialog> W>
void ApriModale(W *&ref, QWidget *parent = nullptr)
{
    std::unique_ptr<W> window;
    std::exception_ptr failure;
    try {
        window = std::make_unique<W>(parent);
        ref = window.get();
        ModalWindows::exec(*window);
    } catch (...) {
        failure = std::current_exception();
    }
    ref = nullptr;
    window.reset();
    if (!failure)
        return;
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception &error) {
        Messages::error(error);
    } catch (...) {
        Messages::error(QStringLiteral("Errore imprevisto nella finestra."));
    }
}
