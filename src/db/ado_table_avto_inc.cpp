#include "db/ado_table_avto_inc.h"

TADOTableAvtoInc::TADOTableAvtoInc(QObject *parent)
    : TADOTable(parent)
{
}

void TADOTableAvtoInc::AfterPostStep()
{
    const int recNo = RecNo();
    Requery();
    SetRecNo(recNo);
}
