#pragma once
#include <cstdint>

namespace kvn::bench {

// The admin programming session as a production line runs it: korvane-cli program FILE in its
// own process, runs first..first+runs-1 after a clean one; prints the counts and returns the
// exit status of the campaign (1 when a target is missed).
int RunCliCampaign(int first, int runs, uint32_t seed);
// The same session stopped at a random moment of each run: SIGINT, SIGTERM, SIGHUP, a stdout
// whose reader has gone, or SIGKILL followed by korvane-cli abort.
int RunCliSignalCampaign(int first, int runs, uint32_t seed);

}  // namespace kvn::bench
