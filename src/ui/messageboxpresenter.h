#pragma once
// The message boxes of the desktop program, behind the message service (ground/messages.h). Standard
// buttons, so that Qt's Italian translation labels them "OK", "Sì" and "No".

#include "ground/messages.h"

class MessageBoxPresenter : public MessagePresenter {
public:
    void show(MessageKind kind, const QString &text) override;
    bool confirm(const QString &text) override;
};
