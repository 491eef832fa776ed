#pragma once

// Reports the exception being handled the way the event loop does: a silent abort ends
// the action without a word, anything else goes to the default error box. Call it from a
// catch block only.
void ReportCurrentException();

// Runs an action under the event loop's guard (for code that runs outside an event, such
// as start-up). Returns false when the action threw.
template <class Action> bool RunGuarded(Action&& action)
{
    try {
        action();
        return true;
    } catch (...) {
        ReportCurrentException();
        return false;
    }
}
