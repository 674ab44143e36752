// The message loop that a front end runs over the service's work.
#pragma once

#include <windows.h>

#include <functional>

#include "core/Broker.h"

// The one-second tick that each front end arms before start-up, with this timer id.
inline constexpr UINT_PTR kTickTimerId = 1;
inline constexpr UINT kTickIntervalMs = 1000;

// Dispatches the thread's messages until WM_QUIT, whose code it returns; handled, when
// given, takes a message first (the window's dialog keys) and returns true when it did.
// With "RaspunsImediat" it also ticks as soon as the working directory changes and right
// after a tick that served a request; without it, it is a plain message loop.
int RunMessageLoop(TEBroker& broker, const std::function<bool(MSG&)>& handled = {});
