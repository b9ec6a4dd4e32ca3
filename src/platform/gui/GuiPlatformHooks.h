#pragma once

#include "platform/PlatformHooks.h"

// The hooks as the desktop provides them: Qt's event loop and the desktop's
// file browser.
class GuiPlatformHooks : public PlatformHooks {
public:
    void ProcessPendingEvents() override;
    bool OpenFolder(const std::string &utf8Path) override;
};
