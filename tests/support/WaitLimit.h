#pragma once
// How long a test waits for something that must happen before it calls it a failure. The limit only
// ends a wait that would otherwise never end; a loaded two-core machine stays far below it.

constexpr int WaitLimitMs = 120000;
