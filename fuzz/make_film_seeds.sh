#!/usr/bin/env bash
# Writes the seed films of the film picture harness: one small film of each container and codec
# the reader takes, made by ffmpeg, each behind the byte that chooses the size asked for.
# Usage: make_film_seeds.sh CORPUS_DIR   (makes CORPUS_DIR/seed-<container>-<codec>)
set -euo pipefail
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Three frames of 32 × 24: a picture with edges and colour, then two others.
source=(-f lavfi -i "testsrc=s=32x24:r=10:d=0.3")
made=0
seed() {  # seed NAME EXTENSION CODEC-ARGUMENTS...
  local name=$1 ext=$2; shift 2
  if ffmpeg -loglevel error -y "${source[@]}" "$@" "$work/$name.$ext" </dev/null; then
    { printf '\x03'; cat "$work/$name.$ext"; } > "$out/seed-$name"
    made=$((made + 1))
  else
    echo "make_film_seeds: ffmpeg could not make $name.$ext" >&2
  fi
}
seed avi-mjpeg avi -c:v mjpeg
seed avi-mpeg4 avi -c:v mpeg4 -vtag XVID
seed avi-h264 avi -c:v libx264 -pix_fmt yuv420p
seed avi-raw avi -c:v rawvideo -pix_fmt bgr24
seed avi-pal8 avi -c:v rawvideo -pix_fmt pal8
seed avi-msvideo1 avi -c:v msvideo1
seed avi-cinepak avi -c:v cinepak
seed mp4-h264 mp4 -c:v libx264 -pix_fmt yuv420p
seed mp4-mpeg4 mp4 -c:v mpeg4
seed mov-mjpeg mov -c:v mjpeg
seed mov-h264 mov -c:v libx264 -pix_fmt yuv444p
seed mkv-h264 mkv -c:v libx264 -pix_fmt yuv420p
seed mkv-mjpeg mkv -c:v mjpeg
seed webm-vp8 webm -c:v libvpx
seed webm-vp9 webm -c:v libvpx-vp9
echo "$made film seeds in $out"
