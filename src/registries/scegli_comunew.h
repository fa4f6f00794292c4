#pragma once
// TSCEGLI_COMUNE_DA_CONSERVAREform: asked while the older municipality list is copied into the new one
// and the older list holds a name a second time. On the left the municipality already copied, on the
// right the older list's row; each column has its "TIENI QUESTO". The window only answers: the data
// module's rule copies the older values when the right one is kept. Closing from the frame keeps the
// left one.
//
// MunicipalityChoice is what the program registers as Tdm::municipalityChooser: it opens the window
// for each duplicate and hands back the answer.

#include "data/windowhooks.h"

#include <QDialog>

class TSCEGLI_COMUNE_DA_CONSERVAREform : public QDialog {
    Q_OBJECT

public:
    explicit TSCEGLI_COMUNE_DA_CONSERVAREform(QWidget *parent = nullptr);

    // The two rows the next window shows, and what it answers; set by MunicipalityChoice.
    struct Choice {
        engine::Table *stored = nullptr;
        engine::Table *older = nullptr;
        bool keepOlder = false;
    };
    static inline Choice *pending = nullptr;
};

extern TSCEGLI_COMUNE_DA_CONSERVAREform *SCEGLI_COMUNE_DA_CONSERVAREform;

class MunicipalityChoice : public MunicipalityChooser {
public:
    bool keepOlder(engine::Table &stored, engine::Table &older) override;
};
