#pragma once
// The main window as the benchmarks use it: started with every working folder in one temporary
// folder, and shown.
#include "app/main_window.h"

inline void startShownIn(velmar::MainWindow& window, const QString& folder)
{
    velmar::StartupOptions options;
    options.programFolder = folder;
    options.startFolder = folder;
    window.startUp(options);
    window.show();
}
