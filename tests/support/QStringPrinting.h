// Test failures print a QString as its text, not as an array of code units.
#pragma once

#include <QString>
#include <ostream>

inline void PrintTo(const QString& Text, std::ostream* Out) { *Out << '"' << Text.toStdString() << '"'; }
