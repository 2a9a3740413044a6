// TDBCheckBox: a check box bound to one Boolean field of a dataset's current
// row. It shows the field (a null reads as unchecked), and a click by the
// operator puts the row into edit state when it is browsing and writes the new
// value into the field at once.
#pragma once

#include <QCheckBox>
#include <QPointer>

class TDataSet;

class TDBCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TDBCheckBox(const QString &text, QWidget *parent = nullptr);

    void setDataField(TDataSet *dataSet, const QString &fieldName);
    TDataSet *dataSet() const { return m_dataSet; }
    QString fieldName() const { return m_fieldName; }

    // Shows the field's present value again.
    void refresh();

private:
    void writeField(bool checked);

    QPointer<TDataSet> m_dataSet;
    QString m_fieldName;
    bool m_writing = false;
};
