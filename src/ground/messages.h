#pragma once
// Messages: every message box of the program goes through here, so that record rules and operations
// can speak to the user without widgets, and tests can script the answers and read back every text.
//
// The desktop program installs a presenter of real message boxes, the command-line program one that
// writes to the terminal. Without a presenter a message goes to the log and a question reads "No".
// In test mode (ground/testmode.h) nothing is presented: every message is recorded, and a question takes
// the next answer queued with setNextAnswer(); a question with no answer queued is a fatal error.

#include <QList>
#include <QString>

#include <exception>

enum class MessageKind { Plain, Information, Warning, Error, Confirmation };

struct ShownMessage {
    MessageKind kind;
    QString text;
    bool operator==(const ShownMessage &) const = default;
};

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    // Plain (OK only), Information, Warning or Error.
    virtual void show(MessageKind kind, const QString &text) = 0;
    // A Yes/No question; true only for Yes.
    virtual bool confirm(const QString &text) = 0;
};

class Messages {
public:
    static void plain(const QString &text);
    static void information(const QString &text);
    static void warning(const QString &text);
    static void error(const QString &text);
    static bool confirm(const QString &text); // proceeds only on Yes
    // An error box with the failure's text (UTF-8, as every error of the program carries it).
    static void error(const std::exception &failure);

    // The presenter is not owned; nullptr removes it.
    static void setPresenter(MessagePresenter *presenter);

    // Test support.
    static void setNextAnswer(bool yes);  // queued; each question takes the oldest
    static qsizetype pendingAnswers();
    static QList<ShownMessage> shown();   // in test mode: every message and question, in order
    static QStringList shownTexts();
    static void clear();                  // forgets the record and the queued answers
};
