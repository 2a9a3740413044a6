// TADOTableAvtoInc: a table dataset that reads itself again after every
// successful post, so the key the database assigned is in the row just saved,
// and returns to the same record number (not necessarily the same row).
#pragma once

#include "db/ado_table.h"

class TADOTableAvtoInc : public TADOTable {
    Q_OBJECT
public:
    explicit TADOTableAvtoInc(QObject *parent = nullptr);

protected:
    void AfterPostStep() override;
};
