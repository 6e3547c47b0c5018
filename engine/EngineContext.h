// The worker's state for one run.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "common/MethodProfile.h"
#include "common/Settings.h"
#include "common/ShellItem.h"
#include "engine/Operation.h"

namespace ordvale {

struct EngineContext {
    int32_t method = 1;
    // A run no one watches: no question is asked, nothing waits for a user.
    bool unattended = false;
    OrdvaleSettings settings;
    ShellItem target;
    // What the listing of a folder target saw besides its children.
    FolderListing targetListing;
    // What planned operations refer to besides the target's children: each
    // destination folder once, and the empty destination of the kinds that
    // have none. Declared before the operations, which they outlive.
    std::vector<std::unique_ptr<ShellItem>> folders;
    ShellItem noDestination;
    std::vector<std::unique_ptr<Operation>> operations;
    MethodProfile typeProfile{ModelMethod::Type};
    MethodProfile timeProfile{ModelMethod::Time};
    MethodProfile sizeProfile{ModelMethod::Size};
    MethodProfile nameProfile{ModelMethod::Name};

    EngineContext() { InitSettings(&settings); }

    // The profile of a method value, or none outside 1 to 4.
    MethodProfile* ProfileOf(int32_t m) {
        switch (m) {
            case 1: return &typeProfile;
            case 2: return &timeProfile;
            case 3: return &sizeProfile;
            case 4: return &nameProfile;
            default: return nullptr;
        }
    }
};

}  // namespace ordvale
