"""What the examples' windows must show, from what each example says it does (the comment at its
top) and the default palette and font (media/palette.txt, media/font8x12.txt), written out here.
  expect.py EXAMPLE FOLDER   checks the shots check.cpp wrote into FOLDER."""
import struct
import sys

BLACK, WHITE = (0, 0, 0), (255, 255, 255)
BLUE, GREEN, RED = (0, 0, 170), (0, 170, 0), (170, 0, 0)  # palette indices 1, 2, 4
YELLOW = (255, 255, 85)    # 14, the fish's stripe (its tint)
ORANGE = (255, 156, 48)    # 45: the middle of the orange ramp 43-47, (255,112,0) to (255,200,96)
DARK_GREY = (34, 34, 34)   # 18: the grey ramp 16-31 runs from black to white in steps of 17
LANE_GREY = (170, 170, 170)  # 7
MENU_BAR = 19              # pixels of the menu bar above a client area

failures = []


def read_ppm(name):
    with open(name, "rb") as f:
        data = f.read()
    magic, width, height, depth, rest = data.split(maxsplit=4)
    assert magic == b"P6" and depth == b"255"
    width, height = int(width), int(height)
    return width, height, rest


def pixel(image, x, y):
    width, _, rest = image
    i = 3 * (y * width + x)
    return tuple(rest[i:i + 3])


def expect(image, x, y, colour, what):
    got = pixel(image, x, y)
    if got != colour:
        failures.append(f"{what}: ({x}, {y}) is {got}, not {colour}")


def hello(folder):
    shot = read_ppm(f"{folder}/hello.ppm")  # after 20 frames
    expect(shot, 0, 0, BLUE, "background")
    expect(shot, 639, 479, BLUE, "background")
    # "Hello, ..." at (16, 16): H's left stem is glyph column 1, rows 1 to 8; column 0 is empty.
    for row in range(1, 9):
        expect(shot, 17, 16 + row, WHITE, "the H's stem")
        expect(shot, 16, 16 + row, BLUE, "the gap before the H")
    for column in range(1, 7):
        expect(shot, 16 + column, 20, WHITE, "the H's bar")
    # The fish: from (100, 200), 3 right and 2 down a frame, 20 frames: at (160, 240), facing
    # right. Its frame 0 (media/sprites.txt): orange top at u 5-8 of row 0; row 2 has the stripe
    # (tinted yellow) at u 4-5 and the black eye at u 9.
    for u in range(5, 9):
        expect(shot, 160 + u, 240, ORANGE, "the fish's back")
    expect(shot, 164, 242, YELLOW, "the fish's stripe")
    expect(shot, 165, 242, YELLOW, "the fish's stripe")
    expect(shot, 169, 242, BLACK, "the fish's eye")
    orange = [(x, y) for y in range(480) for x in range(640) if pixel(shot, x, y) == ORANGE]
    outside = [p for p in orange if not (160 <= p[0] < 172 and 240 <= p[1] < 247)]
    if outside:
        failures.append(f"fish colour outside the fish's 12 x 7 frame at (160, 240): {outside[:5]}")


def paint(folder):
    drawn = read_ppm(f"{folder}/paint-drawn.ppm")
    y = lambda client_y: client_y + MENU_BAR
    # A black stroke from (100, 100) to (200, 100); then red (the fifth colour) picked, and a
    # stroke from (100, 200) down to (100, 300); the rest of the picture white.
    for x in (100, 150, 200):
        expect(drawn, x, y(100), BLACK, "the first stroke")
    for cy in (200, 250, 300):
        expect(drawn, 100, y(cy), RED, "the second stroke, in the picked colour")
    expect(drawn, 300, y(300), WHITE, "the untouched picture")
    expect(drawn, 100, y(310), WHITE, "below the second stroke")
    # The colour row: colour c fills 40 pixels from x = 40c; the picked one is framed in white.
    expect(drawn, 4 * 40 + 20, y(468), RED, "the red swatch")
    expect(drawn, 2 * 40 + 20, y(468), GREEN, "the green swatch")
    expect(drawn, 4 * 40, y(468), WHITE, "the frame of the picked swatch")
    # Saved: an 8-bit BMP of the 640 x 456 picture.
    with open(f"{folder}/paint.bmp", "rb") as f:
        bmp = f.read()
    offset, = struct.unpack_from("<I", bmp, 10)
    width, height, planes, bits = struct.unpack_from("<iiHH", bmp, 18)
    if bmp[:2] != b"BM" or bits != 8 or width != 640 or abs(height) != 456:
        failures.append(f"paint.bmp is not an 8-bit 640 x 456 bitmap: {bits} bits, {width} x {height}")
    else:
        def index(x, cy):
            row = cy if height < 0 else height - 1 - cy
            return bmp[offset + row * 640 + x]
        if (index(150, 100), index(100, 250), index(300, 300)) != (0, 4, 15):
            failures.append(f"paint.bmp holds {index(150, 100)}, {index(100, 250)}, {index(300, 300)}, not 0, 4, 15")
    cleared = read_ppm(f"{folder}/paint-cleared.ppm")
    for x, cy in ((150, 100), (100, 250)):
        expect(cleared, x, y(cy), WHITE, "the picture after Clear")


def ball_centre(shot, lane_y):
    """The middle column of the ball's pixels on the lane's row (neither background nor lane)."""
    columns = [x for x in range(640) if pixel(shot, x, lane_y) not in (DARK_GREY, LANE_GREY)]
    return (min(columns) + max(columns)) // 2 if columns else None


def tasks(folder):
    # Lanes at y 60, 180, 300; balls start centred at x 60. A (2 pixels a pass) was started at
    # turn 2, so each idle turn after moves it 2 pixels; B and C were never started.
    first, second, stopped = (read_ppm(f"{folder}/tasks-{n}.ppm") for n in (12, 22, 30))
    a1, a2, a3 = (ball_centre(s, 60) for s in (first, second, stopped))
    if a1 is None or a2 is None or a2 - a1 != 20:
        failures.append(f"A did not move 2 pixels a turn: at {a1}, ten turns later at {a2}")
    if a3 != ball_centre(read_ppm(f"{folder}/tasks-26.ppm"), 60):
        failures.append("A moved after Stop")
    for lane, name in ((180, "B"), (300, "C")):
        if ball_centre(second, lane) != 60:
            failures.append(f"{name}, never started, is at {ball_centre(second, lane)}, not 60")


def template(folder):
    shot = read_ppm(f"{folder}/main.ppm")
    expect(shot, 0, 0, GREEN, "the background")
    expect(shot, 639, 479, GREEN, "the background")
    box = [(x, y) for y in range(225, 256) for x in range(220, 420) if pixel(shot, x, y) == WHITE]
    if not box:
        failures.append("no white text at the window's centre")


{"hello": hello, "paint": paint, "tasks": tasks, "main": template}[sys.argv[1]](sys.argv[2])
if failures:
    print(f"{sys.argv[1]}:", *failures, sep="\n  ")
    sys.exit(1)
print(f"{sys.argv[1]}: as expected")
