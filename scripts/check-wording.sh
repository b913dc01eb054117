#!/usr/bin/env bash
# Comments and documents describe this program in its own terms: no hits for the words below
# in the sources, layouts, scripts and documents. Lists the hits and fails when there are any.
set -u
cd "$(dirname "$0")/.." || exit 2
# (Each word has one letter in brackets, so that this file does not match itself.)
words='\b(the origina[l]( platform)?|delph[i]|vc[l]|c\+\+ ?builde[r])\b'
git grep -n -I -i -E "$words" -- '*.cpp' '*.h' '*.md' '*.ui' '*.sh'
case $? in
0) exit 1 ;; # hits
1) exit 0 ;; # none
*) exit 2 ;; # git failed
esac
