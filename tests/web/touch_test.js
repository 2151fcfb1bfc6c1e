// The pages on a touch screen, played with fingers alone (DevTools touch events). The
// demonstration's page: its touch buttons beside the canvas send the keypad keys (Faster, Slower,
// seen as the frame-skip text) and C (Clear); a finger draws a wall, a second finger beside it
// changes nothing; in erase mode a tap moves the pointer, Pour held pours water there, which
// rests on the wall; an erase stroke cuts the wall; all seen in the canvas. The browser neither
// scrolls the page under a finger on the canvas nor makes mouse events of its touches. The
// sandbox's page: its touch buttons set the brush size, its own push buttons pick the tools and
// pause and run it (the window's own, which the page shows as buttons); a finger draws a wall of the brush's width and pours water with the water
// brush only while it runs, which rests on the wall; a mouse wheel over the canvas sets the brush
// size too. The gallery's page: its buttons and menus answer taps.
// Usage: node touch_test.js URL SOURCE_ROOT
"use strict";
const { Browser } = require("./browser");
const { paletteEntry, fontInk, same, wallPath, walledAt, restingAt, watchCorner, textWasShown, Checks, Screen } = require("./checks");
const { openGallery, turnGalleryPages } = require("./gallery");
const { Fingers, touchButton, holdButton, tapButton } = require("./touch");
const { control, pressControl } = require("./controls");

const [url, sourceRoot] = process.argv.slice(2);
if (!url || !sourceRoot) {
  console.error("usage: node touch_test.js URL SOURCE_ROOT");
  process.exit(2);
}
const checks = new Checks("touch_test");
const check = (ok, what) => checks.check(ok, what);

// A page of the site opened on a touch screen in its own browser, `width` × `height`, and played
// by `play(page)`.
async function onTouchScreen(file, { width, height }, play) {
  const browser = await Browser.launch({ width, height });
  try {
    await play(await browser.newPage(new URL(file, url).href, { touch: true }));
  } finally {
    await browser.close();
  }
}

// Counts what the page would see of a touch on a canvas besides the touch itself: mouse events
// the browser makes of it, and scrolling. The page is made taller than the window so that a
// finger could scroll it.
async function watchCanvas(page) {
  await page.evaluate(`(() => {
    window.mouseOnCanvas = 0;
    for (const type of ["mousedown", "mouseup", "click"])
      document.addEventListener(type, (e) => { if (e.target.tagName === "CANVAS") ++window.mouseOnCanvas; }, true);
    const tall = document.createElement("div");
    tall.style.cssText = "position: absolute; top: 0; left: 0; width: 1px; height: 400vh";
    document.body.appendChild(tall);
  })()`);
}

// The wall of wallPath in the first `rows` rows of a shot: [its columns x 200 to 440 walled in
// row 300 or 301, the wall cells anywhere else].
function wallOf(cell, rows, columns, wall) {
  let walled = 0;
  let stray = 0;
  for (let x = 200; x <= 440; ++x) if (walledAt(cell, x, wall)) ++walled;
  for (let y = 0; y < rows; ++y)
    for (let x = 0; x < columns; ++x)
      if ((y < 300 || y > 301 || x < 200 || x > 440) && same(cell(x, y), wall)) ++stray;
  return [walled, stray];
}

async function playDemo(page) {
  const wall = paletteEntry(sourceRoot, 0);
  const water = paletteEntry(sourceRoot, 1);
  const empty = paletteEntry(sourceRoot, 15);
  const text = paletteEntry(sourceRoot, 233);
  const ink = fontInk(sourceRoot);

  await page.waitFor("(Module.ondrelFrames || 0) > 0", 20000, "the first frame");
  await watchCanvas(page);
  const screen = await Screen.of(page);
  check(screen.k === 2, `the canvas is shown at twice its size beside the buttons (${screen.width} wide)`);
  for (const label of ["Pour", "Erase", "Clear", "Faster", "Slower"]) {
    const button = await touchButton(page, label);
    // 48 page pixels: the usual least size of something to touch.
    check(button.left >= screen.left + screen.width && button.width >= 48 && button.height >= 48,
          `"${label}" is a button beside the canvas, large enough for a finger (${button.width} × ${button.height} at x ${button.left})`);
  }
  const fingers = new Fingers(page);
  const at = (x, y) => screen.at(x, y);

  // Slower ten times is keypad - ten times: frame skip 10 becomes 0; then Faster, keypad +, makes
  // it 1, with which every step is shown, so that counting shown frames counts steps. Each shows
  // its frame skip at the top-left corner for a second, in a frame shown at once at these frame
  // skips: the frames the page paints are looked at as it paints them.
  const frameSkipShown = async (label) => {
    const wrong = await textWasShown(page, label, ink, text, empty);
    checks.lastShot = await screen.shot(0, 0, label.length * 8, 12);
    check(wrong === 0, `"${label}" at the top-left corner (${wrong} pixels differ)`);
  };
  for (let i = 0; i < 9; ++i) await tapButton(fingers, "Slower");
  await watchCorner(page, 14 * 8, 12);
  await tapButton(fingers, "Slower");
  await frameSkipShown("Frame Skip :0");
  await tapButton(fingers, "Faster");
  await frameSkipShown("Frame Skip :1");

  // A wall from (200, 300) to (440, 300), two strokes thick, drawn with finger 0; on the way,
  // finger 1 goes down at (320, 100) and moves to (360, 140), which must draw and move nothing.
  await fingers.press(0, at(...wallPath[0]));
  await page.waitForFrames(2);
  for (const [x, y] of wallPath.slice(1)) {
    await fingers.move(0, at(x, y));
    await page.waitForFrames(2);
    if (x === 280 && y === 300) {
      await fingers.press(1, at(320, 100));
      await page.waitForFrames(2);
    }
    if (x === 320 && y === 300) {
      await fingers.move(1, at(360, 140));
      await page.waitForFrames(2);
      await fingers.lift(1);
      await page.waitForFrames(2);
    }
  }
  await fingers.lift(0);
  await page.waitForFrames(2);

  // Erase mode: a tap at (320, 200), on nothing, puts the pointer there without drawing.
  await tapButton(fingers, "Erase");
  check((await touchButton(page, "Erase")).pressed === "true", "Erase shows it is on");
  await fingers.press(0, at(320, 200));
  await page.waitForFrames(2);
  await fingers.lift(0);
  await tapButton(fingers, "Erase");
  check((await touchButton(page, "Erase")).pressed === "false", "Erase shows it is off again");

  // Pour held for about sixty steps; then the water settles on the wall.
  await holdButton(fingers, "Pour", () => page.waitForFrames(60));
  await page.waitForFrames(150);

  let shot = checks.lastShot = await screen.shot();
  const [stroke, stray] = wallOf(shot.rgb, 480, 640, wall);
  check(stroke === 241 && stray === 0,
        `the wall is the stroke of finger 0 and nothing else (${stroke} of 241 columns on it, ${stray} cells elsewhere)`);
  check(same(shot.rgb(320, 40), empty), `empty above the pour point (${shot.rgb(320, 40)})`);
  check(same(shot.rgb(320, 330), empty), `no water under the wall (${shot.rgb(320, 330)})`);
  let resting = 0;
  for (let x = 300; x <= 340; x += 5) if (restingAt(shot.rgb, x, wall, water)) ++resting;
  check(resting >= 4, `water poured with the Pour button rests on the wall below the tap (${resting} of 9 cells)`);

  // Erase mode: a finger drawn up across the wall at x 420 erases a disc (radius 10) wherever it
  // goes; upwards, it would scroll the page if the browser had it.
  await tapButton(fingers, "Erase");
  await fingers.press(0, at(420, 420));
  await page.waitForFrames(2);
  for (let y = 380; y >= 180; y -= 40) {
    await fingers.move(0, at(420, y));
    await page.waitForFrames(2);
  }
  await fingers.lift(0);
  await tapButton(fingers, "Erase");
  await page.waitForFrames(2);
  shot = checks.lastShot = await screen.shot(0, 300, 640, 2);
  let kept = 0;
  let cut = 0;
  for (let x = 200; x <= 440; ++x) {
    const isWall = walledAt(shot.rgb, x, wall);
    if ((x <= 405 || x >= 436) && isWall) ++kept;
    if (x >= 413 && x <= 427 && !isWall) ++cut;
  }
  check(kept === 206 + 5 && cut === 15, `the erase stroke cut the wall at x 420 (${cut} of 15 cells gone, ${kept} of 211 kept)`);
  const { scrollY, scale } = await page.evaluate("({ scrollY: window.scrollY, scale: window.visualViewport.scale })");
  check(scrollY === 0 && scale === 1, `a finger on the canvas neither scrolls nor zooms the page (scrollY ${scrollY}, scale ${scale})`);

  // Clear is C: the scene is empty again.
  await tapButton(fingers, "Clear");
  await page.waitForFrames(3);
  shot = checks.lastShot = await screen.shot();
  let left = 0;
  for (let y = 0; y < 480; ++y) for (let x = 0; x < 640; ++x) if (!same(shot.rgb(x, y), empty)) ++left;
  check(left === 0, `Clear empties the scene (${left} pixels not empty)`);

  checks.lastShot = null;
  const mice = await page.evaluate("window.mouseOnCanvas");
  check(mice === 0, `the browser made no mouse event of a touch on the canvas (${mice})`);
  checks.checkConsole(page, "the page");
}

// The sandbox's window: the 640 × 480 scene at the top of its client area, in the canvas; its
// menus and its push buttons, the six tools (Wall, Eraser, Line, Water, Tap, Fill), Run/Pause and
// Undo, page elements beside it.
async function playSandbox(page) {
  const wall = paletteEntry(sourceRoot, 0);
  const water = paletteEntry(sourceRoot, 1);
  const empty = paletteEntry(sourceRoot, 15);

  await page.waitFor(`[...document.querySelectorAll(".ondrel-window-button")].some((b) => b.textContent === "Undo")`, 20000,
                     "the sandbox's window with its buttons");
  await watchCanvas(page);
  const screen = await Screen.of(page);
  for (const label of ["Step", "Bigger", "Smaller", "Faster", "Slower"]) {
    const button = await touchButton(page, label);
    check(button.left >= screen.left + screen.width && button.width >= 48 && button.height >= 48,
          `the sandbox's "${label}" is a button beside the canvas, large enough for a finger (${button.width} × ${button.height} at x ${button.left})`);
  }
  for (const label of ["Wall", "Water", "Run/Pause", "Undo"]) {
    const button = await control(page, "button", label);
    check(button && button.left >= screen.left + screen.width && button.width >= 44 && button.height >= 44,
          `the window's push button "${label}" is a page button beside the canvas, large enough for a finger (${button && button.width} × ${button && button.height})`);
  }
  const fingers = new Fingers(page);
  const at = (x, y) => screen.at(x, y);  // a cell of the scene
  const tap = async (point) => {
    await fingers.press(0, point);
    await page.waitForFrames(2);
    await fingers.lift(0);
    await page.waitForFrames(2);
  };
  const pushButton = (label) => pressControl(page, tap, "button", label);
  const sceneShot = async () => {
    const shot = checks.lastShot = await screen.shot(0, 0, 640, 480);
    return shot.rgb;
  };
  // The cells of `colour` in the scene's first `rows` rows: [those `wanted(x, y)` names, the others].
  const cellsOf = (cell, colour, rows = 480, wanted = () => true) => {
    const counts = [0, 0];
    for (let y = 0; y < rows; ++y) for (let x = 0; x < 640; ++x) if (same(cell(x, y), colour)) ++counts[wanted(x, y) ? 0 : 1];
    return counts;
  };

  // Smaller three times: the brush from 4 to 1, so the wall tool draws single cells. A wall from
  // (200, 300) to (440, 300), two strokes thick.
  for (let i = 0; i < 3; ++i) await tapButton(fingers, "Smaller");
  await pushButton("Wall");
  await fingers.press(0, at(...wallPath[0]));
  await page.waitForFrames(2);
  for (const [x, y] of wallPath.slice(1)) {
    await fingers.move(0, at(x, y));
    await page.waitForFrames(2);
  }
  await fingers.lift(0);
  await page.waitForFrames(2);

  // The water brush, Bigger ten times (11 cells, the demonstration's pour), paused with the
  // Run/Pause button: a finger held at (320, 200) pours nothing while no step runs.
  await pushButton("Water");
  for (let i = 0; i < 10; ++i) await tapButton(fingers, "Bigger");
  await pushButton("Run/Pause");
  await fingers.press(0, at(320, 200));
  await page.waitForFrames(30);
  await fingers.lift(0);
  await page.waitForFrames(2);
  let cell = await sceneShot();
  const [pausedWater] = cellsOf(cell, water);
  check(pausedWater === 0, `paused, the held water brush pours nothing (${pausedWater} water cells)`);

  // Run again, the finger held for about sixty steps; then the water settles on the wall.
  await pushButton("Run/Pause");
  await fingers.press(0, at(320, 200));
  await page.waitForFrames(60);
  await fingers.lift(0);
  await page.waitForFrames(150);
  cell = await sceneShot();
  const [stroke, stray] = wallOf(cell, 480, 640, wall);
  check(stroke === 241 && stray === 0,
        `the sandbox's wall is the finger's two strokes, each one cell wide (${stroke} of 241 columns on it, ${stray} cells elsewhere)`);
  check(same(cell(320, 330), empty), `no water under the sandbox's wall (${cell(320, 330)})`);
  let resting = 0;
  for (let x = 300; x <= 340; x += 5) if (restingAt(cell, x, wall, water)) ++resting;
  check(resting >= 4, `water poured with the water brush rests on the sandbox's wall (${resting} of 9 cells)`);

  // The wheel of a mouse beside the touch screen, over the canvas: ten notches towards the user
  // take the brush from 11 to 1, and the wall tool's tap at (100, 100) walls that one cell; two
  // notches away make it 3, and a tap at (500, 100) walls the 3 × 3 block around it.
  const wheel = async (notches) => {
    const [x, y] = at(320, 240);
    await page.send("Input.dispatchMouseEvent", { type: "mouseWheel", x, y, deltaX: 0, deltaY: -100 * notches });
    await page.waitForFrames(2);
  };
  await pushButton("Wall");
  await wheel(-10);
  await tap(at(100, 100));
  await wheel(2);
  await tap(at(500, 100));
  await page.mouse("mouseMoved", ...at(320, 400));  // the brush's outline, drawn at the pointer, out of the way
  await page.waitForFrames(2);
  cell = await sceneShot();
  const [stamps, others] =
    cellsOf(cell, wall, 300, (x, y) => (x === 100 && y === 100) || (Math.abs(x - 500) <= 1 && Math.abs(y - 100) <= 1));
  check(stamps === 10 && others === 0,
        `the wheel sets the brush: a cell, then a 3 × 3 block (${stamps} of 10 cells walled, ${others} elsewhere above the wall)`);
  const scrolled = await page.evaluate("window.scrollY");
  check(scrolled === 0, `the wheel over the canvas does not scroll the page (scrollY ${scrolled})`);

  checks.lastShot = null;
  const mice = await page.evaluate("window.mouseOnCanvas");
  check(mice === 0, `the browser made no mouse event of a touch on the sandbox's canvas (${mice})`);
  checks.checkConsole(page, "the sandbox page");
}

async function playGallery(page) {
  const gallery = await openGallery(page, checks);
  const keys = await page.evaluate("document.querySelectorAll('#touch-buttons button').length");
  check(keys === 0, `the gallery's page shows no touch buttons (${keys})`);
  const fingers = new Fingers(page);
  const tap = async (point) => {
    await fingers.press(0, point);
    await fingers.lift(0);
  };
  await turnGalleryPages(gallery, checks, tap, "tapping");
  checks.checkConsole(page, "the gallery page");
}

// Another page is one more line here, onTouchScreen("<page>.html", { width, height }, playIt),
// with playIt(page) putting Fingers on its Screen and its touch buttons (tapButton, holdButton).
async function main() {
  // Room for the canvas at twice its size beside the buttons; for the gallery's, under its line of
  // controls.
  await onTouchScreen("ondrel.html", { width: 1600, height: 1100 }, playDemo);
  await onTouchScreen("sandbox.html", { width: 1600, height: 1300 }, playSandbox);
  await onTouchScreen("gallery.html", { width: 1400, height: 1200 }, playGallery);
  checks.finish("the pages play by touch");
}

main().catch((e) => {
  console.error(e.stack || String(e));
  process.exit(1);
});
