#pragma once

#include <QtGlobal>

namespace duoptic {

// Qt ends the process with abort() when no windowing system can be reached: no DISPLAY, a
// display that is gone, a platform plugin that cannot start. For the life of this object, which
// spans the making of the application object, a fatal message from Qt is taken for that: the
// user gets one line on stderr and the exit status 1 instead of a core dump and Qt's advice to
// reinstall. Qt's other messages of that time are held back and passed on at the object's end,
// since they would only explain the failure that the one line reports.
class ExitWithoutDisplay {
public:
    ExitWithoutDisplay();
    ~ExitWithoutDisplay();
    ExitWithoutDisplay(const ExitWithoutDisplay&) = delete;
    ExitWithoutDisplay& operator=(const ExitWithoutDisplay&) = delete;

private:
    QtMessageHandler earlier_;
};

} // namespace duoptic
