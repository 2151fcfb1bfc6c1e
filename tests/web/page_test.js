// The demonstration's page in a real browser, played through real input events: keypad + shows
// "Frame Skip :11" for a second; a wall drawn with the mouse and water poured on it with the
// space key are seen in a screenshot of the canvas; Escape ends the program, the page says so
// and starts it again on request. Then the gallery's page: a push button and a menu item turn
// its pages, seen in the canvas; its Files page writes a file and reads it back; Escape ends it.
// Usage: node page_test.js URL SOURCE_ROOT
"use strict";
const fs = require("fs");
const path = require("path");
const { Browser, Keys, sleep } = require("./browser");

const [url, sourceRoot] = process.argv.slice(2);
if (!url || !sourceRoot) {
  console.error("usage: node page_test.js URL SOURCE_ROOT");
  process.exit(2);
}

// Colours of the palette source (media/palette.txt): index → [r, g, b].
function paletteEntry(index) {
  for (const line of fs.readFileSync(path.join(sourceRoot, "media/palette.txt"), "utf8").split("\n")) {
    const m = line.match(/^(\d+)\s+(\d+)\s+(\d+)\s+(\d+)(\s|$)/);
    if (m && Number(m[1]) === index) return [Number(m[2]), Number(m[3]), Number(m[4])];
  }
  throw new Error(`palette index ${index} is not a single entry in media/palette.txt`);
}

// Ink of each character of the font source (media/font8x12.txt): char → 12 rows of "#"/".".
function fontInk() {
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

const failures = [];
// A failed check keeps the screenshot it looked at, beside the site folder.
let lastShot = null;
function check(ok, what) {
  console.log(`${ok ? "ok  " : "FAIL"} ${what}`);
  if (ok) return;
  failures.push(what);
  if (lastShot && process.env.ONDREL_WEB_SHOTS) {
    const file = path.join(process.env.ONDREL_WEB_SHOTS, `page_test-failure-${failures.length}.png`);
    fs.writeFileSync(file, lastShot.png);
    console.log(`     screenshot: ${file}`);
  }
}

const same = (a, b) => a[0] === b[0] && a[1] === b[1] && a[2] === b[2];

async function main() {
  const wall = paletteEntry(0);
  const water = paletteEntry(1);
  const empty = paletteEntry(15);
  const text = paletteEntry(233);

  const browser = await Browser.launch({ width: 1400, height: 1100 });
  let page;
  try {
    page = await browser.newPage(url);
    await page.waitFor("(Module.ondrelFrames || 0) > 0", 20000, "the first frame");
    const firstFrame = await page.evaluate("Module.ondrelFirstFrameAt");
    console.log(`first frame shown ${firstFrame.toFixed(0)} ms after the page began to load`);

    // 1400 × 1100 leaves room for twice the window's size both ways, not three times.
    const box = await page.evaluate(`(() => {
      const c = document.querySelector("#screen canvas");
      const r = c.getBoundingClientRect();
      return { left: r.left, top: r.top, width: r.width, height: r.height, pixelsWide: c.width, pixelsHigh: c.height,
               rendering: getComputedStyle(c).imageRendering, title: document.title };
    })()`);
    check(box.pixelsWide === 640 && box.pixelsHigh === 480, `the canvas is the window's 640 × 480 client area (${box.pixelsWide} × ${box.pixelsHigh})`);
    check(box.width === 1280 && box.height === 960, `the canvas is shown at twice its size (${box.width} × ${box.height})`);
    check(box.rendering === "pixelated", `its pixels stay sharp (image-rendering: ${box.rendering})`);
    check(box.title === "Ondrel - from Corvane - Version 1.0", `the page's title is the window's caption ("${box.title}")`);
    const k = box.width / box.pixelsWide;
    const at = (x, y) => [box.left + (x + 0.5) * k, box.top + (y + 0.5) * k];
    const move = (x, y, buttons = 0) => page.mouse("mouseMoved", ...at(x, y), "none", buttons);

    // Keypad +: frame skip 10 becomes 11, shown at the top-left corner for a second.
    await page.tap(Keys.add);
    // The second frame shown after the key comes from a step that had it: the first may come from
    // a step already under way when the key arrived.
    await page.waitForFrames(2);
    const label = "Frame Skip :11";
    const ink = fontInk();
    const region = { x: box.left, y: box.top, width: label.length * 8 * k, height: 12 * k };
    let shot = lastShot = await page.screenshot(region);
    let wrong = 0;
    for (let y = 0; y < 12; ++y)
      for (let x = 0; x < label.length * 8; ++x) {
        const c = label[Math.floor(x / 8)];
        const inked = c !== " " && ink.get(c)[y][x % 8] === "#";
        if (!same(shot.rgb(Math.floor(x * k), Math.floor(y * k)), inked ? text : empty)) ++wrong;
      }
    check(wrong === 0, `"${label}" at the top-left corner, pixel for pixel as the font draws it (${wrong} pixels differ)`);
    // A slow machine shows the page late: look again until the text has gone, for up to five seconds.
    let left;
    for (const until = Date.now() + 5000; ;) {
      shot = lastShot = await page.screenshot(region);
      left = 0;
      for (let y = 0; y < 12; ++y)
        for (let x = 0; x < label.length * 8; ++x) if (!same(shot.rgb(Math.floor(x * k), Math.floor(y * k)), empty)) ++left;
      if (left === 0 || Date.now() > until) break;
      await sleep(100);
    }
    check(left === 0, `the text is gone a second later (${left} pixels not empty)`);

    // Frame skip 1 from here on: every step is shown, so counting shown frames counts steps and
    // the water poured below does not depend on the machine's speed.
    for (let i = 0; i < 10; ++i) await page.tap(Keys.subtract);

    // A wall from (200, 300) to (440, 300), drawn in steps as a hand would. The program samples
    // the pointer once a frame: each step waits for frames to be shown, however slow the machine.
    await move(200, 300);
    await page.waitForFrames(2);
    await page.mouse("mousePressed", ...at(200, 300), "left", 1);
    await page.waitForFrames(2);
    for (let x = 240; x <= 440; x += 40) {
      await move(x, 300, 1);
      await page.waitForFrames(2);
    }
    await page.mouse("mouseReleased", ...at(440, 300), "left", 0);
    // Water poured from (320, 200) for about sixty steps; then it settles on the wall.
    await move(320, 200);
    await page.waitForFrames(2);
    await page.key("keyDown", Keys.space);
    await page.waitForFrames(60);
    await page.key("keyUp", Keys.space);
    await page.waitForFrames(150);
    const scrolled = await page.evaluate("window.scrollY");
    check(scrolled === 0, `space did not scroll the page (scrollY ${scrolled})`);

    shot = lastShot = await page.screenshot({ x: box.left, y: box.top, width: box.width, height: box.height });
    const pixel = (x, y) => shot.rgb(Math.floor(x * k), Math.floor(y * k));
    // Every device pixel of a window pixel has its colour.
    const block = (x, y) => {
      const first = shot.rgb(Math.floor(x * k), Math.floor(y * k));
      for (let dy = 0; dy < k; ++dy)
        for (let dx = 0; dx < k; ++dx)
          if (!same(shot.rgb(Math.floor(x * k) + dx, Math.floor(y * k) + dy), first)) return false;
      return true;
    };
    let wallCells = 0, sharp = 0;
    for (let x = 200; x <= 440; x += 10) {
      if (same(pixel(x, 300), wall)) ++wallCells;
      if (block(x, 300) && block(x, 299)) ++sharp;
    }
    check(wallCells === 25, `wall colour along the stroke (${wallCells} of 25 points)`);
    check(sharp === 25, `each window pixel is a solid ${k} × ${k} block (${sharp} of 25 points)`);
    check(same(pixel(320, 40), empty), `empty above the pour point (${pixel(320, 40)})`);
    check(same(pixel(320, 330), empty), `no water under the wall (${pixel(320, 330)})`);
    let resting = 0;
    for (let x = 300; x <= 340; x += 5) if (same(pixel(x, 299), water) && same(pixel(x, 300), wall)) ++resting;
    check(resting >= 4, `water rests on the wall below the pour point (${resting} of 9 cells)`);

    lastShot = null;
    // Escape ends the program; the page says so and offers to start again.
    await page.tap(Keys.escape);
    await page.waitFor("!document.getElementById('ended').hidden", 10000, "the page to say the program ended");
    const ending = await page.evaluate(`({ text: document.getElementById('ended-text').textContent,
                                           canvases: document.querySelectorAll('canvas').length })`);
    check(ending.text === "Ondrel has ended.", `the page says "${ending.text}"`);
    check(ending.canvases === 0, `the window is gone (${ending.canvases} canvases)`);
    const button = await page.evaluate(`(() => { const r = document.getElementById('again').getBoundingClientRect();
                                                 return [r.left + r.width / 2, r.top + r.height / 2]; })()`);
    const reloaded = page.waitForEvent("Page.loadEventFired", 20000);
    await page.mouse("mouseMoved", ...button);
    await page.mouse("mousePressed", ...button, "left", 1);
    await page.mouse("mouseReleased", ...button, "left", 0);
    await reloaded;
    await page.waitFor("(Module.ondrelFrames || 0) > 0 && document.getElementById('ended').hidden", 20000, "the program to run again");
    check(true, "Start again runs the program anew");

    const errors = page.console.filter((l) => /exception|error|abort/i.test(l));
    check(errors.length === 0, `no error in the page's console${errors.length ? ":\n  " + errors.join("\n  ") : ""}`);
  } finally {
    await browser.close();
  }
  await playGallery(new URL("gallery.html", url).href);
  if (failures.length) {
    console.log(`${failures.length} check(s) failed`);
    process.exit(1);
  }
  console.log("the pages play as the programs do");
}

// The gallery: its menu bar (19 pixels) above its 640 × 480 client area, all in the canvas. Its
// first page is Shapes; the page buttons are 96 × 28 at client y 442, 9 apart from x 9, Tasks the
// sixth; the menu titles Gallery, Pages, View start at x 0, 54, 96, and a drop-down's items are
// 16 pixels high from y 22.
async function playGallery(galleryUrl) {
  // Room for twice the gallery's 640 × 499 view under the page's line of controls.
  const browser = await Browser.launch({ width: 1400, height: 1200 });
  try {
    await playGalleryIn(await browser.newPage(galleryUrl));
  } finally {
    await browser.close();
  }
}

async function playGalleryIn(page) {
  // The window is shown as it is made, and again as its menu bar and each button are added, a
  // display refresh each, before the gallery draws its first page: wait for the page's dark grey.
  const background = [34, 34, 34];
  await page.waitFor(`(() => {
    const c = document.querySelector("#screen canvas");
    const d = c && c.getContext("2d").getImageData(630, 57, 1, 1).data;
    return !!d && d[0] === ${background[0]} && d[1] === ${background[1]} && d[2] === ${background[2]};
  })()`, 20000, "the gallery's first page");
  const box = await page.evaluate(`(() => {
    const c = document.querySelector("#screen canvas");
    const r = c.getBoundingClientRect();
    return { left: r.left, top: r.top, width: r.width, pixelsWide: c.width, pixelsHigh: c.height, title: document.title };
  })()`);
  check(box.pixelsWide === 640 && box.pixelsHigh === 499, `the gallery's canvas is its menu bar and client area (${box.pixelsWide} × ${box.pixelsHigh})`);
  check(box.title === "Ondrel gallery", `the page's title is the gallery's caption ("${box.title}")`);
  const k = box.width / box.pixelsWide;
  check(k === 2, `the canvas is shown at twice its size (${box.width} wide)`);
  const at = (x, y) => [box.left + (x + 0.5) * k, box.top + (y + 0.5) * k];
  const click = async (x, y) => {
    await page.mouse("mouseMoved", ...at(x, y));
    await page.mouse("mousePressed", ...at(x, y), "left", 1);
    await page.mouse("mouseReleased", ...at(x, y), "left", 0);
    await page.waitForFrames(3);
  };
  // The header (client rows 0-31): the page's title and where it is in the tour; one colour a
  // window pixel.
  const header = async () => {
    const shot = lastShot = await page.screenshot({ x: box.left, y: box.top + 19 * k, width: 640 * k, height: 32 * k });
    const colours = [];
    for (let y = 0; y < 32; ++y) for (let x = 0; x < 640; ++x) colours.push(shot.rgb(Math.floor((x + 0.5) * k), Math.floor((y + 0.5) * k)).join(","));
    return colours;
  };
  const pixel = async (x, y) =>
    (lastShot = await page.screenshot({ x: box.left + x * k, y: box.top + y * k, width: k, height: k })).rgb(0, 0);
  const differing = (a, b) => a.filter((c, i) => c !== b[i]).length;

  const shapes = await header();
  await click(9 + 5 * 105 + 48, 19 + 456);
  const tasks = await header();
  check(differing(shapes, tasks) > 0, `the Tasks button turns the page (${differing(shapes, tasks)} header pixels changed)`);

  await click(66, 9);
  const open = await pixel(66, 62);
  check(same(open, [192, 192, 192]), `clicking "Pages" opens its drop-down over the page (${open})`);
  await click(84, 22 + 8);
  const back = await header();
  check(differing(shapes, back) === 0, `Pages > Shapes brings the first page back (${differing(shapes, back)} header pixels differ)`);
  const closed = await pixel(66, 62);
  check(same(closed, background), `the drop-down is gone (${closed})`);

  // Files: the sheet, three times larger at client (16, 64), saved, loaded back and shown again
  // at (16, 226). Its top-left pixel is a sprite marker, bright red (media/sprites.txt).
  await click(9 + 4 * 105 + 48, 19 + 456);
  const marker = [255, 85, 85];
  const loaded = await pixel(17, 19 + 65);
  const loadedBack = await pixel(17, 19 + 227);
  check(same(loaded, marker) && same(loadedBack, marker),
        `the Files page saves the sheet in the page's file system and loads it back (${loaded} and ${loadedBack})`);

  lastShot = null;
  await page.tap(Keys.escape);
  await page.waitFor("!document.getElementById('ended').hidden", 10000, "the gallery's page to say it ended");
  const text = await page.evaluate("document.getElementById('ended-text').textContent");
  check(text === "Ondrel gallery has ended.", `Escape ends the gallery: the page says "${text}"`);
  const errors = page.console.filter((l) => /exception|error|abort/i.test(l));
  check(errors.length === 0, `no error in the gallery page's console${errors.length ? ":\n  " + errors.join("\n  ") : ""}`);
}

main().catch((e) => {
  console.error(e.stack || String(e));
  process.exit(1);
});
