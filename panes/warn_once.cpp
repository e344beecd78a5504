#include "panes/warn_once.h"

#include "display/echo_text.h"

#include <QCoreApplication>
#include <QSet>
#include <cstdio>

namespace orvanta {

void warnOnce(const QString& what) {
    static QSet<QString> said;
    if (!said.contains(what)) {
        said.insert(what);
        // Whatever outside text the line holds, it stays one line and never a terminal's command.
        const std::string line = echoText(what.toStdString(), '\0', std::string::npos);
        std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                     line.c_str());
    }
}

} // namespace orvanta
