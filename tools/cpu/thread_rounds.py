#!/usr/bin/python3
"""Where the playback benchmark's processor time goes, thread by thread.

    tools/cpu/thread_rounds.py ROUNDS FIRST.mp3 SECOND.mp3 BENCH [BENCH ...]

Runs ROUNDS rounds of each BENCH binary (a build's bin/playback_cpu_bench), taking turns so that a
machine that runs faster or slower from one minute to the next moves them all alike, each round
playing FIRST and then changing to SECOND as the benchmark does. For each binary it prints the
mean processor time of the player over the play stretch and over the transition stretch (ms of
processor time per second, all threads, from /proc/PID/task/*/schedstat), their ratio, the time
of the first second after Next and of the rest, and the mean of each thread (by name) over each
stretch. Run it with QT_QPA_PLATFORM=offscreen.
"""
import collections
import glob
import statistics
import subprocess
import sys
import time


def snap(pid):
    threads = {}
    for task in glob.glob(f"/proc/{pid}/task/*"):
        try:
            name = open(task + "/comm").read().strip()
            ns = int(open(task + "/schedstat").read().split()[0])
        except (OSError, ValueError, IndexError):
            continue  # a thread that ended meanwhile
        threads[(task.rsplit("/", 1)[1], name)] = ns
    return threads


def per_second(before, after, seconds):
    by_name = collections.Counter()
    for key, ns in after.items():
        by_name[key[1]] += (ns - before.get(key, 0)) / 1e6 / seconds
    return by_name


def one_round(bench, first, second):
    child = subprocess.Popen([bench, "--round", first, second], stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, text=True)
    marks = {}
    for line in child.stdout:
        line = line.strip()
        marks[line] = (time.time(), snap(child.pid))
        if line == "transition":
            time.sleep(1.0)
            marks["first second"] = (time.time(), snap(child.pid))
        if line == "end":
            break
    child.kill()
    child.wait()
    if "end" not in marks:
        sys.exit(f"{bench}: the round ended early")
    return marks


def main():
    rounds, first, second, benches = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4:]
    seen = {b: collections.defaultdict(list) for b in benches}
    threads = {b: {"play": collections.Counter(), "transition": collections.Counter()} for b in benches}
    for _ in range(rounds):
        for bench in benches:
            m = one_round(bench, first, second)
            (t0, s0), (t1, s1), (t2, s2), (tf, sf) = m["play"], m["transition"], m["end"], m["first second"]
            play, transition = per_second(s0, s1, t1 - t0), per_second(s1, s2, t2 - t1)
            seen[bench]["play"].append(sum(play.values()))
            seen[bench]["transition"].append(sum(transition.values()))
            seen[bench]["first second"].append(sum(per_second(s1, sf, 1.0).values()))
            seen[bench]["rest"].append(sum(per_second(sf, s2, t2 - tf).values()))
            threads[bench]["play"].update(play)
            threads[bench]["transition"].update(transition)
    for bench in benches:
        mean = {k: statistics.mean(v) for k, v in seen[bench].items()}
        print(f"{bench}: play {mean['play']:.2f} ms/s, transition {mean['transition']:.2f} ms/s, "
              f"ratio {mean['transition'] / mean['play']:.2f}; first second after Next "
              f"{mean['first second']:.1f} ms, then {mean['rest']:.2f} ms/s")
        for stretch, by_name in threads[bench].items():
            shown = sorted(((v / rounds, n) for n, v in by_name.items() if v / rounds > 0.1), reverse=True)
            print(f"    {stretch}: " + ", ".join(f"{n} {v:.2f}" for v, n in shown))


if __name__ == "__main__":
    main()
