#pragma once

#include "platform/DesktopNotifier.h"
#include "platform/DoNotDisturb.h"
#include "platform/GlobalShortcut.h"
#include "platform/PanelWindowSupport.h"
#include "platform/PointerMonitor.h"
#include "platform/ReduceMotion.h"
#include "platform/ScreenProvider.h"
#include "platform/StatusItem.h"

#include <functional>
#include <memory>

// The desktop services of one backend, owned together. Only src/app creates them and hands
// references on; they must outlive everything that uses them.
struct DesktopServices {
    std::unique_ptr<ScreenProvider> screens;
    std::unique_ptr<PointerMonitor> pointer;
    std::unique_ptr<PanelWindowSupport> panelWindow;
    std::unique_ptr<ReduceMotion> reduceMotion;
    std::unique_ptr<DesktopNotifier> notifier;
    // Asked once, when the launch sequence puts the item into the status area.
    std::function<std::unique_ptr<StatusItem>()> makeStatusItem;
    std::unique_ptr<GlobalShortcut> shortcut;
    std::unique_ptr<DoNotDisturb> doNotDisturb;
};

// The services of the backend set this build was made with (CMake picks it: X11 on Linux).
DesktopServices createDesktopServices();
