#!/usr/bin/env python3
"""Prints pages through the print page tool on the spooler's PDF printer and
checks each PDF the spooler makes: the header and footer texts above and
below the view, legible and clear of it (pdftotext, pdftoppm), and the view's
frame and drawing inside the printable area, with blank margins. One page at
50 % of the tool's 800 x 600 view, which leaves room around the content, and
one at 100 % of a maximised window's view on a full HD screen, whose content
would fill the printable area.

    check_printed_page.py --wine-run WINE_RUN --tool PRINT_PAGE_TOOL [--repeat N]

Prints the time of each one-page job: from the tool's start until the PDF is
complete. The spooler makes the PDF shortly after the tool's process ends.
"""
import argparse
import glob
import os
import subprocess
import sys
import time

WAIT_SECONDS = 90
RESOLUTION = 75  # pixels per inch of the rendered check image


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def pdf_folder():
    return os.path.join(os.path.expanduser("~"), "PDF")


# (zoom, the view's client width and height)
PAGES = [(50, 800, 600), (100, 1900, 940)]


def run_tool(wine_run, tool, header, footer, page):
    done = subprocess.run([wine_run, tool, header, footer] + [str(v) for v in page], stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True, timeout=WAIT_SECONDS)
    layout = {}
    for line in done.stdout.splitlines():
        parts = line.split()
        if parts and parts[0] in ("caps", "screen", "printable", "content", "print_ms", "result"):
            layout[parts[0]] = [int(v) for v in parts[1:]]
    if layout.get("result") != [1]:
        fail("the tool did not print (exit %d):\n%s" % (done.returncode, done.stdout))
    return layout


def text_of(pdf, *options):
    done = subprocess.run(["pdftotext"] + list(options) + [pdf, "-"], stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL, text=True)
    return done.stdout if done.returncode == 0 else None


def wait_for_pdf(before, token):
    """The new, complete PDF whose text holds the token."""
    deadline = time.time() + WAIT_SECONDS
    while time.time() < deadline:
        for pdf in sorted(set(glob.glob(os.path.join(pdf_folder(), "*.pdf"))) - before):
            if subprocess.run(["pdfinfo", pdf], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode != 0:
                continue  # still being written
            text = text_of(pdf)
            if text is not None and token in text:
                return pdf
        time.sleep(0.02)
    fail("no PDF with %s appeared in %s within %d s" % (token, pdf_folder(), WAIT_SECONDS))


def word_boxes(pdf):
    """Each word with its box in points: (text, xMin, yMin, xMax, yMax)."""
    html = text_of(pdf, "-bbox")
    words = []
    for line in html.splitlines():
        line = line.strip()
        if not line.startswith("<word "):
            continue
        attrs = dict(part.split("=", 1) for part in line[6:line.index(">")].split())
        text = line[line.index(">") + 1:line.rindex("</word>")]
        words.append((text, *[float(attrs[k].strip('"')) for k in ("xMin", "yMin", "xMax", "yMax")]))
    return words


def grey_image(pdf):
    """The page as rows of grey values, RESOLUTION pixels per inch."""
    raw = subprocess.run(["pdftoppm", "-r", str(RESOLUTION), "-gray", "-singlefile", pdf],
                         stdout=subprocess.PIPE, check=True).stdout
    # P5 header: magic, width, height, maximum, then the bytes.
    fields, pos = [], 0
    while len(fields) < 4:
        while raw[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not raw[end:end + 1].isspace():
            end += 1
        fields.append(raw[pos:end])
        pos = end
    pos += 1
    width, height = int(fields[1]), int(fields[2])
    return [raw[pos + y * width:pos + (y + 1) * width] for y in range(height)]


def check_page(pdf, layout, header, footer, page):
    dpi = layout["caps"][4]
    to_points = 72.0 / dpi
    left, top, right, bottom = layout["printable"]
    c_left, c_top, c_right, c_bottom = layout["content"]
    zoom, _, view_height = page
    fills = view_height * layout["caps"][5] * zoom >= (bottom - top) * layout["screen"][1] * 100
    if fills != (zoom == 100):
        fail("the %d %% page is meant %s the printable area: %s" %
             (zoom, "to be filled by the view" if zoom == 100 else "to leave room around the view", layout))
    if not (c_top > top and c_bottom < bottom):
        fail("no room for the header and footer: %s" % layout)

    words = word_boxes(pdf)
    token = header.split()[-1]
    head = [w for w in words if w[0] == header.split()[0]]
    foot = [w for w in words if w[0] == footer.split()[0]]
    tokens = sorted((w for w in words if w[0] == token), key=lambda w: w[2])
    if len(head) != 1 or len(foot) != 1 or len(tokens) != 2:
        fail("header or footer missing: %s" % [w[0] for w in words])
    head.append(tokens[0])
    foot.append(tokens[1])
    slack = 2.0  # points
    for w in head:
        if not (top * to_points - slack <= w[2] and w[4] <= c_top * to_points + slack):
            fail("header word %s at %.1f..%.1f pt, not between %.1f and %.1f" %
                 (w[0], w[2], w[4], top * to_points, c_top * to_points))
    for w in foot:
        if not (c_bottom * to_points - slack <= w[2] and w[4] <= bottom * to_points + slack):
            fail("footer word %s at %.1f..%.1f pt, not between %.1f and %.1f" %
                 (w[0], w[2], w[4], c_bottom * to_points, bottom * to_points))
    # The header stands on the content, the footer hangs under it.
    if c_top * to_points - max(w[4] for w in head) > 3 * slack:
        fail("the header is not bottom-aligned on the content")
    if min(w[2] for w in foot) - c_bottom * to_points > 3 * slack:
        fail("the footer is not right under the content")

    image = grey_image(pdf)
    scale = RESOLUTION / float(dpi)

    def px(v):
        return int(round(v * scale))

    def dark_share(cells):
        return sum(1 for v in cells if v < 128) / float(max(1, len(cells)))

    # Each word is inked, not only in the text layer (a clipped text is).
    points_to_px = RESOLUTION / 72.0
    for w in head + foot:
        box = [image[y][x] for y in range(int(w[2] * points_to_px), int(w[4] * points_to_px) + 1)
               for x in range(int(w[1] * points_to_px), int(w[3] * points_to_px) + 1)]
        if dark_share(box) == 0:
            fail("the word %s is not printed" % w[0])

    # The frame: each edge dark along nearly its whole length (one row or
    # column of the rendering, give or take one for rounding).
    xs = range(px(c_left) + 2, px(c_right) - 2)
    ys = range(px(c_top) + 2, px(c_bottom) - 2)
    edges = {
        "top": max(dark_share([image[y][x] for x in xs]) for y in range(px(c_top) - 1, px(c_top) + 2)),
        "bottom": max(dark_share([image[y][x] for x in xs]) for y in range(px(c_bottom) - 2, px(c_bottom) + 1)),
        "left": max(dark_share([image[y][x] for y in ys]) for x in range(px(c_left) - 1, px(c_left) + 2)),
        "right": max(dark_share([image[y][x] for y in ys]) for x in range(px(c_right) - 2, px(c_right) + 1)),
    }
    for name, share in edges.items():
        if share < 0.9:
            fail("the content's frame is missing at its %s edge (%.0f %% dark)" % (name, share * 100))
    # The view's drawing inside: the grid's lines and the area's fill.
    inside = [image[y][x] for y in range(px(c_top) + 3, px(c_bottom) - 3) for x in range(px(c_left) + 3, px(c_right) - 3)]
    marked = sum(1 for v in inside if v < 250)
    if marked < len(inside) // 50:
        fail("the content is blank (%d of %d pixels marked)" % (marked, len(inside)))
    # The margins are blank.
    for y in range(len(image)):
        row = image[y]
        for x in list(range(0, px(left) - 2)) + list(range(px(right) + 2, len(row))):
            if row[x] < 250:
                fail("a mark in the margin at %d, %d" % (x, y))
    for y in list(range(0, px(top) - 2)) + list(range(px(bottom) + 2, len(image))):
        if min(image[y]) < 250:
            fail("a mark in the margin on row %d" % y)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--tool", required=True)
    parser.add_argument("--repeat", type=int, default=1)
    args = parser.parse_args()

    for run in range(args.repeat):
        for page in PAGES:
            token = "T%dx%dz%d" % (os.getpid(), run, page[0])
            header = "Header %s" % token
            footer = "Footer %s" % token
            before = set(glob.glob(os.path.join(pdf_folder(), "*.pdf")))
            start = time.time()
            layout = run_tool(args.wine_run, args.tool, header, footer, page)
            ended = time.time()
            pdf = wait_for_pdf(before, token)
            ready = time.time()
            print("%d %% page: one-page print job %.2f s (process %.2f s, of it Print %d ms; PDF %.2f s after it ended)" %
                  (page[0], ready - start, ended - start, layout["print_ms"][0], ready - ended))
            check_page(pdf, layout, header, footer, page)
            os.remove(pdf)
    print("PASS")


if __name__ == "__main__":
    main()
