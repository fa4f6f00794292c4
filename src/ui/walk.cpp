#include "ui/walk.h"

#include "ground/messages.h"

#include <QProgressBar>

namespace ui {

Progress progressOn(QProgressBar *bar)
{
    return [bar](int done, int total) {
        bar->setRange(0, total);
        bar->setValue(done);
    };
}

bool runWalk(QProgressBar *bar, const std::function<void(const Progress &)> &walk)
{
    try {
        walk(progressOn(bar));
    } catch (const std::exception &) {
        bar->setValue(bar->minimum());
        Messages::plain(QStringLiteral("Impossibile eseguire"));
        return false;
    }
    Messages::plain(QStringLiteral("ESEGUITO"));
    return true;
}

} // namespace ui
