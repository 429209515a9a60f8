#pragma once

// What screen readers see of the settings window's own painted controls: switches as check
// boxes, the duration slider with its spoken value, the picker as a named group of radio buttons,
// a module's lines that open a page as links, the preview as one image and the pane header as a
// heading (the sidebar is a QListView, which Qt exposes itself). Installed once, before the first
// settings widget exists.
namespace SettingsAccessibility {

void install();

} // namespace SettingsAccessibility
