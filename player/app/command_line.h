#pragma once
// The command lines that need no window: `--help`, `--version` and `--export-mix LIST OUT`, the
// last rendering the play list to one file with the saved transition settings, without a
// display or a sound server. Any other command line is the player's (a file to play).
#include <optional>

namespace velorra {

// The exit status when the command line was one of those (0 done, 1 failed with a one-line
// message on standard error, 2 a usage error); none when the player is to start.
std::optional<int> runCommandLineTool(int argc, char** argv);

}  // namespace velorra
