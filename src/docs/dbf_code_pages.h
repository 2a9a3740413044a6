// The single-byte code pages DBF tables are written in, decoded by tables of
// our own (Qt 6 decodes none of the DOS and Windows Cyrillic pages).
#pragma once

#include <QString>

// The code page a DBF header's language-driver byte names; 0 when unknown.
int DbfCodePage(unsigned char languageDriver);
bool DbfCodePageKnown(int codePage);
// Bytes of an unknown code page keep their ASCII half; others become U+FFFD.
QString DecodeDbfText(const char *data, qsizetype size, int codePage);
