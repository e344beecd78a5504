#pragma once

// What the Qt layer's own tests need to reach of the process room.

#include <QString>

namespace qtlayer {

// Where the instance holding the marker `markerName` listens for show requests; empty when there
// is no private folder for it.
QString showChannelPath(const char* markerName);

} // namespace qtlayer
