#pragma once

#include "platform/PanelWindowSupport.h"
#include "platform/PointerMonitor.h"
#include "platform/ReduceMotion.h"
#include "platform/ScreenProvider.h"

#include <memory>

// The desktop services of one backend, owned together. Only src/app creates them (through the
// backend's factory) and hands references on; they must outlive everything that uses them.
struct DesktopServices {
    std::unique_ptr<ScreenProvider> screens;
    std::unique_ptr<PointerMonitor> pointer;
    std::unique_ptr<PanelWindowSupport> panelWindow;
    std::unique_ptr<ReduceMotion> reduceMotion;
};
