#!/usr/bin/env bash
# Makes the bitmap fixtures of the image-file tests with ImageMagick (Debian package
# imagemagick); the files it wrote are committed beside it. Run from anywhere:
#   tests/data/files/make_fixtures.sh
set -euo pipefail
cd "$(dirname "$0")"

# source.ppm: 7 × 5 pixels in 20 colours, colour number (x + 7y) mod 20, so that a picture
# read upside down or mirrored cannot pass. Colour n is (12n, 37n mod 256, 255 − 11n).
{
  echo "P3"
  echo "7 5"
  echo "255"
  for y in 0 1 2 3 4; do
    for x in 0 1 2 3 4 5 6; do
      n=$(( (x + 7 * y) % 20 ))
      echo "$(( 12 * n )) $(( 37 * n % 256 )) $(( 255 - 11 * n ))"
    done
  done
} > source.ppm

# 8 bits per pixel, uncompressed, 40-byte header, 256-entry table, rows at 1078.
convert source.ppm -type Palette -compress None BMP3:im-bmp3.bmp
# The default writer: a 124-byte header, rows at 1162.
convert source.ppm -type Palette -compress None im-default.bmp
# Without a rendering intent it writes a 108-byte header; the table follows it, rows at 1146.
convert source.ppm -intent Undefined -type Palette -compress None im-v4.bmp
# The 12-byte OS/2 header (16-bit sizes, 3-byte table entries): no layout the reader knows.
convert source.ppm -type Palette -compress None BMP2:im-bmp2.bmp
# Files the reader must refuse: run-length compressed, 4 bits per pixel, 24 bits per pixel.
convert source.ppm -type Palette -compress RLE BMP3:im-rle8.bmp
convert source.ppm -colors 5 -type Palette -compress None BMP3:im-4bit.bmp
convert source.ppm -type TrueColor BMP3:im-24bit.bmp
