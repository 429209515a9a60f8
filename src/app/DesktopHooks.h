#pragma once

class DoNotDisturb;
class GlobalShortcut;
class NewsGate;
class NotchController;
class PreferenceStore;

// Ties two of the desktop's services to the program. The connections end with the overlay's
// controller and the gate; the services must outlive both.
namespace DesktopHooks {

// The global shortcut takes the combination "notch.globalShortcut" holds (again whenever it
// changes) and pins the overlay open when pressed.
void followShortcut(GlobalShortcut &shortcut, PreferenceStore &preferences, NotchController &notch);
// The desktop's Do Not Disturb goes to the news gate, which pauses news while the user lets it.
void followDoNotDisturb(DoNotDisturb &doNotDisturb, NewsGate &news);

} // namespace DesktopHooks
