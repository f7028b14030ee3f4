#pragma once
// The measurements of silence kept by earlier versions, one a line in
// $XDG_CACHE_HOME/Velorra/silence.txt: lead-in and tail in seconds, size, modification time in
// nanoseconds and the path, separated by tabs (the path last, so that it may hold tabs itself).
// Read once into the analysis store.
#include "player/analysis/stored_song.h"

#include <atomic>
#include <string>
#include <vector>

namespace velorra {

// The songs of the file that still hold: lines that parse, with plausible figures, of files that
// are still as they were measured, whose lead-in and tail fit within the length their headers
// tell. Only a regular file is read, without waiting, and only its first 256 MiB; `stop`
// cuts the reading short.
std::vector<StoredSong> readSilenceText(const std::string& file, const std::atomic<bool>& stop);

}  // namespace velorra
