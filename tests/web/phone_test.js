// The demonstration's and the sandbox's pages on a phone (DevTools device emulation, fingers by
// DevTools touch events), upright at 390 × 844 CSS pixels and on its side at 844 × 390, 3 device
// pixels to a CSS pixel: everything on the page lies inside the viewport and nothing lies over
// anything else; every control is at least 44 CSS pixels each way; the canvas is as large as its
// room allows and its pixels stay sharp; a finger draws and pours; on the sandbox's page a finger
// opens Edit and picks Clear scene, Undo and Redo, each doing what the item aimed at does. Each
// page is kept as a screenshot in the build folder: phone-<page>-<width>x<height>.png.
// Usage: node phone_test.js URL SOURCE_ROOT
"use strict";
const fs = require("fs");
const path = require("path");
const { Browser } = require("./browser");
const { paletteEntry, same, Checks, Screen, cellsOf } = require("./checks");
const { Fingers, holdButton, tapButton, stroke } = require("./touch");
const { control, pressControl, pickMenuItem, windowReady } = require("./controls");

const [url, sourceRoot] = process.argv.slice(2);
if (!url || !sourceRoot) {
  console.error("usage: node phone_test.js URL SOURCE_ROOT");
  process.exit(2);
}
const checks = new Checks("phone_test");
const check = (ok, what) => checks.check(ok, what);

const wall = paletteEntry(sourceRoot, 0);
const water = paletteEntry(sourceRoot, 1);
const empty = paletteEntry(sourceRoot, 15);

const upright = { name: "upright", width: 390, height: 844, scale: 3 };
const onItsSide = { name: "on its side", width: 844, height: 390, scale: 3 };

// The page's parts as rectangles (CSS pixels): the menu titles, the canvas, the buttons, the line.
function parts(page) {
  return page.evaluate(`(() => {
    const rect = (e, what) => { const r = e.getBoundingClientRect(); return { what, left: r.left, top: r.top, right: r.right, bottom: r.bottom }; };
    const all = [];
    for (const e of document.querySelectorAll(".ondrel-menu-title")) all.push({ ...rect(e, "menu " + e.textContent), control: true });
    for (const e of document.querySelectorAll("#screen canvas")) all.push(rect(e, "the canvas"));
    for (const e of document.querySelectorAll("#controls button")) all.push({ ...rect(e, "button " + e.textContent), control: true });
    const line = document.getElementById("status");
    if (line.textContent.trim()) all.push(rect(line, "the line under the canvas"));
    return all;
  })()`);
}

// Counts the mouse events the browser makes on the canvas of touches (on it, or on a control that
// goes away under the finger): the program must see each touch once, as a touch.
function watchCanvas(page) {
  return page.evaluate(`(() => {
    window.mouseOnCanvas = 0;
    for (const type of ["mousedown", "mouseup"])
      document.addEventListener(type, (e) => { if (e.target.tagName === "CANVAS") ++window.mouseOnCanvas; }, true);
  })()`);
}

async function checkNoMouse(page, where) {
  const mice = await page.evaluate("window.mouseOnCanvas");
  check(mice === 0, `${where}: the browser made no mouse event on the canvas of a touch (${mice})`);
}

// Inside the viewport, nothing over anything else, every control large enough for a finger.
async function checkLayout(page, phone, where) {
  const all = await parts(page);
  const outside = all.filter((p) => p.left < -0.5 || p.top < -0.5 || p.right > phone.width + 0.5 || p.bottom > phone.height + 0.5);
  check(outside.length === 0, `${where}: the page's ${all.length} parts lie inside the viewport` +
        (outside.length ? ` (not: ${outside.map((p) => p.what).join(", ")})` : ""));
  const overlaps = [];
  for (let i = 0; i < all.length; ++i)
    for (let j = i + 1; j < all.length; ++j) {
      const a = all[i], b = all[j];
      const w = Math.min(a.right, b.right) - Math.max(a.left, b.left);
      const h = Math.min(a.bottom, b.bottom) - Math.max(a.top, b.top);
      if (w > 0.5 && h > 0.5) overlaps.push(`${a.what} and ${b.what}`);
    }
  check(overlaps.length === 0, `${where}: nothing lies over anything else` + (overlaps.length ? ` (${overlaps.join("; ")})` : ""));
  const small = all.filter((p) => p.control && (p.right - p.left < 44 || p.bottom - p.top < 44));
  check(small.length === 0, `${where}: every control is at least 44 × 44 CSS pixels` +
        (small.length ? ` (not: ${small.map((p) => `${p.what} ${(p.right - p.left).toFixed(0)} × ${(p.bottom - p.top).toFixed(0)}`).join(", ")})` : ""));
}

// The canvas fills its room: `fill` says which side reaches the room's edge ("width" or
// "height"), or the whole factor it is shown at in device pixels.
async function checkFit(page, screen, fill, where) {
  const room = await page.evaluate(`(() => { const r = document.getElementById("screen").getBoundingClientRect(); return { width: r.width, height: r.height }; })()`);
  const devicePerPixel = screen.k * screen.ratio;
  if (typeof fill === "number") {
    check(Math.abs(devicePerPixel - fill) < 0.01, `${where}: each window pixel is ${fill} × ${fill} device pixels (${devicePerPixel.toFixed(3)})`);
  } else {
    const gap = fill === "width" ? room.width - screen.width : room.height - screen.height;
    check(Math.abs(gap) < 1, `${where}: the canvas fills the room's ${fill} (${screen.width.toFixed(1)} × ${screen.height.toFixed(1)} in ${room.width.toFixed(1)} × ${room.height.toFixed(1)})`);
  }
}

// Only the colours drawn, no blend of two, along a window row crossing what was drawn: the pixels
// are sharp.
async function checkSharp(page, screen, y, where) {
  const device = screen.k * screen.ratio;
  const left = Math.round(screen.left * screen.ratio);
  const top = Math.round(screen.top * screen.ratio);
  const shot = checks.lastShot = await page.screenshot({ x: left / screen.ratio, y: (top + Math.floor(y * device)) / screen.ratio,
                                                         width: Math.floor(screen.pixelsWide * device) / screen.ratio, height: 1 / screen.ratio });
  const others = new Set();
  for (let i = 1; i < shot.width - 1; ++i) {  // the canvas's edges may meet the page's background
    const c = shot.rgb(i, 0);
    if (![wall, water, empty].some((known) => same(c, known))) others.add(c.join(","));
  }
  check(others.size === 0, `${where}: every device pixel along row ${y} is wall, water or empty (${others.size} other colours${others.size ? ": " + [...others].slice(0, 4).join(" ") : ""})`);
}

function keepScreenshot(page, file) {
  return page.send("Page.captureScreenshot", { format: "png" }).then(({ data }) => {
    const where = path.join(process.env.ONDREL_WEB_SHOTS || ".", file);
    fs.writeFileSync(where, Buffer.from(data, "base64"));
    console.log(`     screenshot: ${where}`);
  });
}

// The wall cells in window rows y0 … y1 of the canvas.
const wallCells = (screen, y0, y1) => cellsOf(checks, screen, wall, 0, screen.pixelsWide - 1, y0, y1);

// Water resting on the wall from (200, 300) to (440, 300): of 9 points along x 300 … 340, those
// with water just above the wall.
async function waterOnTheWall(screen, wallTop) {
  const shot = checks.lastShot = await screen.shot(300, wallTop - 1, 41, 1);
  let resting = 0;
  for (let x = 300; x <= 340; x += 5) if (same(shot.rgb(x, wallTop - 1), water)) ++resting;
  return resting;
}

async function onPhone(file, phone, play) {
  const browser = await Browser.launch({ width: phone.width, height: phone.height });
  try {
    await play(await browser.newPage(new URL(file, url).href, { touch: true, phone }), phone);
  } finally {
    await browser.close();
  }
}

async function playDemo(page, phone, fill) {
  const where = `the demonstration's page ${phone.name}`;
  await page.waitFor("(Module.ondrelFrames || 0) > 0", 20000, "the first frame");
  await watchCanvas(page);
  await checkLayout(page, phone, where);
  const screen = await Screen.of(page);
  await checkFit(page, screen, fill, where);
  const fingers = new Fingers(page);
  // Frame skip 1: every step shown, so that frames count steps.
  for (let i = 0; i < 10; ++i) await tapButton(fingers, "Slower");
  await stroke(fingers, screen, 200, 440, 300);
  // Erase mode: a tap at (320, 200) moves the pointer there; Pour, held, pours there.
  await tapButton(fingers, "Erase");
  await fingers.press(0, screen.at(320, 200));
  await page.waitForFrames(2);
  await fingers.lift(0);
  await tapButton(fingers, "Erase");
  await holdButton(fingers, "Pour", () => page.waitForFrames(60));
  await page.waitForFrames(150);
  const cells = await wallCells(screen, 295, 305);
  check(cells === 241, `${where}: a finger draws the wall (${cells} of 241 cells)`);
  const resting = await waterOnTheWall(screen, 300);
  check(resting >= 4, `${where}: water poured with Pour rests on it (${resting} of 9 points)`);
  await checkSharp(page, screen, 299, where);
  await keepScreenshot(page, `phone-ondrel-${phone.width}x${phone.height}.png`);
  checks.lastShot = null;
  await checkNoMouse(page, where);
  checks.checkConsole(page, where);
}

async function playSandbox(page, phone, fill) {
  const where = `the sandbox's page ${phone.name}`;
  await windowReady(page, "Undo");
  await watchCanvas(page);
  await checkLayout(page, phone, where);
  const screen = await Screen.of(page);
  await checkFit(page, screen, fill, where);
  const fingers = new Fingers(page);
  const tap = async (point) => {
    await fingers.press(0, point);
    await page.waitForFrames(2);
    await fingers.lift(0);
    await page.waitForFrames(2);
  };
  // The brush from 4 to 2: a wall rows 300 and 301 (the brush's rows, below and at the finger).
  await pressControl(page, tap, "button", "Wall");
  for (let i = 0; i < 2; ++i) await tapButton(fingers, "Smaller");
  await stroke(fingers, screen, 200, 440, 300);
  const walled = await wallCells(screen, 290, 310);
  check(walled > 400, `${where}: a finger draws a wall (${walled} cells)`);
  // The water brush, 11 wide, held at (320, 200) for about sixty frames.
  await pressControl(page, tap, "button", "Water");
  for (let i = 0; i < 9; ++i) await tapButton(fingers, "Bigger");
  await fingers.press(0, screen.at(320, 200));
  await page.waitForFrames(60);
  await fingers.lift(0);
  await page.waitForFrames(150);
  let wallTop = 300;
  while (wallTop > 290 && (await wallCells(screen, wallTop - 1, wallTop - 1)) > 0) --wallTop;
  const resting = await waterOnTheWall(screen, wallTop);
  check(resting >= 4, `${where}: water poured with the water brush rests on the wall (${resting} of 9 points)`);
  await checkSharp(page, screen, wallTop - 1, where);
  await keepScreenshot(page, `phone-sandbox-${phone.width}x${phone.height}.png`);

  // Edit by finger, paused: Clear scene empties the scene, Undo brings the wall back, Redo empties
  // it again.
  await pressControl(page, tap, "button", "Run/Pause");
  const before = await wallCells(screen, 290, 310);
  const item = await (async () => {
    await pressControl(page, tap, "title", "Edit");
    const found = await control(page, "item", "Clear scene");
    await pressControl(page, tap, "title", "Edit");  // closed again
    return found;
  })();
  check(item && item.height >= 44, `${where}: the items of Edit are at least 44 CSS pixels high (${item && item.height})`);
  const picks = [];
  for (const pick of ["Clear scene", "Undo", "Redo"]) {
    await pickMenuItem(page, tap, "Edit", pick);
    await page.waitForFrames(3);
    picks.push(`${pick}: ${await wallCells(screen, 290, 310)}`);
  }
  const counts = picks.map((p) => Number(p.split(": ")[1]));
  check(counts[0] === 0 && counts[1] === before && before > 0 && counts[2] === 0,
        `${where}: a finger picks the item it aims at (wall cells after ${picks.join(", ")}; ${before} before)`);
  checks.lastShot = null;
  await checkNoMouse(page, where);
  checks.checkConsole(page, where);
}

async function main() {
  // Upright, the canvas fills the width; on its side the demonstration's 640 × 480 is twice its
  // size (a whole factor that shows more than half the room's area) and the sandbox's 640 × 542
  // fills the height.
  await onPhone("ondrel.html", upright, (page, phone) => playDemo(page, phone, "width"));
  await onPhone("ondrel.html", onItsSide, (page, phone) => playDemo(page, phone, 2));
  await onPhone("sandbox.html", upright, (page, phone) => playSandbox(page, phone, "width"));
  await onPhone("sandbox.html", onItsSide, (page, phone) => playSandbox(page, phone, "height"));
  checks.finish("the pages play on a phone, upright and on its side");
}

main().catch((e) => {
  console.error(e.stack || String(e));
  process.exit(1);
});
