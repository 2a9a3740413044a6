// The one place where message boxes meet the screen. Every box and question of
// Ormena is described as a MessageBoxRequest and handed to the installed
// presenter; tests install a scripted presenter so no test waits on a modal box.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QList>
#include <memory>

class QWidget;

struct MessageBoxRequest {
    QString text;     // as the program words it; "\r" marks a line break
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::Ok;
    QMessageBox::StandardButton escapeButton = QMessageBox::NoButton;
    bool systemModal = false;
    QWidget *owner = nullptr;
};

class MessageBoxPresenter {
public:
    virtual ~MessageBoxPresenter() = default;
    // Shows the box modally and returns the button the operator pressed.
    virtual QMessageBox::StandardButton present(const MessageBoxRequest &request) = 0;
};

// The presenter in use (the real QMessageBox one unless a test swapped it).
MessageBoxPresenter &CurrentMessageBoxPresenter();
// Installs a presenter; returns the previous one so the caller can put it back.
MessageBoxPresenter *InstallMessageBoxPresenter(MessageBoxPresenter *presenter);

// Turns the program's "\r" line breaks into the line breaks Qt shows.
QString DisplayText(const QString &text);

// A presenter that answers from a script instead of showing anything. Boxes
// without a scripted answer get their escape button (or default button) and are
// still recorded, so a forgotten answer fails a test instead of hanging it.
class ScriptedMessageBoxes : public MessageBoxPresenter {
public:
    ScriptedMessageBoxes();
    ~ScriptedMessageBoxes() override;

    void setNextAnswer(QMessageBox::StandardButton answer);
    QMessageBox::StandardButton present(const MessageBoxRequest &request) override;

    const QList<MessageBoxRequest> &shown() const { return m_shown; }
    void clear() { m_shown.clear(); m_answers.clear(); }
    int unansweredCount() const { return m_unanswered; }

private:
    QList<QMessageBox::StandardButton> m_answers;
    QList<MessageBoxRequest> m_shown;
    int m_unanswered = 0;
    MessageBoxPresenter *m_previous = nullptr;
};
