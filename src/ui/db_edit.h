// TDBEdit: a one-line edit bound to one field of a dataset's current row. It
// shows the field's text, and typing puts the row into edit state (unless it
// is already being edited or inserted) and writes the text into the field at
// once, so the dataset always holds what the operator sees. A whole-number
// field admits digits only; an empty box writes a null.
#pragma once

#include <QLineEdit>
#include <QPointer>

class TDataSet;

class TDBEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TDBEdit(QWidget *parent = nullptr);

    void setDataField(TDataSet *dataSet, const QString &fieldName);
    TDataSet *dataSet() const;
    QString fieldName() const { return m_fieldName; }

    // Whole numbers of up to nine digits, so every text the box admits converts.
    void setIntegerField(bool integer);
    bool integerField() const { return m_integer; }

    // Shows the field's present text again.
    void refresh();

private:
    void writeField(const QString &text);

    QPointer<TDataSet> m_dataSet;
    QString m_fieldName;
    bool m_integer = false;
    bool m_writing = false;
};
