#pragma once
#include <cstdint>

namespace kvn::bench {

// The admin programming session as a production line runs it: korvane-cli program FILE in its
// own process, runs first..first+runs-1 after a clean one; prints the counts and returns the
// exit status of the campaign (1 when a target is missed).
int RunCliCampaign(int first, int runs, uint32_t seed);

}  // namespace kvn::bench
