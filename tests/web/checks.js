// What the browser tests share: the media sources they derive expected pixels from, and the
// checks they report.
"use strict";
const fs = require("fs");
const path = require("path");

// Colours of the palette source (media/palette.txt): index → [r, g, b].
function paletteEntry(sourceRoot, index) {
  for (const line of fs.readFileSync(path.join(sourceRoot, "media/palette.txt"), "utf8").split("\n")) {
    const m = line.match(/^(\d+)\s+(\d+)\s+(\d+)\s+(\d+)(\s|$)/);
    if (m && Number(m[1]) === index) return [Number(m[2]), Number(m[3]), Number(m[4])];
  }
  throw new Error(`palette index ${index} is not a single entry in media/palette.txt`);
}

// Ink of each character of the font source (media/font8x12.txt): char → 12 rows of "#"/".".
function fontInk(sourceRoot) {
  const ink = new Map();
  const lines = fs.readFileSync(path.join(sourceRoot, "media/font8x12.txt"), "utf8").split("\n");
  for (let i = 0; i < lines.length; ++i) {
    if (!lines[i].startsWith("glyphs ")) continue;
    const names = lines[i].slice(7).trim().split(/\s+/);
    const rows = lines.slice(i + 1, i + 13).map((r) => r.trim().split(/\s+/));
    names.forEach((name, g) => { if (name.length === 1) ink.set(name, rows.map((r) => r[g])); });
  }
  return ink;
}

const same = (a, b) => a[0] === b[0] && a[1] === b[1] && a[2] === b[2];

// A wall two strokes thick, drawn as a hand would in steps of 40: along row 300 from x 200 to 440
// and back along row 301. Water wears through a wall one stroke thick after some numbers of
// poured frames and not others, and how many frames pass before a check looks depends on the
// machine's load; two strokes hold.
const wallPath = [];
for (let x = 200; x <= 440; x += 40) wallPath.push([x, 300]);
for (let x = 440; x >= 200; x -= 40) wallPath.push([x, 301]);
// Whether column x of that wall is walled in either of its rows (water may wear its top one), and
// whether water lies right on it there; `cell(x, y)` gives a window pixel's colour.
const walledAt = (cell, x, wall) => same(cell(x, 300), wall) || same(cell(x, 301), wall);
const restingAt = (cell, x, wall, water) =>
  (same(cell(x, 299), water) && same(cell(x, 300), wall)) || (same(cell(x, 300), water) && same(cell(x, 301), wall));

// The pixels of `text` at the top-left corner, as `pixel(x, y)` gives a window pixel's colour,
// that differ from the font's ink in `inkColour` on `paper`.
function textDiffers(pixel, text, ink, inkColour, paper) {
  let wrong = 0;
  for (let y = 0; y < 12; ++y)
    for (let x = 0; x < text.length * 8; ++x) {
      const c = text[Math.floor(x / 8)];
      const inked = c !== " " && ink.get(c)[y][x % 8] === "#";
      if (!same(pixel(x, y), inked ? inkColour : paper)) ++wrong;
    }
  return wrong;
}

// Every frame the program presents, as the page paints it (putImageData on its canvas), keeps its
// top-left `width` × `height` pixels in the page from `watchCorner` on; `cornersShown` takes them
// out, each as `pixel(x, y)`. Text the program shows for a second of its clock is seen so, however
// late a screenshot would come on a loaded machine.
async function watchCorner(page, width, height) {
  await page.evaluate(`(() => {
    if (!window.ondrelCorners) {
      const put = CanvasRenderingContext2D.prototype.putImageData;
      CanvasRenderingContext2D.prototype.putImageData = function (image, ...rest) {
        const [w, h] = window.ondrelCornerSize;
        const data = [];
        for (let y = 0; y < h; ++y)
          for (let x = 0; x < w; ++x) data.push(...image.data.slice(4 * (y * image.width + x), 4 * (y * image.width + x) + 3));
        window.ondrelCorners.push(data);
        return put.call(this, image, ...rest);
      };
    }
    window.ondrelCorners = [];
    window.ondrelCornerSize = [${width}, ${height}];
  })()`);
}

async function cornersShown(page) {
  const [width, frames] = await page.evaluate(`(() => {
    const frames = window.ondrelCorners;
    window.ondrelCorners = [];
    return [window.ondrelCornerSize[0], frames];
  })()`);
  return frames.map((data) => (x, y) => data.slice(3 * (y * width + x), 3 * (y * width + x) + 3));
}

// Whether a frame presented since the last look showed `text` at the top-left corner exactly
// (see textDiffers), looking for up to `frames` presented frames; the fewest pixels that differed.
async function textWasShown(page, text, ink, inkColour, paper, frames = 10) {
  let fewest = Infinity;
  for (let seen = 0; seen < frames && fewest > 0; ) {
    await page.waitForFrames(1);
    for (const pixel of await cornersShown(page)) {
      fewest = Math.min(fewest, textDiffers(pixel, text, ink, inkColour, paper));
      ++seen;
    }
  }
  return fewest;
}

// Checks, printed as they are made; a failed one keeps the screenshot it looked at (`lastShot`)
// in ONDREL_WEB_SHOTS, named after `name`.
class Checks {
  constructor(name) {
    this.name = name;
    this.failures = [];
    this.lastShot = null;
  }

  check(ok, what) {
    console.log(`${ok ? "ok  " : "FAIL"} ${what}`);
    if (ok) return;
    this.failures.push(what);
    if (this.lastShot && process.env.ONDREL_WEB_SHOTS) {
      const file = path.join(process.env.ONDREL_WEB_SHOTS, `${this.name}-failure-${this.failures.length}.png`);
      fs.writeFileSync(file, this.lastShot.png);
      console.log(`     screenshot: ${file}`);
    }
  }

  // No exception, error or abort in the page's console.
  checkConsole(page, where) {
    const errors = page.console.filter((l) => /exception|error|abort/i.test(l));
    this.check(errors.length === 0, `no error in ${where}'s console${errors.length ? ":\n  " + errors.join("\n  ") : ""}`);
  }

  // Exits with the verdict.
  finish(success) {
    if (this.failures.length) {
      console.log(`${this.failures.length} check(s) failed`);
      process.exit(1);
    }
    console.log(success);
  }
}

// A program's canvas on the page: `k` page pixels a window pixel, `at` the page point at the
// middle of a window pixel, `shot` the colours the page shows for a rectangle of window pixels.
// Screenshots come in device pixels (`ratio` of them to a page pixel).
class Screen {
  // Measured once the page's layout has settled: the window's menus and buttons become page
  // elements and the canvas is fitted to the room left, a few frames after the first one on a
  // loaded machine (the sandbox's canvas was seen to move 14 pixels left and 18 down after it
  // was measured). Settled: the same box before and after two more frames, and no change of the
  // room that the program has not taken in.
  static async of(page, selector = "#screen canvas") {
    const measure = () => page.evaluate(`(() => {
      const c = document.querySelector(${JSON.stringify(selector)});
      const r = c.getBoundingClientRect();
      return { left: r.left, top: r.top, width: r.width, height: r.height, pixelsWide: c.width, pixelsHigh: c.height,
               ratio: window.devicePixelRatio || 1, roomChanged: !!Module.ondrelRoomChanged };
    })()`);
    let box = await measure();
    for (const until = Date.now() + 30000; ;) {
      await page.waitForFrames(2);
      const again = await measure();
      const settled = ["left", "top", "width", "height", "pixelsWide", "pixelsHigh"].every((k) => again[k] === box[k]) &&
                      !again.roomChanged;
      box = again;
      if (settled) break;
      if (Date.now() > until) throw new Error("the page's layout did not settle in 30 s");
    }
    delete box.roomChanged;
    return new Screen(page, box);
  }

  // The browser paints the canvas from a whole device pixel, where the page's layout may put it
  // between two.
  constructor(page, box) {
    Object.assign(this, box);
    this.left = Math.round(box.left * box.ratio) / box.ratio;
    this.top = Math.round(box.top * box.ratio) / box.ratio;
    this.page = page;
    this.k = box.width / box.pixelsWide;
  }

  at(x, y) { return [this.left + (x + 0.5) * this.k, this.top + (y + 0.5) * this.k]; }

  // { png, rgb(x, y) } for window pixels x0 .. x0 + width - 1, y0 .. y0 + height - 1: the colour of
  // the device pixel under each one's middle.
  async shot(x0 = 0, y0 = 0, width = this.pixelsWide, height = this.pixelsHigh) {
    const device = this.k * this.ratio;  // device pixels a window pixel
    const left = Math.round(this.left * this.ratio);
    const top = Math.round(this.top * this.ratio);
    const startX = Math.floor(left + x0 * device);
    const startY = Math.floor(top + y0 * device);
    const endX = Math.ceil(left + (x0 + width) * device);
    const endY = Math.ceil(top + (y0 + height) * device);
    const shot = await this.page.screenshot({ x: startX / this.ratio, y: startY / this.ratio,
                                              width: (endX - startX) / this.ratio, height: (endY - startY) / this.ratio });
    return {
      png: shot.png,
      rgb: (x, y) => shot.rgb(Math.floor(left + (x + 0.5) * device) - startX, Math.floor(top + (y + 0.5) * device) - startY),
    };
  }
}

// The window pixels of colour `colour` in columns x0 … x1 and rows y0 … y1 of `screen`, as
// `checks` keeps the screenshot it looked at.
async function cellsOf(checks, screen, colour, x0, x1, y0, y1) {
  const shot = checks.lastShot = await screen.shot(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
  let cells = 0;
  for (let y = y0; y <= y1; ++y) for (let x = x0; x <= x1; ++x) if (same(shot.rgb(x, y), colour)) ++cells;
  return cells;
}

module.exports = {
  paletteEntry, fontInk, same, wallPath, walledAt, restingAt, textDiffers, watchCorner, textWasShown, Checks, Screen, cellsOf,
};
