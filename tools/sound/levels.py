"""What tools/sound/measure hears: the songs it plays and the levels it reads from a recording.

    levels.py tones DIR          writes DIR/t1k.wav, DIR/t10k.wav (12 s tones at half scale) and
                                 DIR/list.m3u (1 kHz, 10 kHz, 1 kHz, 10 kHz)
    levels.py crossfade RAW      the cross dissolves in a recording, the holes in its sound and
                                 the largest 5 ms change inside any fade
    levels.py halts RAW          the halts and starts in a recording
    levels.py loudsongs DIR      writes DIR/loud.wav and DIR/quiet.wav (16 s tone chords at -10
                                 and -26 LUFS) and DIR/list.m3u (loud, quiet)
    levels.py loudness RAW       the loudness (BS.1770) of each song heard alone in a recording
    levels.py compare RAW WAV    a recording of live play against the render of the same list
                                 (a 32-bit float WAV): where each song starts after the song
                                 before it (within 150 ms) and the rms distance of each song's
                                 level envelope from its start (within 1 dB)

A recording is 48 kHz stereo float. A tone's level is read from 5 ms frames through a Hann
window, in dB against half scale, so that one song's tone does not leak into the other's.
"""
import os
import sys
import wave

import numpy as np

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tests', 'analysis'))
import bs1770  # noqa: E402

RATE = 48000
FRAME = 240  # 5 ms
STEP_MS = 4000 / 85  # the tick of a 4 s transition at volume 85
TONES = (1000, 10000)


def tones(folder):
    t = np.arange(12 * RATE) / RATE
    for f in TONES:
        x = (0.5 * np.sin(2 * np.pi * f * t) * 32767).astype('<i2')
        with wave.open(f'{folder}/t{f // 1000}k.wav', 'wb') as w:
            w.setnchannels(2)
            w.setsampwidth(2)
            w.setframerate(RATE)
            w.writeframes(np.repeat(x[:, None], 2, axis=1).tobytes())
    with open(f'{folder}/list.m3u', 'w') as m3u:
        for i in range(4):
            m3u.write(f'{folder}/t{TONES[i % 2] // 1000}k.wav\n')


# Two songs 16 LU apart, each a chord of its own tones, so that a recording tells them apart.
SONGS = {'loud': ((1000, 2500), -10.0), 'quiet': ((5000, 8000), -26.0)}
SONG_SECONDS = 16


def loudsongs(folder):
    t = np.arange(SONG_SECONDS * RATE) / RATE
    for name, (freqs, lufs) in SONGS.items():
        x = sum(np.sin(2 * np.pi * f * t) for f in freqs)
        stereo = np.repeat(x[:, None], 2, axis=1)
        stereo *= 10 ** ((lufs - bs1770.loudness(stereo, RATE)) / 20)
        with wave.open(f'{folder}/{name}.wav', 'wb') as w:
            w.setnchannels(2)
            w.setsampwidth(2)
            w.setframerate(RATE)
            w.writeframes(np.round(stereo * 32767).astype('<i2').tobytes())
        peak = 20 * np.log10(np.abs(stereo).max())
        print(f'{name}.wav: {bs1770.loudness(stereo, RATE):.2f} LUFS, peak {peak:.1f} dBFS')
    with open(f'{folder}/list.m3u', 'w') as m3u:
        m3u.write(f'{folder}/loud.wav\n{folder}/quiet.wav\n')


def loudness(raw):
    """Each song's loudness where it is heard alone and steady: the 5 ms frames in which its tone
    stands within 1 dB of its usual level and the other song's is not heard, which leaves out the
    transitions, the first song's rise and any hole in the sound. The frames are joined and measured
    as one stretch."""
    tone = {name: level(raw[:, 0], freqs[0]) for name, (freqs, _) in SONGS.items()}
    found = {}
    for name, other in (('loud', 'quiet'), ('quiet', 'loud')):
        alone = (tone[name] > -60) & (tone[other] < -60)
        if not alone.any():
            print(f'{name}: never heard alone')
            continue
        usual = np.median(tone[name][alone])
        steady = alone & (np.abs(tone[name] - usual) < 1)
        frames = np.nonzero(steady)[0]
        samples = raw[:len(tone[name]) * FRAME].reshape(-1, FRAME, 2)[frames].reshape(-1, 2)
        found[name] = bs1770.loudness(samples, RATE)
        print(f'{name}: {len(frames) * FRAME / RATE:.2f} s heard alone and steady, from {frames[0] * FRAME / RATE:.2f} s '
              f'to {frames[-1] * FRAME / RATE:.2f} s, at {found[name]:.2f} LUFS')
    if len(found) == 2:
        print(f'difference between the two songs: {abs(found["loud"] - found["quiet"]):.2f} LU; '
              f'holes in the sound: {len(holes(raw))}')


def level(raw, f):
    x = raw[:len(raw) // FRAME * FRAME].reshape(-1, FRAME)
    t = np.arange(FRAME) / RATE
    w = np.hanning(FRAME)
    c, s = x @ (w * np.cos(2 * np.pi * f * t)), x @ (w * np.sin(2 * np.pi * f * t))
    return 20 * np.log10(np.maximum(2 * np.hypot(c, s) / w.sum(), 1e-12) / 0.5)


def onsets(x):
    found, i = [], 1
    while i < len(x) - 20:
        if x[i] > -76 >= x[i - 1] and np.all(x[i:i + 20] > -76):
            found.append(i)
            i += 400
        else:
            i += 1
    return found


def fit(x, start, rising):
    """The fader curve's best lag from `start`, its rms distance, the largest 5 ms change inside
    the fade and where the song's sound ends in it."""
    seg = x[start:start + int(4.6 * 200)]
    t = np.arange(len(seg)) * 5 + 2.5

    def curve(lag):
        s = np.clip((t - lag) / STEP_MS, 0, 85)
        f = 85 - s if rising else s
        return -f * f / 100

    def rms(lag):
        e = curve(lag)
        m = (t >= lag) & (e > -72) & (seg > -90)
        return np.sqrt(np.mean((seg - e)[m] ** 2)) if m.any() else np.inf

    lag = min(range(400), key=rms)
    e = curve(lag)
    inside = (t >= lag) & (e > -72) & (seg > -90)
    last = np.nonzero(inside)[0].max()
    # A song that ends inside the fade ends part way through a frame: the changes counted stop
    # two frames before its last one, and where it ends is told apart.
    inside[last - 1:] = False
    both = inside[1:] & inside[:-1]
    largest = (np.abs(np.diff(seg)) * both).max()
    return rms(lag), lag, largest, seg[last], e[last]


def holes(raw):
    """Runs of up to 200 ms (40 frames) of sound more than 40 dB below the sound on both sides:
    the sound server was not fed, or a song's sound was lost for a moment."""
    x = raw[:len(raw) // FRAME * FRAME, 0].reshape(-1, FRAME)
    db = 10 * np.log10(np.maximum((x * x).mean(1), 1e-30))
    found, i = [], 1
    while i < len(db):
        before = db[i - 1]
        if db[i] < before - 40:
            j = i
            while j < len(db) and j - i <= 40 and db[j] < before - 40:
                j += 1
            if j < len(db) and j - i <= 40 and db[i:j].max() < db[j] - 40:
                found.append((i, j - i))
            i = j
        else:
            i += 1
    return found


def crossfade(raw):
    levels = {f: level(raw[:, 0], f) for f in TONES}
    songs = sorted((o, f) for f in TONES for o in onsets(levels[f]))
    steepest = 0.0
    for i, (o, f) in enumerate(songs[:-1]):
        r, lag, largest, _, _ = fit(levels[f], o, True)
        steepest = max(steepest, largest)
        nxt = songs[i + 1][0]
        print(f'song {i + 1} ({f} Hz) heard at {o * 5 / 1000:.3f} s, rising: rms {r:.2f} dB from the curve, '
              f'lag {lag} ms, largest 5 ms change {largest:.3f} dB; next song heard {(nxt - o) * 5 / 1000:.3f} s '
              f'after its first sound, {(nxt * 5 - o * 5 - lag) / 1000:.3f} s after its fitted fade began')
        if i + 1 < len(songs) - 1:
            r, lag, largest, end, at = fit(levels[f], nxt, False)
            steepest = max(steepest, largest)
            print(f'    falling: rms {r:.2f} dB, lag {lag} ms, largest 5 ms change {largest:.3f} dB; '
                  f'its sound ends at {end:.1f} dB where the curve is at {at:.1f} dB')
    found = holes(raw)
    print(f'first song heard {songs[0][0] * 5 / 1000:.3f} s into the recording; '
          f'holes: {len(found)}' + ''.join(f' (at {at * 5 / 1000:.3f} s, {n * 5} ms)' for at, n in found) +
          f'; largest 5 ms change inside any fade {steepest:.3f} dB')


def halts(raw):
    x = raw[:, 0]
    peaks = np.abs(x[:len(x) // 48 * 48]).reshape(-1, 48).max(1)  # per millisecond
    # Energy away from both tones, in 2 ms frames: a cut or a jump of the sound spreads there.
    w = np.hanning(96)
    frames = np.lib.stride_tricks.sliding_window_view(x, 96)[::48] * w
    power = np.abs(np.fft.rfft(frames, axis=1)) ** 2
    hz = np.fft.rfftfreq(96, 1 / RATE)
    band = ((hz > 3000) & (hz < 7000)) | ((hz > 13000) & (hz < 20000))
    clicks = 10 * np.log10(power[:, band].sum(1) + 1e-20)
    t = np.arange(RATE) / RATE
    tone = 0.5 * np.sin(2 * np.pi * 1000 * t)
    print('click band: a steady tone reads %.0f dB, a hard cut of it %.0f dB' % (
        clicks_of(tone, w, band), clicks_of(np.where(t < 0.5, tone, 0.0), w, band)))
    loud = peaks > 0.01
    for i in np.nonzero(loud[1:] != loud[:-1])[0] + 1:
        kind = 'start' if loud[i] else 'halt'
        ms = np.count_nonzero((peaks[i - 15:i + 15] > 0.01) & (peaks[i - 15:i + 15] < 0.45))
        print(f'{kind} at {i} ms: {ms} ms between silence and full level; '
              f'click band peaks at {clicks[max(0, i - 30):i + 30].max():.0f} dB')
    print(f'click band over the whole recording, "Cut" included: at most {clicks.max():.0f} dB')


def float_wav(path):
    """The frames of a 48 kHz stereo 32-bit float WAV file."""
    data = open(path, 'rb').read()
    at = 12
    while at + 8 <= len(data):
        size = int.from_bytes(data[at + 4:at + 8], 'little')
        if data[at:at + 4] == b'fmt ':
            channels = int.from_bytes(data[at + 10:at + 12], 'little')
            rate = int.from_bytes(data[at + 12:at + 16], 'little')
            bits = int.from_bytes(data[at + 22:at + 24], 'little')
            assert (channels, rate, bits) == (2, RATE, 32), (channels, rate, bits)
        if data[at:at + 4] == b'data':
            return np.frombuffer(data[at + 8:at + 8 + size], dtype='<f4').reshape(-1, 2).astype(float)
        at += 8 + size + (size & 1)
    raise ValueError(f'{path}: no data chunk')


def compare(raw, rendered):
    """Live play reads the position the listener hears, behind the output's latency, at a tick of
    its own clock; the render reads its positions as far behind the mix as a device is, so each
    song change comes at the same tick in both, give or take a tick a busy machine lets slip. Each
    song is laid beside its rendered twin phase by phase: where it starts after the song before
    it and counted from the first song, its rise and play from its own start, and its fall from
    the start of the song after it."""
    live = {f: level(raw[:, 0], f) for f in TONES}
    made = {f: level(rendered[:, 0], f) for f in TONES}
    heard = sorted((o, f) for f in TONES for o in onsets(live[f]))
    written = sorted((o, f) for f in TONES for o in onsets(made[f]))
    worst_start, worst_rms = 0.0, 0.0
    def until(starts, i, end):
        return starts[i][0] if i < len(starts) else end

    # Live play starts the list again as the last song ends, fading it out; the render plays it
    # to its end: the last song is laid beside its twin up to where the list starts again.
    heard_end = heard[len(written)][0] if len(heard) > len(written) else len(raw) // FRAME
    written_end = len(rendered) // FRAME
    for i, ((h, f), (w, g)) in enumerate(zip(heard, written)):
        if f != g:
            print(f'song {i + 1}: heard as {f} Hz, rendered as {g} Hz')
            worst_start = np.inf
            continue
        # Its rise and play from its own start, and its fall from the next song's start.
        # A start read at a threshold is off by a frame or a few; each phase is laid at the lag
        # that fits it best within the bound on the starts (150 ms, 30 frames).
        gaps, lags, lost = [], [], False
        for k in (i, i + 1):
            if k >= len(written) or k >= len(heard):
                continue
            best = None
            for lag in range(-30, 31):
                hs, ws = heard[k][0] + lag, written[k][0]
                n = min(until(heard, k + 1, heard_end) - hs, until(written, k + 1, written_end) - ws)
                a, b = live[f][hs:hs + n], made[f][ws:ws + n]
                both = (a > -60) & (b > -60)
                d = (a - b)[both]
                if len(d) and (best is None or np.mean(d ** 2) < np.mean(best[1] ** 2)):
                    best = (lag, d)
            if best is None:
                lost = True
                break
            lags.append(best[0] * 5)
            gaps.append(best[1])
        if lost:
            # A hole or a lost song moved a start so far that no stretch lies beside its twin.
            print(f'song {i + 1} ({f} Hz): heard nowhere beside its render')
            worst_start = np.inf
            continue
        gaps = np.concatenate(gaps)
        rms = np.sqrt(np.mean(gaps ** 2))
        worst_rms = max(worst_rms, rms)
        line = (f'song {i + 1} ({f} Hz): envelope {rms:.2f} dB rms from the render over {len(gaps) * 5 / 1000:.1f} s '
                f'(rise laid {lags[0]:+d} ms' + (f', fall {lags[1]:+d} ms)' if len(lags) > 1 else ')'))
        if i > 0:
            gap = ((h - heard[i - 1][0]) - (w - written[i - 1][0])) * 5
            worst_start = max(worst_start, abs(gap))
            line += (f'; starts {(h - heard[i - 1][0]) * 5 / 1000:.3f} s after the song before when heard, '
                     f'{(w - written[i - 1][0]) * 5 / 1000:.3f} s in the render ({gap:+d} ms); '
                     f'{(h - heard[0][0] - w + written[0][0]) * 5:+d} ms from the render counted from the first song')
        print(line)
    print(f'songs: {len(heard)} heard, {len(written)} rendered; largest start difference {worst_start:.0f} ms '
          f'(bound 150 ms); largest envelope distance {worst_rms:.2f} dB rms (bound 1 dB): '
          f'{"within" if len(heard) >= len(written) and worst_start <= 150 and worst_rms <= 1 else "OUTSIDE"} the bounds')


def clicks_of(x, w, band):
    frames = np.lib.stride_tricks.sliding_window_view(x, 96)[::48] * w
    return 10 * np.log10((np.abs(np.fft.rfft(frames, axis=1)) ** 2)[:, band].sum(1).max() + 1e-20)


if __name__ == '__main__':
    if sys.argv[1] == 'tones':
        tones(sys.argv[2])
    elif sys.argv[1] == 'loudsongs':
        loudsongs(sys.argv[2])
    elif sys.argv[1] == 'compare':
        compare(np.fromfile(sys.argv[2], dtype='<f4').reshape(-1, 2).astype(float), float_wav(sys.argv[3]))
    else:
        heard = np.fromfile(sys.argv[2], dtype='<f4').reshape(-1, 2).astype(float)
        {'crossfade': crossfade, 'halts': halts, 'loudness': loudness}[sys.argv[1]](heard)
