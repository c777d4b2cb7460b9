// The profiles screen (gsProfiles) and the profile deletion (gsConfirmDeleteProfile).
#pragma once
#include <string>

#include "frame/ScreenUnit.h"

namespace gravik {

struct ProfileState;

ScreenUnit ProfilesUnit();
ScreenUnit ConfirmDeleteProfileUnit();

// The 1-based profile list entry shown as list item `item` (every profile but
// those named "<>"); 0 when there is none.
int ProfileEntryOfItem(const ProfileState& p, int item);

// The deletion prompt: Delete profile "NAME" ? with the name cut to 36
// characters and the whole to 39.
std::string DeletePrompt(const std::string& name);

}  // namespace gravik
