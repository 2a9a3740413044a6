// The replacement list of document production: ordered find/replace pairs that
// the word processor applies one after another, each over the text the pairs
// before it left.
#pragma once

#include <QList>
#include <QString>

struct TReplace {
    QString FindText;    // searched for throughout the document, letter case ignored
    QString ReplaceText; // put in place of every occurrence, exactly as it stands
};

// Applied in list order, index 0 first.
using TaReplace = QList<TReplace>;
