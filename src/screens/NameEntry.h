// The name entry (gsNewProfile) and the logo walk that follows a new profile
// (gsIntroLogo).
#pragma once
#include <cstdint>
#include <string>

#include "frame/ScreenUnit.h"

namespace gravik {

struct ProfileState;

ScreenUnit NewProfileUnit();
ScreenUnit IntroLogoUnit();

// A name that trims to nothing, or that some profile already has (trimmed,
// letter case ignored), cannot make a profile.
bool NameInUse(const ProfileState& p, const std::string& name);
bool NameAcceptable(const ProfileState& p, const std::string& name);

// The standing figure's pattern `ms` after it stopped: standing, then every
// four seconds a look round.
int IdlePattern(uint32_t ms);

}  // namespace gravik
