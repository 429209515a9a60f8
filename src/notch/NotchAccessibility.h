#pragma once

class NotchView;

// The overlay on the accessibility bus. Collapsed it is one status-bar element named by the
// status text; expanded, the header and each row (named "<title>, <subtitle>", with the press
// action, spoken "Öffnen", where the row has a page or a pane) are its children. Each new status text is
// sent as a name change, which screen readers speak as live news. A menu whose parent is the
// overlay's window is listed under that window while it is open.
namespace NotchAccessibility {

// Registers the interface factory for NotchView and NotchPanel (once per process).
void install();
void announceStatus(NotchView &view);
// The children came or went: the overlay opened or closed, or its rows changed in number.
void childrenChanged(NotchView &view);

} // namespace NotchAccessibility
