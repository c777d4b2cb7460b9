// The busy space level the benchmarks play: rocks above open ground, six eggs,
// plants, spirits and meteors.
#pragma once
#include <vector>

#include "../tests/frame/PlayScenario.h"

namespace gravik::bench {

using playtest::Level;
using playtest::LevelText;

inline const std::vector<LevelText> kBusy = {Level(1,
                                            {"################################",
                                             "#P#ooooooooooooooooooooooooooooo",
                                             "#=#ooooooooooooooooooooooooooooo",
                                             "#=#.............................",
                                             "#=#..e....e....e....e....e....e.",
                                             "#=#.............................",
                                             "#=#..p......p......p......p.....",
                                             "#=#.............................",
                                             "#=#.........p..........p........",
                                             "#=#.............................",
                                             "#=#.............................",
                                             "#=#..o..o..o..o..o..o..o..o..o..",
                                             "#=#.............................",
                                             "#=#.............................",
                                             "#=#.............................",
                                             "#=#*............................",
                                             "################################"},
                                            {}, /*space=*/true)};

}  // namespace gravik::bench
