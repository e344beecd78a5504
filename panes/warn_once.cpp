#include "panes/warn_once.h"

#include <QCoreApplication>
#include <QSet>
#include <cstdio>

namespace orvanta {

void warnOnce(const QString& what) {
    static QSet<QString> said;
    if (!said.contains(what)) {
        said.insert(what);
        std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                     qPrintable(what));
    }
}

} // namespace orvanta
