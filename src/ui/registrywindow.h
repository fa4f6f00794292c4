#pragma once
// RegistryWindow: what every registry and register window shares, so that a window adds only its own
// controls and checks.
//
// - Pages sit in a QStackedWidget ("PageControl1") without tabs; page 0 is the list page. The program
//   switches pages, and a page shown gives the focus to its own control. Enter moves along the fields
//   of an entry page.
// - FormShow runs once, when the window is first shown; it shows the list page.
// - An entry starts with startEntry: the row is appended or put in Edit, then its page is shown. "OK"
//   is the window's own check followed by storeEntry: the page's controls commit what was typed, the
//   row is posted and the list page comes back; a post the engine refuses shows the engine's text and
//   the row stays being entered. "Annulla" is cancelEntry.
// - The frame cannot close the window: closeRefusal() gives the message that refuses it ("Terminare la
//   fase di inserimento con i tasti di conferma" on an entry page, "Per uscire dalla finestra usare i
//   tasti opportuni" on the others). However the window closes, an entry it left half done is
//   cancelled, or the next window that moves the shared cursor would post it.
// - A list window that a caller opens as a picker (SceltaFatta set) offers its choice in place of its
//   close command; pick() is the caller's side.

#include "ground/state.h"
#include "ui/aprimodale.h"
#include "ui/forms.h"

#include <QDialog>
#include <QPointer>
#include <QPushButton>

#include <functional>

class QStackedWidget;

namespace engine {
class Table;
}

class RegistryWindow : public QDialog {
    Q_OBJECT

public:
    void done(int result) override;

protected:
    enum class PageKind { List, Entry };
    enum class Entry { Append, Edit };
    static constexpr int ListPage = 0;

    // Throws when there is no data module, as the window works on its shared cursors.
    RegistryWindow(const char *objectName, const QString &caption, QSize size, QWidget *parent);

    // Pages are numbered in the order they are added; focus is the control that takes the focus when
    // the page is shown (none: it stays where it is).
    void addPage(const char *objectName, QWidget *page, PageKind kind, QWidget *focus);
    // An entry page laid out by ui::entryPage.
    void addEntryPage(const char *objectName, const QString &title, const QList<QPair<QString, QWidget *>> &fields,
                      const QList<QPushButton *> &buttons, QWidget *focus);
    void showPage(int page);
    int currentPage() const;

    // False, with the engine's text shown (or nothing, for a window that ignores the failure) and the
    // page unchanged, when the row cannot be started.
    enum class Failure { Shown, Ignored };
    bool startEntry(engine::Table *table, Entry entry, int page, Failure failure = Failure::Shown);
    // fill, when given, sets what the page holds outside data-bound controls; it runs just before the post.
    bool storeEntry(engine::Table *table, const std::function<void()> &fill = {});
    void cancelEntry(engine::Table *table);

    // For FormShow of a list window that can be a picker: reads and clears SceltaFatta, and shows close
    // or select and cancel accordingly.
    void offerChoice(QWidget *close, QWidget *select, QWidget *cancel);
    // "Seleziona": the caller finds SceltaFatta set and the table on the chosen row.
    void closeWithChoice();
    // The caller's side: opens the list window W as a picker; true when the user chose a row, on which
    // W's table then stands. SceltaFatta is clear afterwards either way.
    template<class W>
    bool pick(W *&ref)
    {
        AppState &state = appState();
        state.SceltaFatta = true;
        ApriModale(ref, this);
        const bool chosen = state.SceltaFatta;
        state.SceltaFatta = false;
        return chosen;
    }

    // A command button of this window that runs the handler when clicked.
    template<class W>
    QPushButton *command(const char *objectName, const QString &text, QWidget *parent, void (W::*handler)())
    {
        QPushButton *button = ui::commandButton(objectName, text, parent);
        connect(button, &QPushButton::clicked, static_cast<W *>(this), handler);
        return button;
    }

    virtual void FormShow();
    // The message refusing a close from the frame now; an empty one lets the window close.
    virtual QString closeRefusal() const;

    void showEvent(QShowEvent *event) override;

private:
    struct PageRole {
        PageKind kind;
        QWidget *focus;
    };

    QStackedWidget *m_pages;
    QList<PageRole> m_roles;
    QList<QPointer<engine::Table>> m_entered;
    bool m_shown = false;
};
