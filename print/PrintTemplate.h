// Expansion of header and footer templates ("%p" page, "%f"/"%F" file name, date and time).
#pragma once

#include <QDateTime>
#include <QString>

namespace quire {

// "%p" the page number, "%f" FileName as it is, "%F" its name without the folder, "%y",
// "%m", "%d" the year, month and day without leading zeros, "%t" the time of day with
// seconds (H:mm:ss); "%" before any other character gives that character ("%%" gives "%"),
// and a "%" at the very end stays. Everything else is copied.
QString ExpandTemplate(const QString& Template, int Page, const QString& FileName, const QDateTime& Now);

} // namespace quire
