// Touch for the browser tests: fingers on a page opened on a touch screen (Browser.newPage with
// `touch`), put down, moved and lifted through DevTools touch events, on a program's canvas or on
// the page's touch buttons.
"use strict";

class Fingers {
  constructor(page) {
    this.page = page;
    this.down = new Map();  // id → { x, y } in page pixels
  }

  send(type) {
    return this.page.touch(type, [...this.down].map(([id, p]) => ({ id, ...p })));
  }

  // Finger `id` goes down at the page point [x, y].
  press(id, [x, y]) {
    this.down.set(id, { x, y });
    return this.send("touchStart");
  }

  move(id, [x, y]) {
    this.down.set(id, { x, y });
    return this.send("touchMove");
  }

  lift(id) {
    this.down.delete(id);
    return this.send(this.down.size ? "touchMove" : "touchEnd");
  }
}

// The page point at the middle of the touch button labelled `label`, and its size.
function touchButton(page, label) {
  return page.evaluate(`(() => {
    const button = [...document.querySelectorAll("#touch-buttons button")].find((b) => b.textContent === ${JSON.stringify(label)});
    if (!button) throw new Error("the page has no touch button " + ${JSON.stringify(label)});
    const r = button.getBoundingClientRect();
    return { at: [r.left + r.width / 2, r.top + r.height / 2], left: r.left, width: r.width, height: r.height,
             pressed: button.getAttribute("aria-pressed") };
  })()`);
}

// A finger on the touch button `label` while `during()` runs. Finger ids 10 and up are the buttons'.
async function holdButton(fingers, label, during) {
  const { at } = await touchButton(fingers.page, label);
  await fingers.press(10, at);
  try {
    await during();
  } finally {
    await fingers.lift(10);
  }
}

// A tap on the touch button `label`, each half seen by the program's frames.
function tapButton(fingers, label) {
  return holdButton(fingers, label, () => fingers.page.waitForFrames(2));
}

// A stroke of finger 0 along window row y of `screen` from x0 to x1, 40 pixels a move, each step
// seen by the program's frames.
async function stroke(fingers, screen, x0, x1, y) {
  const page = fingers.page;
  await fingers.press(0, screen.at(x0, y));
  await page.waitForFrames(2);
  for (let x = x0 + 40; x < x1 + 40; x += 40) {
    await fingers.move(0, screen.at(Math.min(x, x1), y));
    await page.waitForFrames(2);
  }
  await fingers.lift(0);
  await page.waitForFrames(2);
}

module.exports = { Fingers, touchButton, holdButton, tapButton, stroke };
