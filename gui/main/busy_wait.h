#pragma once

#include <functional>

// Runs `work` on a worker thread and waits for its answer on the UI thread with a busy cursor.
// Meanwhile the window keeps repainting and timers and queued calls run, but user input is held
// back until the answer is in. An exception thrown by `work` is thrown again here, on the UI
// thread. `work` must not touch widgets; the caller keeps the UI off what `work` uses.
bool waitBusyFor(const std::function<bool()> &work);
