#pragma once

// The closest approaches of a span as an iCalendar file (RFC 5545), one event each, and on request
// the oppositions and stationary points of Mars beside them. orvanta-state --ics and the
// Approaches window both write it, so that a calendar sees one set of events whichever made it.

#include "ephemeris/opposition.h"
#include "ephemeris/utc_clock.h"

#include <string>

namespace orvanta {

// The events of [fromUtJd, toUtJd]: its closest approaches, and with `withApparitions` its
// oppositions and stationary points too.
Apparitions calendarEvents(double fromUtJd, double toUtJd, bool withApparitions);

// The number of events `events` makes.
std::size_t calendarEventCount(const Apparitions& events);

// The calendar of `events`, in time order. Each event keeps its UID from run to run, made from
// its kind and its instant, so that a calendar updates it in place; `madeAt` is the file's stamp.
void appendCalendar(std::string& out, const Apparitions& events, const UtcClockReading& madeAt);

} // namespace orvanta
