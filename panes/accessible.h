#pragma once

namespace orvanta {

// What screen readers meet in place of the panes' pictures: each box of the info pane as static
// text with the box's title as its name and its lines as its text, and the orbit diagram as a
// picture with a description. Installed once, before the first pane is made.
void installAccessibleInterfaces();

} // namespace orvanta
