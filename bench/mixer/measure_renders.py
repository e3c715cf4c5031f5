#!/usr/bin/env python3
"""Measures the renders of `bench_mixer --write DIR`: THD+N of the 1 kHz sines (FFT, Blackman-Harris
window, everything but the fundamental's bins counts as distortion and noise, 20 Hz..Nyquist),
the gains of the volume/pan render, the worst image of the resampled sweep and the largest step of
the looped sine whose frequency changes, and the largest step of a loud sine stopped while playing."""
import sys
import wave

import numpy as np


def read(path):
    with wave.open(path) as w:
        x = np.frombuffer(w.readframes(w.getnframes()), dtype="<i2").astype(np.float64)
        return x.reshape(-1, w.getnchannels()), w.getframerate()


def thd_n_db(x, rate, f0):
    n = len(x)
    win = np.blackman(n)
    power = np.abs(np.fft.rfft(x * win)) ** 2
    freqs = np.fft.rfftfreq(n, 1 / rate)
    k0 = int(round(f0 * n / rate))
    fund = power[k0 - 6:k0 + 7].sum()
    band = (freqs >= 20)
    rest = power[band].sum() - fund - power[np.abs(freqs) < 20].sum() * 0
    return 10 * np.log10(rest / fund)


def main(folder):
    x, rate = read(f"{folder}/sine1k_22050_to_48000.wav")
    mid = x[rate // 4: rate // 4 + 2 * rate, 0]
    print(f"sine 1 kHz 22050 -> 48000: THD+N {thd_n_db(mid, rate, 1000):.1f} dB")
    y, rate8 = read(f"{folder}/sine1k_mix_22050_mono_8bit.wav")
    print(f"sine 1 kHz mixed at 22050 mono 8-bit: THD+N {thd_n_db(y[rate8 // 4: rate8 // 4 + 2 * rate8, 0], rate8, 1000):.1f} dB")
    v, _ = read(f"{folder}/sine1k_vol-600_pan+1200.wav")
    ref = np.sqrt(np.mean(mid ** 2))
    seg = v[rate // 4: rate // 4 + 2 * rate]
    left, right = np.sqrt(np.mean(seg[:, 0] ** 2)) / ref, np.sqrt(np.mean(seg[:, 1] ** 2)) / ref
    print(f"volume -600, pan +1200: left gain {left:.5f} (expected {10 ** (-1800 / 2000):.5f}), "
          f"right gain {right:.5f} (expected {10 ** (-600 / 2000):.5f})")
    s, _ = read(f"{folder}/sweep_22050_to_48000.wav")
    s = s[:, 0]
    # Short FFT frames: the strongest component other than the sweep's own frequency, per frame.
    worst = -200.0
    frame = 4096
    images_below = {top: -200.0 for top in (2000, 4000, 6000, 8000)}
    for start in range(0, len(s) - frame, frame):
        seg = s[start:start + frame] * np.blackman(frame)
        power = np.abs(np.fft.rfft(seg)) ** 2
        k = int(np.argmax(power))
        # the sweep's own band (with its spread over one frame) is left out
        mask = np.ones_like(power, dtype=bool)
        mask[max(0, k - 40):k + 41] = False
        level = 10 * np.log10(power[mask].max() / power[k])
        worst = max(worst, level)
        tone = k * rate / frame
        for top in images_below:
            if tone < top:
                images_below[top] = max(images_below[top], level)
    print(f"sweep 100 Hz..10 kHz at 22050 -> 48000: strongest image {worst:.1f} dB below the tone")
    for top in (2000, 4000, 6000, 8000):
        print(f"  ... while the tone is below {top} Hz: {images_below[top]:.1f} dB")
    l, _ = read(f"{folder}/loop441_frequency_steps.wav")
    d = np.abs(np.diff(l[:, 0]))
    print(f"looped 441 Hz with frequency steps: largest sample step {d.max():.0f} "
          f"(the steepest, 882 Hz at amplitude 12000, steps up to {12000 * 2 * np.pi * 882 / 48000:.0f})")
    st, _ = read(f"{folder}/stop_loud_sine.wav")
    st = st[:, 0]
    steps = np.abs(np.diff(st))
    sine_step = 0.8 * 32767 * 2 * np.sin(np.pi * 1000 / 48000)
    print(f"loud sine stopped at full level: largest sample step {steps.max():.0f} = "
          f"{steps.max() / 32768:.3f} of full scale (the sine's own steepest step {sine_step:.0f})")


if __name__ == "__main__":
    main(sys.argv[1])
