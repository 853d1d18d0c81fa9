// Values shown from a connection that is gone stay on screen, greyed, until a new connection
// is complete: the engineer keeps the last state in view without taking it for the live one.
#pragma once

class QWidget;

namespace talvo::app {

// Greys (or restores) every live value below `root`: value fields, string grids and lamps.
// Each carries the dynamic property "stale" for whoever describes the window.
void MarkValuesStale(QWidget& root, bool stale);

}  // namespace talvo::app
