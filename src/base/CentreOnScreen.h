#pragma once

class QWidget;

namespace duoptic {

// Centres a dialog on its screen's available area, frame included. The window manager frames a
// dialog only after it is mapped; until then the frame of the window that opened it is the best
// guess of its own. The client rectangle is set rather than the frame position, which an
// unmapped window cannot honour.
void centreOnScreen(QWidget& dialog);

} // namespace duoptic
