// The form run time's error modes, made explicit.
//
// Default: a RuntimeError thrown in a handler ends that handler; the event
// dispatcher of each backend catches it and nothing is reported.
// ResumeNext: continue-with-the-next-statement; each statement is a callable
// and a failing one is skipped.
// ExitOnError: a trap that leaves the procedure silently at the first error.
#pragma once

#include <utility>

#include "platform/types.h"

namespace quorvel::platform {

template <typename Statement>
void RunSkippingErrors(Statement&& statement) {
    try {
        std::forward<Statement>(statement)();
    } catch (const RuntimeError&) {
        // continue with the next statement
    }
}

template <typename... Statements>
void ResumeNext(Statements&&... statements) {
    (RunSkippingErrors(std::forward<Statements>(statements)), ...);
}

template <typename Body>
void ExitOnError(Body&& body) {
    RunSkippingErrors(std::forward<Body>(body));
}

// How every event reaches its handler: a run-time error ends the handler.
template <typename Handler, typename... Args>
void RaiseEvent(const Handler& handler, Args&... args) {
    if (!handler) return;
    try {
        handler(args...);
    } catch (const RuntimeError&) {
        // the handler ends; nothing is reported
    }
}

}  // namespace quorvel::platform
