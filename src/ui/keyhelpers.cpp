#include "ui/keyhelpers.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QShortcut>
#include <QValidator>

namespace {

class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

bool isEnter(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<const QKeyEvent *>(event);
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !(key->modifiers() & ~Qt::KeypadModifier);
}

class EnterAsTab : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!isEnter(event))
            return false;
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(watched, &tab);
        return true;
    }
};

class EnterAlong : public QObject {
public:
    EnterAlong(const QList<QWidget *> &chain, QObject *parent)
        : QObject(parent)
    {
        for (QWidget *widget : chain)
            m_chain.append(widget);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!isEnter(event))
            return false;
        const qsizetype at = m_chain.indexOf(watched);
        if (at + 1 < m_chain.size()) {
            if (QWidget *next = m_chain.at(at + 1))
                next->setFocus(Qt::TabFocusReason);
        } else if (auto *button = qobject_cast<QAbstractButton *>(watched)) {
            button->click();
        }
        return true;
    }

private:
    QList<QPointer<QWidget>> m_chain;
};

} // namespace

namespace ui {

void setUpperCase(QLineEdit *edit)
{
    edit->setValidator(new UpperCaseValidator(edit));
}

void enterMovesToNextField(QWidget *page)
{
    auto *filter = new EnterAsTab(page);
    for (QWidget *child : page->findChildren<QWidget *>()) {
        if (qobject_cast<QLineEdit *>(child) || qobject_cast<QComboBox *>(child) || qobject_cast<QAbstractSpinBox *>(child)
            || qobject_cast<QCheckBox *>(child) || qobject_cast<QRadioButton *>(child))
            child->installEventFilter(filter);
    }
}

void enterMovesAlong(const QList<QWidget *> &chain)
{
    if (chain.isEmpty())
        return;
    auto *filter = new EnterAlong(chain, chain.first());
    for (QWidget *widget : chain)
        widget->installEventFilter(filter);
}

void whenLeft(QWidget *area, std::function<void()> handler)
{
    const auto inside = [area](const QWidget *widget) { return widget == area || area->isAncestorOf(widget); };
    QObject::connect(qApp, &QApplication::focusChanged, area, [inside, area, handler = std::move(handler)](QWidget *old, QWidget *now) {
        if (old && now && inside(old) && !inside(now) && now->window() == area->window())
            handler();
    });
}

void bindFunctionKey(QWidget *window, const QKeySequence &key, QAbstractButton *button)
{
    auto *shortcut = new QShortcut(key, window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, button, [button] {
        if (button->isVisible() && button->isEnabled())
            button->click();
    });
}

} // namespace ui
