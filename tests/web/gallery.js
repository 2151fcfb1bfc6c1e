// The gallery's page, as the browser tests play it: its 640 × 480 client area in the canvas, its
// menus (Gallery, Pages, View) and its page buttons (Shapes … Tasks) page elements beside it. Its
// first page is Shapes.
"use strict";
const { same, Screen } = require("./checks");
const { control, pressControl } = require("./controls");

const background = [34, 34, 34];  // the pages' dark grey

// Waits for the gallery's first page and checks how the canvas is shown: { screen, header,
// pixel }, the header (client rows 0-31: the page's title and where it is in the tour) as one
// colour a window pixel.
async function openGallery(page, checks) {
  // The window is shown as it is made, and again as its menu bar and each button are added, a
  // display refresh each, before the gallery draws its first page: wait for the page's dark grey
  // and for the last of its buttons.
  await page.waitFor(`(() => {
    const c = document.querySelector("#screen canvas");
    const d = c && c.getContext("2d").getImageData(630, 38, 1, 1).data;
    return !!d && d[0] === ${background[0]} && d[1] === ${background[1]} && d[2] === ${background[2]} &&
           [...document.querySelectorAll(".ondrel-window-button")].some((b) => b.textContent === "Tasks");
  })()`, 20000, "the gallery's first page");
  const screen = await Screen.of(page);
  const title = await page.evaluate("document.title");
  checks.check(screen.pixelsWide === 640 && screen.pixelsHigh === 480,
               `the gallery's canvas is its client area (${screen.pixelsWide} × ${screen.pixelsHigh})`);
  checks.check(title === "Ondrel gallery", `the page's title is the gallery's caption ("${title}")`);
  checks.check(screen.k === 2, `the canvas is shown at twice its size (${screen.width} wide)`);
  const titles = [];
  for (const name of ["Gallery", "Pages", "View"]) if (await control(page, "title", name)) titles.push(name);
  checks.check(titles.length === 3, `the gallery's menus are page elements (${titles.join(", ")})`);
  const header = async () => {
    const shot = checks.lastShot = await screen.shot(0, 0, 640, 32);
    const colours = [];
    for (let y = 0; y < 32; ++y) for (let x = 0; x < 640; ++x) colours.push(shot.rgb(x, y).join(","));
    return colours;
  };
  const pixel = async (x, y) => (checks.lastShot = await screen.shot(x, y, 1, 1)).rgb(x, y);
  return { page, screen, header, pixel };
}

// The Tasks button, then Pages > Shapes, each pressed with `press(point)` at a page point (a
// click or a tap, `how`), turn the pages; the drop-down opens over the page and goes again.
async function turnGalleryPages({ page, header }, checks, press, how) {
  const differing = (a, b) => a.filter((c, i) => c !== b[i]).length;
  const shapes = await header();
  await pressControl(page, press, "button", "Tasks");
  await page.waitForFrames(3);
  const tasks = await header();
  checks.check(differing(shapes, tasks) > 0, `${how} the Tasks button turns the page (${differing(shapes, tasks)} header pixels changed)`);

  await pressControl(page, press, "title", "Pages");
  const open = await control(page, "item", "Shapes");
  checks.check(open !== null, `${how} "Pages" opens its drop-down, Shapes in it`);
  await pressControl(page, press, "item", "Shapes");
  await page.waitForFrames(3);
  const back = await header();
  checks.check(differing(shapes, back) === 0, `${how} Pages > Shapes brings the first page back (${differing(shapes, back)} header pixels differ)`);
  const closed = await page.evaluate(`!document.querySelector(".ondrel-dropdown")`);
  checks.check(closed, "the drop-down is gone");
}

module.exports = { openGallery, turnGalleryPages, background };
