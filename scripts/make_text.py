#!/usr/bin/env python3
"""Writes a deterministic, Zipf-distributed English-like text of about --bytes bytes to stdout.

The vocabulary is a list of common English words followed by made-up words built from
syllables (a few with accented letters or in Greek, so that the text exercises UTF-8). Word
ranks follow a Zipf law with exponent --zipf; sentences start with a capital letter and end with
a full stop, with commas in between. The same arguments always give the same text.

    scripts/make_text.py --bytes 300000 > data/sample.txt
    scripts/make_text.py --bytes 100000000 --vocabulary 2000000 > /tmp/big.txt
"""
import argparse
import itertools
import random
import sys

COMMON = """the of and to a in is it that was he for on are with as his they be at one have this
from or had by not word but what some we can out other were all there when up use your how said
an each she which do their time if will way about many then them write would like so these her
long make thing see him two has look more day could go come did number sound no most people my
over know water than call first who may down side been now find any new work part take get place
made live where after back little only round man year came show every good me give our under
name very through just form great think say help low line differ turn cause much mean before
move right boy old too same tell does set three want air well also play small end put home read
hand port large spell add even land here must big high such follow act why ask men change went
light kind off need house picture try us again animal point mother world near build self earth
father""".split()
ONSETS = ["", "b", "br", "c", "d", "f", "g", "h", "k", "l", "m", "n", "p", "r", "s", "st", "t",
          "tr", "v", "w", "z", "ch", "sh", "th"]
VOWELS = ["a", "e", "i", "o", "u", "ai", "ea", "ou", "é", "ö"]
CODAS = ["", "", "n", "r", "s", "l", "m", "t", "nd", "st"]
GREEK = "αβγδεζηθικλμνξοπρστυφχψω"


def made_up_words(rng):
    seen = set(COMMON)
    while True:
        if rng.random() < 0.01:
            word = "".join(rng.choice(GREEK) for _ in range(rng.randint(3, 8)))
        else:
            word = "".join(rng.choice(ONSETS) + rng.choice(VOWELS) + rng.choice(CODAS)
                           for _ in range(rng.randint(1, 4)))
        if word not in seen:
            seen.add(word)
            yield word


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bytes", type=int, default=300_000)
    parser.add_argument("--vocabulary", type=int, default=20_000)
    parser.add_argument("--zipf", type=float, default=1.05)
    parser.add_argument("--seed", type=int, default=14)
    args = parser.parse_args()

    rng = random.Random(args.seed)
    vocabulary = COMMON + list(itertools.islice(made_up_words(rng),
                                                max(0, args.vocabulary - len(COMMON))))
    cumulative = list(itertools.accumulate(1.0 / (rank ** args.zipf)
                                           for rank in range(1, len(vocabulary) + 1)))
    out = sys.stdout
    written = 0
    while written < args.bytes:
        words = rng.choices(vocabulary, cum_weights=cumulative, k=4096)
        lines, position = [], 0
        while position < len(words):
            length = rng.randint(5, 24)
            sentence = words[position:position + length]
            position += length
            for i in range(1, len(sentence) - 1):
                if rng.random() < 0.08:
                    sentence[i] += ","
            sentence[0] = sentence[0][:1].upper() + sentence[0][1:]
            lines.append(" ".join(sentence) + ".")
        text = "\n".join(lines) + "\n"
        data = text.encode("utf-8")
        if written + len(data) > args.bytes:
            data = data[:args.bytes - written].rsplit(b"\n", 1)[0] + b"\n"
            if written + len(data) > args.bytes or len(data) <= 1:
                break
        out.buffer.write(data)
        written += len(data)


if __name__ == "__main__":
    main()
