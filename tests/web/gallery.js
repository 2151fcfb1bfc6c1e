// The gallery's page, as the browser tests play it: its menu bar (19 pixels) above its
// 640 × 480 client area, all in the canvas. Its first page is Shapes; the page buttons are
// 96 × 28 at client y 442, 9 apart from x 9, Tasks the sixth; the menu titles Gallery, Pages,
// View start at x 0, 54, 96, and a drop-down's items are 16 pixels high from y 22.
"use strict";
const { same, Screen } = require("./checks");

const background = [34, 34, 34];  // the pages' dark grey

// Waits for the gallery's first page and checks how the canvas is shown: { screen, header,
// pixel }, the header (client rows 0-31: the page's title and where it is in the tour) as one
// colour a window pixel.
async function openGallery(page, checks) {
  // The window is shown as it is made, and again as its menu bar and each button are added, a
  // display refresh each, before the gallery draws its first page: wait for the page's dark grey.
  await page.waitFor(`(() => {
    const c = document.querySelector("#screen canvas");
    const d = c && c.getContext("2d").getImageData(630, 57, 1, 1).data;
    return !!d && d[0] === ${background[0]} && d[1] === ${background[1]} && d[2] === ${background[2]};
  })()`, 20000, "the gallery's first page");
  const screen = await Screen.of(page);
  const title = await page.evaluate("document.title");
  checks.check(screen.pixelsWide === 640 && screen.pixelsHigh === 499,
               `the gallery's canvas is its menu bar and client area (${screen.pixelsWide} × ${screen.pixelsHigh})`);
  checks.check(title === "Ondrel gallery", `the page's title is the gallery's caption ("${title}")`);
  checks.check(screen.k === 2, `the canvas is shown at twice its size (${screen.width} wide)`);
  const header = async () => {
    const shot = checks.lastShot = await screen.shot(0, 19, 640, 32);
    const colours = [];
    for (let y = 19; y < 19 + 32; ++y) for (let x = 0; x < 640; ++x) colours.push(shot.rgb(x, y).join(","));
    return colours;
  };
  const pixel = async (x, y) => (checks.lastShot = await screen.shot(x, y, 1, 1)).rgb(x, y);
  return { screen, header, pixel };
}

// The Tasks button, then Pages > Shapes, each pressed with `press(x, y)` at a window pixel (a
// click or a tap, `how`), turn the pages; the drop-down opens over the page and goes again.
async function turnGalleryPages({ header, pixel }, checks, press, how) {
  const differing = (a, b) => a.filter((c, i) => c !== b[i]).length;
  const shapes = await header();
  await press(9 + 5 * 105 + 48, 19 + 456);
  const tasks = await header();
  checks.check(differing(shapes, tasks) > 0, `${how} the Tasks button turns the page (${differing(shapes, tasks)} header pixels changed)`);

  await press(66, 9);
  const open = await pixel(66, 62);
  checks.check(same(open, [192, 192, 192]), `${how} "Pages" opens its drop-down over the page (${open})`);
  await press(84, 22 + 8);
  const back = await header();
  checks.check(differing(shapes, back) === 0, `${how} Pages > Shapes brings the first page back (${differing(shapes, back)} header pixels differ)`);
  const closed = await pixel(66, 62);
  checks.check(same(closed, background), `the drop-down is gone (${closed})`);
}

module.exports = { openGallery, turnGalleryPages };
