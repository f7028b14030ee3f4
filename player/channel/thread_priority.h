#pragma once
// Which of the player's threads go first when the machine is busy: the thread that mixes and
// hands the sound to the sound server, the client thread of the sound server's library and the
// decoding threads of the songs that play, before everything else the machine runs (a song
// starts on time only if its pipeline starts at once, and the mixer never waits for a decoding
// thread: the decoded sound is handed over without a lock); the threads that measure songs in
// the background, or decode for a render, after the player's others. Nice values are per
// thread on Linux. Going first needs the right to raise a priority (a user's nice limit, or
// root); without it those threads stay as they are.
#include <string>

namespace velorra {

// Nice values of the threads that keep the sound going and of those that work in the background.
inline constexpr int kSoundThreadNice = -10;
inline constexpr int kDecodingThreadNice = 10;

// Sets the calling thread's nice value; false when the system does not allow it.
bool setThreadNice(int nice);
// Sets the nice value of every thread of this process named `name`; false when one was refused.
bool setThreadsNice(const std::string& name, int nice);

}  // namespace velorra
