// Expansion of header and footer templates.
#include "PrintTemplate.h"

#include <QFileInfo>

namespace quire {

QString ExpandTemplate(const QString& Template, int Page, const QString& FileName, const QDateTime& Now) {
    QString out;
    out.reserve(Template.size() + 16);
    for (qsizetype i = 0; i < Template.size(); ++i) {
        const QChar c = Template[i];
        if (c != QLatin1Char('%') || i + 1 == Template.size()) {
            out += c;
            continue;
        }
        const QChar code = Template[++i];
        switch (code.unicode()) {
        case 'p': out += QString::number(Page); break;
        case 'f': out += FileName; break;
        case 'F': out += QFileInfo(FileName).fileName(); break;
        case 'y': out += QString::number(Now.date().year()); break;
        case 'm': out += QString::number(Now.date().month()); break;
        case 'd': out += QString::number(Now.date().day()); break;
        case 't': out += Now.time().toString(QStringLiteral("H:mm:ss")); break;
        default: out += code; break;
        }
    }
    return out;
}

} // namespace quire
