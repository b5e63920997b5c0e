// The handlers of one window. The backend raises these events; each
// window's logic overrides the ones it handles.
#pragma once

#include "ui/controls.h"
#include "ui/tray_event.h"

namespace tessoral::ui {

class WindowLogic {
public:
    virtual ~WindowLogic() = default;

    // The controls are built; `controls` stays valid until OnDestroyed.
    virtual void OnCreated(Controls& controls) { controls_ = &controls; }
    // The user asked to close the main window, or Windows asks before a
    // log-off or shut-down. The other windows close without asking.
    virtual void OnCanClose() {}
    virtual void OnClicked(int /*control*/) {}
    virtual void OnTextChanged(int /*control*/) {}
    virtual void OnCurrentRowChanged(int /*control*/) {}
    virtual void OnItemPicked(int /*control*/) {}
    virtual void OnLinkPressed(int /*control*/) {}
    virtual void OnPositionChanged() {}
    // A mouse action on the notification-area icon (main window only).
    virtual void OnTrayEvent(TrayEvent /*event*/) {}
    // Probe results are waiting (main window only).
    virtual void OnProbeResults() {}
    virtual void OnDestroyed() { controls_ = nullptr; }

protected:
    Controls& controls() { return *controls_; }

private:
    Controls* controls_ = nullptr;
};

}  // namespace tessoral::ui
