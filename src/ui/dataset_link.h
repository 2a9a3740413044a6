// Keeps a data-bound control in step with its dataset: one call connects every
// signal after which the current row's values may read differently.
#pragma once

#include <functional>

class QObject;
class TDataSet;

// Runs refresh (in receiver's context) whenever the dataset's rows, current
// row, a row's values or the edit state change.
void FollowCurrentRow(TDataSet *dataSet, QObject *receiver, const std::function<void()> &refresh);
