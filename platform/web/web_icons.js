// The web pages' icons, for a phone's home screen and the browser's tab: the program's icon
// (media/icon.txt, in the colours of media/palette.txt) as PNG files, enlarged by whole factors
// with sharp pixels.
// Usage: node web_icons.js ICON_TXT PALETTE_TXT OUT_PREFIX SIZE...   (writes OUT_PREFIX-SIZE.png)
"use strict";
const fs = require("fs");
const zlib = require("zlib");

const [iconFile, paletteFile, prefix, ...sizes] = process.argv.slice(2);
if (!iconFile || !paletteFile || !prefix || sizes.length === 0) {
  console.error("usage: node web_icons.js ICON_TXT PALETTE_TXT OUT_PREFIX SIZE...");
  process.exit(2);
}

// "index r g b" entries and "first-last r g b r g b" ramps, rounded to the nearest.
function readPalette(text) {
  const colours = new Map();
  for (const line of text.split("\n")) {
    const one = line.match(/^(\d+)\s+(\d+)\s+(\d+)\s+(\d+)(\s|$)/);
    const ramp = line.match(/^(\d+)-(\d+)\s+(\d+)\s+(\d+)\s+(\d+)\s+(\d+)\s+(\d+)\s+(\d+)(\s|$)/);
    if (ramp) {
      const [first, last] = [Number(ramp[1]), Number(ramp[2])];
      const from = ramp.slice(3, 6).map(Number);
      const to = ramp.slice(6, 9).map(Number);
      for (let i = first; i <= last; ++i)
        colours.set(i, from.map((c, k) => Math.round(c + (to[k] - c) * (i - first) / Math.max(last - first, 1))));
    } else if (one) {
      colours.set(Number(one[1]), [Number(one[2]), Number(one[3]), Number(one[4])]);
    }
  }
  return colours;
}

// The picture: "colour X n" lines, then the rows after "sheet".
function readIcon(text, palette) {
  const legend = new Map();
  const rows = [];
  let inSheet = false;
  for (const raw of text.split("\n")) {
    const line = raw.trimEnd();
    if (line.startsWith(";") || line === "") continue;
    const colour = line.match(/^colour (\S) (\d+)$/);
    if (!inSheet && colour) legend.set(colour[1], palette.get(Number(colour[2])));
    else if (!inSheet && line === "sheet") inSheet = true;
    else if (inSheet) rows.push([...line].map((c) => {
      if (!legend.has(c)) throw new Error(`icon: "${c}" has no colour`);
      return legend.get(c);
    }));
  }
  if (rows.length === 0 || rows.some((r) => r.length !== rows[0].length)) throw new Error("icon: the sheet is not a rectangle");
  return rows;
}

const crcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
function crc32(bytes) {
  let c = 0xffffffff;
  for (const b of bytes) c = crcTable[(c ^ b) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

function chunk(type, body) {
  const length = Buffer.alloc(4);
  length.writeUInt32BE(body.length);
  const typed = Buffer.concat([Buffer.from(type, "latin1"), body]);
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(typed));
  return Buffer.concat([length, typed, crc]);
}

// An 8-bit RGB PNG of the picture, each pixel `factor` × `factor`.
function png(rows, factor) {
  const width = rows[0].length * factor;
  const height = rows.length * factor;
  const raw = Buffer.alloc((width * 3 + 1) * height);
  for (let y = 0; y < height; ++y) {
    const at = y * (width * 3 + 1);
    raw[at] = 0;  // no filter
    for (let x = 0; x < width; ++x) {
      const [r, g, b] = rows[Math.floor(y / factor)][Math.floor(x / factor)];
      raw[at + 1 + x * 3] = r;
      raw[at + 2 + x * 3] = g;
      raw[at + 3 + x * 3] = b;
    }
  }
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header[8] = 8;  // bits
  header[9] = 2;  // RGB
  return Buffer.concat([Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]), chunk("IHDR", header),
                        chunk("IDAT", zlib.deflateSync(raw, { level: 9 })), chunk("IEND", Buffer.alloc(0))]);
}

const rows = readIcon(fs.readFileSync(iconFile, "utf8"), readPalette(fs.readFileSync(paletteFile, "utf8")));
for (const size of sizes.map(Number)) {
  if (!(size > 0) || size % rows[0].length !== 0 || size % rows.length !== 0)
    throw new Error(`icon: ${size} is not a whole multiple of the icon's ${rows[0].length} × ${rows.length}`);
  fs.writeFileSync(`${prefix}-${size}.png`, png(rows, size / rows[0].length));
}
