#pragma once

#include <string>

// What the core needs of the surface it runs under (the GUI, the CLI or a
// test). The core never shows anything or runs an event loop itself; whoever
// drives it hands an implementation in.
class PlatformHooks {
public:
    virtual ~PlatformHooks() = default;

    // Let queued window events run and return at once (called while a fetch
    // waits, so the window stays responsive).
    virtual void ProcessPendingEvents() {}

    // Open a folder in the desktop's file browser. Returns false on failure.
    virtual bool OpenFolder(const std::string &utf8Path) { (void)utf8Path; return false; }
};
