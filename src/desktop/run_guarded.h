// SPDX-License-Identifier: GPL-3.0-or-later
// Errors at the handler boundary. A handler makes its call into the core (Compute, a file written
// or read, an export, a batch started) through RunGuarded: an exception from the core (an argument
// error, memory or a thread that cannot be had) is shown in the program's standard error box right
// there and the handler stops, instead of crossing Qt's event dispatch, which Qt does not support.
// GuardedApplication::notify shows whatever still escapes in the same way, as the last net.
#pragma once

#include <utility>

namespace orvale {

class Platform;

// Shows the exception being handled in the standard error box: its message, or "An unexpected
// error occurred." for one that is no std::exception; without a platform, on standard error. Call
// it only inside a catch block.
void ShowCurrentError(Platform* platform);

// Runs call(); true when it returned, false when it threw (the error has then been shown).
template <typename Call>
bool RunGuarded(Platform& platform, Call&& call) {
    try {
        std::forward<Call>(call)();
        return true;
    } catch (...) {
        ShowCurrentError(&platform);
        return false;
    }
}

}  // namespace orvale
