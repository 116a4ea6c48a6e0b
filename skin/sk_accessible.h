#pragma once

// Accessibility of the skinned controls that draw their parts themselves: the form frame (a
// pane named by its window's title), the title bar (its buttons as push buttons: "Close",
// "Minimize", "Maximize", "Help", "Window menu") and the tab control (its tabs as page tabs,
// the current one selected), each part with a press action. The other controls are Qt's own
// kinds and answer as those do. Installed once, by the first such control; harmless to repeat.
void skInstallAccessibility();
