#include "ui/ui_helpers.h"

#include "common/errors.h"
#include "common/message_boxes.h"
#include "common/text_utils.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

class EnterAsTab : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        // The widget handles a Tab press itself: focus moves on in the tab chain.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
        QCoreApplication::sendEvent(watched, &tab);
        return true;
    }
};

class NumericKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->text().isEmpty() || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            return false;
        QChar typed = key->text().at(0);
        NumericKeyFilter(typed);
        return typed.isNull();
    }
};

} // namespace

void InstallEnterAsTab(QWidget *widget)
{
    widget->installEventFilter(new EnterAsTab(widget));
}

void InstallNumericKeyFilter(QLineEdit *edit)
{
    edit->installEventFilter(new NumericKeys(edit));
}

int TextToInteger(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        throw OrmenaError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

bool RunHandler(const std::function<void()> &handler)
{
    try {
        handler();
        return true;
    } catch (const std::exception &error) {
        ShowUnhandledError(error);
    } catch (...) {
        ShowUnhandledError(QStringLiteral("Неизвестная ошибка"));
    }
    return false;
}
