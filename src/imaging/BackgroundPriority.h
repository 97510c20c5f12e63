#pragma once

namespace duoptic {

// How much nicer than the rest of the program a background thread runs.
constexpr int kBackgroundNiceness = 10;

// Lowers the scheduling priority of the calling thread only, for work that no one waits for (a
// decode ahead of need): with both cores busy, the window's own threads then get the processor
// first. Returns false when the system refused; the thread then runs at its old priority, which
// is correct, only less polite.
bool lowerCallingThreadPriority();

} // namespace duoptic
