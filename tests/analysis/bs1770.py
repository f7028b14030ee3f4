"""An independent meter of integrated loudness (ITU-R BS.1770-4, EBU R128) for the tests.

    bs1770.py FILE.wav     prints the integrated loudness of a 16-bit PCM WAV file in LUFS

The K-weighting is applied in the frequency domain: the whole signal's spectrum (padded with two
seconds of silence, past which the filters' response has died away) times the response of the
two stages at each frequency, whose analogue prototypes are the standard's (the pre-filter's
shelf and the RLB high-pass, matched at the file's sampling rate). Mono counts its one channel
once; the blocks are 400 ms in steps of 100 ms, gated at -70 LUFS and then 10 LU below the
level of the blocks above that.
"""
import sys
import wave

import numpy as np


def biquad_response(b, a, w):
    z = np.exp(-1j * w)
    return (b[0] + b[1] * z + b[2] * z * z) / (a[0] + a[1] * z + a[2] * z * z)


def k_weighting(rate, n):
    w = 2 * np.pi * np.fft.rfftfreq(n, 1 / rate) / rate
    # The shelving pre-filter: +4 dB above about 1.7 kHz.
    f0, gain, q = 1681.974450955533, 3.999843853973347, 0.7071752369554196
    k = np.tan(np.pi * f0 / rate)
    vh = 10 ** (gain / 20)
    vb = vh ** 0.4996667741545416
    a0 = 1 + k / q + k * k
    shelf = biquad_response([(vh + vb * k / q + k * k) / a0, 2 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0],
                            [1, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0], w)
    # The RLB high-pass at about 38 Hz.
    f0, q = 38.13547087602444, 0.5003270373238773
    k = np.tan(np.pi * f0 / rate)
    d = 1 + k / q + k * k
    high = biquad_response([1, -2, 1], [1, 2 * (k * k - 1) / d, (1 - k / q + k * k) / d], w)
    return shelf * high


def loudness(samples, rate):
    frames, channels = samples.shape
    n = frames + 2 * rate
    response = k_weighting(rate, n)
    weighted = np.empty_like(samples)
    for c in range(channels):
        weighted[:, c] = np.fft.irfft(np.fft.rfft(samples[:, c], n) * response, n)[:frames]
    block, step = int(round(0.4 * rate)), int(round(0.1 * rate))
    squares = np.cumsum(np.vstack([np.zeros((1, channels)), weighted ** 2]), axis=0)
    starts = np.arange(0, frames - block + 1, step)
    means = (squares[starts + block] - squares[starts]) / block
    power = means.sum(axis=1)  # left, right and centre weigh 1
    levels = -0.691 + 10 * np.log10(np.maximum(power, 1e-30))
    gated = power[levels > -70]
    relative = -0.691 + 10 * np.log10(gated.mean()) - 10
    gated = power[(levels > -70) & (levels > relative)]
    return -0.691 + 10 * np.log10(gated.mean())


def main():
    with wave.open(sys.argv[1], 'rb') as w:
        rate, channels = w.getframerate(), w.getnchannels()
        data = np.frombuffer(w.readframes(w.getnframes()), dtype='<i2')
    samples = data.reshape(-1, channels).astype(np.float64) / 32768
    print(f'{loudness(samples, rate):.3f}')


if __name__ == '__main__':
    main()
