#pragma once

#include <functional>

class MainWindow;

// Test and benchmark seams into start-up; a normal run passes none.
struct StartupHooks
{
    // Called once the main window is shown, inside the event loop.
    std::function<void(MainWindow&)> mainWindowShown;
};

// The program's start-up and event loop; returns the process exit code (0 on every path).
int RunProgram(int argc, char** argv, const StartupHooks& hooks = {});
