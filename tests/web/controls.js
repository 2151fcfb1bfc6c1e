// The window's controls as the web page presents them (menu titles, the items of an open
// drop-down, the window's push buttons) and the page's own touch buttons, found by their text.
"use strict";

const kinds = {
  title: ".ondrel-menu-title",
  item: ".ondrel-dropdown .ondrel-menu-item",
  button: ".ondrel-window-button",
  touch: "#touch-buttons button",
};

// The page point at the middle of the control of `kind` whose text is `text`, with its rectangle
// (CSS pixels) and state; null when there is none.
function control(page, kind, text) {
  return page.evaluate(`(() => {
    const e = [...document.querySelectorAll(${JSON.stringify(kinds[kind])})]
      .find((e) => (e.querySelector(".ondrel-text") || e).textContent.trim() === ${JSON.stringify(text)});
    if (!e) return null;
    const r = e.getBoundingClientRect();
    return { at: [r.left + r.width / 2, r.top + r.height / 2], left: r.left, top: r.top, width: r.width, height: r.height,
             pressed: e.getAttribute("aria-pressed"), checked: e.getAttribute("aria-checked"), disabled: e.disabled };
  })()`);
}

// Presses (clicks or taps, as `press(point)` does) the control of `kind` named `text`; fails
// when the page has none.
async function pressControl(page, press, kind, text) {
  const found = await control(page, kind, text);
  if (!found) throw new Error(`the page shows no ${kind} "${text}"`);
  await press(found.at);
}

// Opens the drop-down `title` and picks its item `item`, each with `press(point)`.
async function pickMenuItem(page, press, title, item) {
  await pressControl(page, press, "title", title);
  await page.waitFor(`!!document.querySelector(".ondrel-dropdown")`, 5000, `the drop-down of ${title}`);
  await pressControl(page, press, "item", item);
}

// Waits until the program's window shows the push button `last` (the last one it makes) and a
// frame or two more.
async function windowReady(page, last) {
  await page.waitFor(`[...document.querySelectorAll(".ondrel-window-button")].some((b) => b.textContent === ${JSON.stringify(last)})`,
                     20000, `the window with its button ${last}`);
  await page.waitForFrames(2);
}

module.exports = { control, pressControl, pickMenuItem, windowReady };
