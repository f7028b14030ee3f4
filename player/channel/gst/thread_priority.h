#pragma once
// Which of the player's threads go first when the machine is busy: the thread that mixes and
// hands the sound to the sound server, and the client thread of the sound server's library,
// before everything else the machine runs; the decoding threads, which work seconds ahead, after
// the player's others. Nice values are per thread on Linux. Going first needs the right to raise
// a priority (a user's nice limit, or root); without it those threads stay as they are.
#include <string>

namespace velorra {

// Nice values of the threads that keep the sound going and of the decoding threads.
inline constexpr int kSoundThreadNice = -10;
inline constexpr int kDecodingThreadNice = 10;

// Sets the calling thread's nice value; false when the system does not allow it.
bool setThreadNice(int nice);
// Sets the nice value of every thread of this process named `name`; false when one was refused.
bool setThreadsNice(const std::string& name, int nice);

}  // namespace velorra
