# SPDX-License-Identifier: MIT
"""Sound effects and music, synthesised here and encoded with oggenc.

Music is rendered into a circular buffer whose length is a whole number of bars: a note that
rings past the end carries on at the start, so each track loops without a seam."""
import math
import os
import random
import subprocess
import tempfile
import wave

import numpy as np

RATE = 22050


def midi_hz(n):
    return 440.0 * 2 ** ((n - 69) / 12.0)


def envelope(n, attack, decay, sustain, release_at, release):
    """ADSR over n samples; the release starts at release_at seconds."""
    t = np.arange(n) / RATE
    env = np.where(t < attack, t / max(attack, 1e-4),
                   sustain + (1 - sustain) * np.exp(-(t - attack) / max(decay, 1e-4)))
    rel = np.clip(1 - (t - release_at) / max(release, 1e-4), 0, 1)
    return env * np.where(t > release_at, rel, 1.0)


def tone(freq, seconds, voice, gain=1.0):
    """One note of a named voice."""
    n = int(seconds * RATE)
    t = np.arange(n) / RATE
    ph = 2 * np.pi * freq * t
    if voice == "bell":
        sig = np.sin(ph + 1.1 * np.exp(-t * 6) * np.sin(ph * 3.5)) * np.exp(-t * 2.2)
        sig += 0.25 * np.sin(ph * 2) * np.exp(-t * 4)
        hold = seconds
    elif voice == "square":
        sig = sum(np.sin(ph * k) / k for k in (1, 3, 5, 7, 9)) * 0.8
        sig *= envelope(n, 0.005, 0.12, 0.55, seconds - 0.06, 0.05)
        hold = None
    elif voice == "pluck":
        sig = (np.sin(ph) + 0.35 * np.sin(ph * 4) * np.exp(-t * 18) + 0.2 * np.sin(ph * 2)) * np.exp(-t * 6.5)
        hold = seconds
    elif voice == "saw":
        sig = sum(np.sin(ph * k) / k for k in range(1, 9)) * 0.6
        sig *= envelope(n, 0.004, 0.08, 0.4, seconds - 0.03, 0.03)
        hold = None
    elif voice == "pad":
        sig = (np.sin(ph) + 0.5 * np.sin(ph * 1.004 + 1) + 0.3 * np.sin(ph * 2.003) + 0.15 * np.sin(ph * 3))
        sig *= envelope(n, 0.25, 1.0, 0.8, seconds - 0.35, 0.35) * 0.45
        hold = None
    elif voice == "organ":
        sig = np.sin(ph) + 0.6 * np.sin(ph * 2) + 0.4 * np.sin(ph * 3) + 0.2 * np.sin(ph * 4)
        sig *= envelope(n, 0.01, 0.2, 0.85, seconds - 0.04, 0.04) * 0.45
        hold = None
    elif voice == "bass":
        sig = np.sin(ph) + 0.3 * np.sin(ph * 2) + 0.1 * np.sin(ph * 3)
        sig *= envelope(n, 0.005, 0.25, 0.6, seconds - 0.04, 0.04)
        hold = None
    elif voice == "musicbox":
        sig = (np.sin(ph) + 0.4 * np.sin(ph * 4.2) * np.exp(-t * 10)) * np.exp(-t * 3.5)
        hold = seconds
    else:
        raise ValueError(voice)
    if hold is not None:   # ringing voices: a short fade at the end of their span
        fade = min(n, int(0.02 * RATE))
        if fade:
            sig[-fade:] *= np.linspace(1, 0, fade)
    return sig * gain


def drum(kind, rng):
    if kind == "kick":
        n = int(0.25 * RATE)
        t = np.arange(n) / RATE
        f = 45 + 90 * np.exp(-t * 30)
        return np.sin(2 * np.pi * np.cumsum(f) / RATE) * np.exp(-t * 14)
    if kind == "snare":
        n = int(0.18 * RATE)
        t = np.arange(n) / RATE
        noise = np.array([rng.uniform(-1, 1) for _ in range(n)])
        return (0.7 * noise * np.exp(-t * 22) + 0.4 * np.sin(2 * np.pi * 190 * t) * np.exp(-t * 30)) * 0.8
    if kind in ("hat", "shaker"):
        n = int((0.05 if kind == "hat" else 0.09) * RATE)
        t = np.arange(n) / RATE
        noise = np.array([rng.uniform(-1, 1) for _ in range(n)])
        noise = np.diff(noise, prepend=0.0)    # brighter
        return noise * np.exp(-t * (70 if kind == "hat" else 35)) * (0.14 if kind == "hat" else 0.09)
    raise ValueError(kind)


class Loop:
    """A circular buffer of a whole number of bars."""

    def __init__(self, bpm, beats_per_bar, min_seconds=42.0):
        self.beat = int(round(RATE * 60.0 / bpm))
        self.bar = self.beat * beats_per_bar
        bars = math.ceil(min_seconds * RATE / self.bar)
        self.bars = bars + (-bars) % 4
        self.buf = np.zeros(self.bars * self.bar)

    def add(self, start, sig):
        n = len(self.buf)
        start %= n
        end = start + len(sig)
        if end <= n:
            self.buf[start:end] += sig
        else:
            first = n - start
            self.buf[start:] += sig[:first]
            rest = sig[first:]
            while len(rest):
                take = min(len(rest), n)
                self.buf[:take] += rest[:take]
                rest = rest[take:]

    def at(self, bar, beat):
        return int(bar * self.bar + beat * self.beat)


# chords as semitone offsets from the key's root, with their quality
MAJ, MIN, DOM7, MIN7 = (0, 4, 7), (0, 3, 7), (0, 4, 7, 10), (0, 3, 7, 10)


def melody(rng, chord_root, chord, scale, prev, rhythm):
    """Notes for one bar: (beat, length, pitch offset); strong beats on chord tones, steps between."""
    notes = []
    for beat, length in rhythm:
        strong = abs(beat - round(beat)) < 1e-6
        candidates = [chord_root + c + o for c in chord for o in (0, 12)] if strong else \
            [s + o for s in scale for o in (0, 12)]
        candidates.sort(key=lambda p: (abs(p - prev), rng.random()))
        pick = candidates[min(len(candidates) - 1, int(rng.random() ** 2 * 3))]
        notes.append((beat, length, pick))
        prev = pick
    return notes, prev


TRACKS = {
    # name: bpm, beats, key (MIDI root), scale, progression, lead voice, style
    "titback": (96, 4, 60, [0, 2, 4, 5, 7, 9, 11], [(0, MAJ), (9, MIN), (5, MAJ), (7, MAJ)], "bell", "gentle"),
    "back0": (128, 4, 65, [0, 2, 4, 5, 7, 9, 11], [(0, MAJ), (7, MAJ), (9, MIN), (5, MAJ)], "square", "bouncy"),
    "back1": (84, 4, 62, [0, 2, 3, 5, 7, 9, 10], [(0, MIN7), (5, DOM7), (0, MIN7), (10, MAJ)], "pluck", "calm"),
    "back2": (150, 4, 57, [0, 2, 3, 5, 7, 8, 10], [(0, MIN), (8, MAJ), (3, MAJ), (10, MAJ)], "saw", "drive"),
    "back3": (112, 4, 55, [0, 2, 4, 5, 7, 9, 10], [(0, DOM7), (10, MAJ), (5, MAJ), (0, DOM7)], "organ", "shuffle"),
    "back4": (138, 3, 64, [0, 2, 4, 5, 7, 9, 11], [(0, MAJ), (5, MAJ), (7, DOM7), (0, MAJ)], "musicbox", "waltz"),
}

RHYTHMS = {
    4: [[(0, 1), (1, 1), (2, 1.5), (3.5, 0.5)], [(0, 0.5), (0.5, 0.5), (1, 1), (2, 2)],
        [(0, 1.5), (1.5, 0.5), (2, 1), (3, 1)], [(0, 2), (2, 0.5), (2.5, 0.5), (3, 1)]],
    3: [[(0, 1), (1, 1), (2, 1)], [(0, 2), (2, 1)], [(0, 1.5), (1.5, 0.5), (2, 1)]],
}


def render_track(name, seed):
    bpm, beats, key, scale, prog, lead, style = TRACKS[name]
    rng = random.Random(seed)
    loop = Loop(bpm, beats)
    sb = loop.beat / RATE
    swing = style == "shuffle"

    def when(bar, beat):
        if swing and abs(beat * 2 - round(beat * 2)) < 1e-6 and (beat * 2) % 2 == 1:
            beat += 1 / 6.0
        return loop.at(bar, beat)

    # four 4-bar phrases A A' B A over the progression, repeated to fill the loop
    phrases = {}
    prev = key + 12
    for label in "AB":
        bars, p = [], prev
        for b in range(4):
            root, chord = prog[b % len(prog)]
            rhythm = rng.choice(RHYTHMS[beats])
            notes, p = melody(rng, root + (5 if label == "B" and b % 2 else 0), chord, scale, p - key, rhythm)
            bars.append([(bt, ln, key + 12 + pitch) for bt, ln, pitch in notes])
            p += key
        phrases[label] = bars
    form = "AABA"
    for bar in range(loop.bars):
        root, chord = prog[bar % len(prog)]
        phrase = phrases[form[(bar // 4) % 4]]
        section_end = bar % 16 == 15
        for bt, ln, pitch in phrase[bar % 4]:
            if section_end and bt >= beats - 1:   # end each 16 bars on the root
                pitch = key + 12 + root
            gain = {"bell": 0.32, "square": 0.16, "pluck": 0.38, "saw": 0.13, "organ": 0.2, "musicbox": 0.34}[lead]
            loop.add(when(bar, bt), tone(midi_hz(pitch), ln * sb * (1.6 if lead in ("bell", "musicbox") else 0.95),
                                         lead, gain))
        bass_root = key - 24 + root
        if style == "gentle":
            loop.add(loop.at(bar, 0), tone(midi_hz(bass_root), beats * sb * 0.98, "bass", 0.3))
            for c in chord:
                loop.add(loop.at(bar, 0), tone(midi_hz(key + c + root), beats * sb * 1.05, "pad", 0.09))
            for b8 in range(beats * 2):
                loop.add(loop.at(bar, b8 / 2), drum("shaker", rng) * (1.0 if b8 % 2 else 0.6))
        elif style == "bouncy":
            for b8 in range(beats * 2):
                loop.add(loop.at(bar, b8 / 2), tone(midi_hz(bass_root + (12 if b8 % 2 else 0)), sb * 0.45, "bass", 0.3))
            for b in range(beats):
                loop.add(loop.at(bar, b), drum("kick" if b % 2 == 0 else "snare", rng) * 0.6)
                loop.add(loop.at(bar, b + 0.5), drum("hat", rng))
            for c in chord:
                loop.add(loop.at(bar, 0), tone(midi_hz(key + c + root), beats * sb, "pad", 0.06))
        elif style == "calm":
            loop.add(loop.at(bar, 0), tone(midi_hz(bass_root), 2 * sb * 0.95, "bass", 0.3))
            loop.add(loop.at(bar, 2.5), tone(midi_hz(bass_root + 7), 1.5 * sb * 0.9, "bass", 0.22))
            for c in chord:
                loop.add(loop.at(bar, 0), tone(midi_hz(key + c + root), beats * sb * 1.05, "pad", 0.08))
            for b in range(beats):
                loop.add(loop.at(bar, b + 0.5), drum("shaker", rng) * 0.7)
        elif style == "drive":
            arp = [key + root + c for c in chord] + [key + root + chord[1] + 12]
            for s16 in range(beats * 4):
                loop.add(loop.at(bar, s16 / 4), tone(midi_hz(arp[s16 % len(arp)]), sb * 0.22, "pluck", 0.16))
            for b8 in range(beats * 2):
                loop.add(loop.at(bar, b8 / 2), tone(midi_hz(bass_root), sb * 0.45, "bass", 0.3))
                loop.add(loop.at(bar, b8 / 2), drum("hat", rng))
            for b in range(beats):
                loop.add(loop.at(bar, b), drum("kick", rng) * 0.65)
                if b % 2:
                    loop.add(loop.at(bar, b), drum("snare", rng) * 0.6)
        elif style == "shuffle":
            walk = [0, 4, 7, 9] if 4 in chord else [0, 3, 7, 10]
            for b in range(beats):
                loop.add(when(bar, b), tone(midi_hz(bass_root + walk[b]), sb * 0.9, "bass", 0.32))
                loop.add(when(bar, b), drum("kick" if b == 0 else ("snare" if b % 2 else "hat"), rng) * 0.5)
                loop.add(when(bar, b + 0.5), drum("hat", rng) * 0.8)
            for b in (1, 3):
                for c in chord[:3]:
                    loop.add(when(bar, b + 0.5), tone(midi_hz(key + c + root), sb * 0.4, "organ", 0.09))
        elif style == "waltz":
            loop.add(loop.at(bar, 0), tone(midi_hz(bass_root), sb * 0.9, "bass", 0.34))
            for b in (1, 2):
                for c in chord[:3]:
                    loop.add(loop.at(bar, b), tone(midi_hz(key - 12 + c + root), sb * 0.6, "pluck", 0.1))
            for c in chord[:3]:
                loop.add(loop.at(bar, 0), tone(midi_hz(key + c + root), beats * sb, "pad", 0.06))
    buf = loop.buf
    return buf / max(1e-9, np.max(np.abs(buf))) * 0.85


# --- sound effects ----------------------------------------------------------------------------

def _t(seconds):
    return np.arange(int(seconds * RATE)) / RATE


def sweep(f0, f1, seconds, decay):
    t = _t(seconds)
    f = f0 * (f1 / f0) ** (t / seconds)
    return np.sin(2 * np.pi * np.cumsum(f) / RATE) * np.exp(-t * decay)


def notes(seq, voice, step, length, gain=1.0):
    total = int((step * (len(seq) - 1) + length) * RATE) + 1
    out = np.zeros(total)
    for i, n in enumerate(seq):
        s = tone(midi_hz(n), length, voice, gain)
        start = int(i * step * RATE)
        out[start:start + len(s)] += s
    return out


def effects():
    rng = random.Random(42)
    noise = np.array([rng.uniform(-1, 1) for _ in range(int(0.4 * RATE))])
    fx = []
    # 0 click
    t = _t(0.05)
    fx.append(np.sin(2 * np.pi * 1800 * t) * np.exp(-t * 120) * 0.8 + noise[:len(t)] * np.exp(-t * 300) * 0.3)
    # 1 a step down or pieces falling: a soft wooden tick
    t = _t(0.07)
    fx.append((np.sin(2 * np.pi * 520 * t) + 0.5 * np.sin(2 * np.pi * 1250 * t)) * np.exp(-t * 70) * 0.45)
    # 2 a pair lands: a thump
    t = _t(0.18)
    fx.append(sweep(180, 60, 0.18, 22) * 0.9 + noise[:len(t)] * np.exp(-t * 60) * 0.25)
    # 3 stage start: a rising arpeggio
    fx.append(notes([72, 76, 79, 84], "bell", 0.09, 0.5, 0.6))
    # 4 game over: a falling phrase
    fx.append(notes([67, 63, 60, 55], "square", 0.22, 0.4, 0.35))
    # 5 lines vanish: a sparkle
    sparkle = notes([84, 88, 91, 96, 100], "bell", 0.04, 0.3, 0.4)
    hiss = np.zeros(len(sparkle))
    hiss[:len(noise)] = noise[:len(sparkle)] * np.exp(-_t(len(noise) / RATE)[:len(sparkle)] * 25) * 0.08
    fx.append(sparkle + hiss)
    # 6 stage clear: a short fanfare
    fan = notes([67, 72, 76, 79], "square", 0.11, 0.2, 0.3)
    chord = sum(tone(midi_hz(n), 0.8, "bell", 0.35) for n in (72, 76, 79, 84))
    fx.append(np.concatenate([fan, chord]))
    # 7 rotate: a quick upward swish
    t = _t(0.09)
    fx.append(sweep(600, 1400, 0.09, 25) * 0.5)
    # frequent small sounds stay quiet, the events of a stage stand out
    peaks = [0.5, 0.32, 0.6, 0.75, 0.75, 0.6, 0.85, 0.4]
    out = []
    for sig, peak in zip(fx, peaks):
        fade = min(len(sig), int(0.005 * RATE))
        sig = sig.copy()
        sig[-fade:] *= np.linspace(1, 0, fade)
        out.append(sig / max(1e-9, np.max(np.abs(sig))) * peak)
    return out


def encode(samples, path, quality, serial):
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "in.wav")
        with wave.open(wav, "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(2)
            w.setframerate(RATE)
            w.writeframes((np.clip(samples, -1, 1) * 32767).round().astype("<i2").tobytes())
        subprocess.run(["oggenc", "--quiet", "-q", str(quality), "--serial", str(serial), "-o", path, wav],
                       check=True)


def write_sounds(sounds):
    for i, sig in enumerate(effects()):
        encode(sig, os.path.join(sounds, f"sound{i}.ogg"), 3, 1000 + i)
    for i, name in enumerate(TRACKS):
        encode(render_track(name, 7 + i), os.path.join(sounds, f"{name}.ogg"), 2, 2000 + i)
