#include "ui/dataset_link.h"

#include "db/dataset.h"

void FollowCurrentRow(TDataSet *dataSet, QObject *receiver, const std::function<void()> &refresh)
{
    QObject::connect(dataSet, &TDataSet::rowsReset, receiver, refresh);
    QObject::connect(dataSet, &TDataSet::currentChanged, receiver, refresh);
    QObject::connect(dataSet, &TDataSet::rowChanged, receiver, refresh);
    QObject::connect(dataSet, &TDataSet::rowInserted, receiver, refresh);
    QObject::connect(dataSet, &TDataSet::rowRemoved, receiver, refresh);
    QObject::connect(dataSet, &TDataSet::stateChanged, receiver, refresh);
}
