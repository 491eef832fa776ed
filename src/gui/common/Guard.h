#pragma once

#include <type_traits>
#include <utility>

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

// A slot for QObject::connect that runs the action under the guard, so that no exception
// unwinds through Qt's signal code: connect(button, &QPushButton::clicked, this,
// Guarded([this] { save(); })). The signal's arguments are passed when the action takes them.
template <class Action> auto Guarded(Action action)
{
    return [action = std::move(action)](auto&&... args) {
        RunGuarded([&] {
            if constexpr (std::is_invocable_v<const Action&, decltype(args)...>)
                action(std::forward<decltype(args)>(args)...);
            else
                action();
        });
    };
}
