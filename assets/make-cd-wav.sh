#!/bin/sh
# Regenerates cd.wav, the short countdown beep played at "3", "2" and "1".
# Needs sox; the result is kept in the tree, so building never runs this.
set -e
cd "$(dirname "$0")"
sox -n -r 22050 -c 1 -b 16 cd.wav synth 0.18 sine 880 fade q 0.005 0.18 0.04 vol 0.6
