"""The built program driven from outside, as a user and a screen reader would: mouse and keys by
xdotool, menus and controls over AT-SPI, the clipboard by xclip, window shapes, frames and pixels
from the X server. run.sh runs a scenario (drive.py ZARNIK SCENARIO) on the desktop E2E_DESKTOP."""

import os, signal, subprocess, sys, tarfile, time

import pyatspi
from gi.repository import GLib
from Xlib import XK, X, Xatom, display, protocol
from Xlib.ext import shape

ZARNIK, SCENARIO = sys.argv[1:3]
DESKTOP, RUNTIME = os.environ["E2E_DESKTOP"], os.environ["E2E_RUNTIME"]
WM, DPI120 = ("wm" in DESKTOP.split("+"), "dpi120" in DESKTOP.split("+"))
MAIN, CODE, PREVIEW, ABOUT = "Zarnik v1.5", "Программный код", "Пример", "Zarnik v1.5.15"
WEB, MAIL, MAKER = (os.environ.get(f"ZARNIK_{name}")
                    for name in ("WEB_ADDRESS", "MAIL_ADDRESS", "MAKER_LINE"))
D = display.Display()  # one connection for the run: a request sent on it is followed by a sync()
ROOT = D.screen().root
SCREEN = (0, 0, D.screen().width_in_pixels, D.screen().height_in_pixels)
STARTED = []  # the programs this run started, ended with it
SHOWING, FOCUSED = pyatspi.STATE_SHOWING, pyatspi.STATE_FOCUSED

# The texts the program writes, from templates whose lines are joined by "|".
CRLF = "\r\n"
TRIANGLE = [(10, 20), (100, 20), (50, 80)]  # the worked example
TRIANGLE_SHAPE = "P 2 3 10 20 100 20 50 80"  # its region among the reference answers
DECLARATIONS = (
    "Private Type Coordinates|X As Long|Y As Long|End Type|Dim XY() As Coordinates||Private "
    'Declare Function SetWindowRgn Lib _|"user32" (ByVal hWnd As Long, _|ByVal hRgn As Long, '
    "ByVal bRedraw As Long) As Long|Private Declare Function CreatePolygonRgn Lib _|\"gdi32\""
    "(lpPoint As Coordinates, ByVal nCount As _|Long, ByVal nPolyFillMode As Long) As Long"
).replace("|", CRLF)
ELLIPSE = (  # top, left, height, width
    "Dim MakeCircle As String||MakeCircle = CreateEllipticRgn({0}/ Screen.TwipsPerPixelX, _|{1}/ "
    "Screen.TwipsPerPixelY, _|{3}/ Screen.TwipsPerPixelX, _|{2}/ Screen.TwipsPerPixelY)|Call "
    "SetWindowRgn(Me.hWnd, MakeCircle, True)|")
FIELDS = ["Отступ сверху", "Отступ слева", "Высота", "Ширина", "Точка закругления по высоте",
          "Точка закругления по ширине"]  # the panels' boxes, in their order
ROUNDRECT = (  # the values of FIELDS
    "Dim MakeRegion As Long|MakeRegion = CreateRoundRectRgn({1} / Screen.TwipsPerPixelX, _|{0} / "
    "Screen.TwipsPerPixelY, _|{3} / Screen.TwipsPerPixelX, _|{2}/ Screen.TwipsPerPixelY, _|"
    "{5},{4})||Call SetWindowRgn(Me.hWnd, MakeRegion, True)")


vb = lambda template, *values: template.format(*values).replace("|", CRLF)


def polygon_text(points, refused=()):  # a refused click writes its line at the index after the last
    n = len(points)
    lines = [f"XY({i}).X={x}: XY({i}).Y={y}" for i, (x, y) in enumerate(points)]
    lines += [f"XY({n}).X={x}: XY({n}).Y={y}" for x, y in [*refused, points[0]]]
    return vb("Dim hRgn As Long||ReDim XY({0}) As Coordinates||{1}||hRgn = CreatePolygonRgn(XY(0),"
              "{0}, 2)|Call SetWindowRgn(Me.hWnd, hRgn, True)|", n, "|".join(lines))


def reference_pixels(request):
    """A region's pixels as the reference answers (tests/data/gdi-regions.tar.xz) give them."""
    with tarfile.open(f"{os.path.dirname(__file__)}/../data/gdi-regions.tar.xz") as archive:
        for asked, answer in (line.split(b"|") for line in archive.extractfile("cases.txt")):
            if asked.strip().decode() == request:
                n = list(map(int, answer.split()))
                return {(x, y) for i in range(n[0]) for l, t, r, b in [n[1 + 4 * i:5 + 4 * i]]
                        for y in range(t, b) for x in range(l, r)}
    raise AssertionError(f"no reference answer for {request}")


def safe(f):
    try:
        return f()
    except Exception:  # from a window, an object or a program that is going away
        return None


def wait(predicate, message, seconds=10.0):
    """Polls until predicate() gives a true value; `message` may be a function of that moment."""
    end = time.monotonic() + seconds
    while not (value := safe(predicate)):
        assert time.monotonic() < end, message() if callable(message) else message
        time.sleep(0.1)
    return value


def settled(measure):
    """What measure() gives once it stops changing (a window manager may still be placing)."""
    last, now, tries = None, measure(), 20
    while now != last and (tries := tries - 1):
        time.sleep(0.15)
        last, now = now, measure()
    return now


def xdo(*args):
    return subprocess.run(["xdotool", *map(str, args)], check=True, capture_output=True,
                          text=True).stdout


def click_at(x, y, button=1):  # with no button, a move
    pointer = ROOT.query_pointer()
    if (pointer.root_x, pointer.root_y) != (x, y):  # --sync would wait for ever for no move
        xdo("mousemove", "--sync", x, y)
    button and xdo("click", button)
    time.sleep(0.25)


def key(name):
    xdo("key", name)
    time.sleep(0.3)


def shot(name):
    prefix = SCENARIO if DESKTOP == "bare" else f"{SCENARIO}-{DESKTOP}"
    subprocess.run(["import", "-window", "root", f"{os.environ['E2E_SHOTS']}/{prefix}-{name}.png"])


def screen_pixels(x, y, width, height):  # rows of (red, green, blue)
    data = ROOT.get_image(x, y, width, height, X.ZPixmap, 0xFFFFFFFF).data
    return [[tuple(data[4 * (r * width + c) + i] for i in (2, 1, 0)) for c in range(width)]
            for r in range(height)]  # from 32 bits a pixel, blue first, in rows not padded


def expect_clipboard(text, what):
    copied = lambda: subprocess.run(["xclip", "-o", "-selection", "clipboard"],
                                    capture_output=True).stdout
    wait(lambda: copied() == text.encode(),
         lambda: f"{what}\n  expected {text.encode()!r}\n  got      {copied()!r}")


def window_named(title):
    ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                         capture_output=True, text=True).stdout.split()
    return int(ids[0]) if ids else None


def shown(title, what=None):
    return wait(lambda: window_named(title), what or f"no window '{title}' is shown")


win = lambda xid: D.create_resource_object("window", xid)


def prop(xid, name, kind=Xatom.ATOM):
    p = win(xid).get_full_property(D.intern_atom(name), kind)
    return list(p.value) if p else []


net_state = lambda xid: {D.get_atom_name(a) for a in prop(xid, "_NET_WM_STATE")}
viewable = lambda xid: win(xid).get_attributes().map_state == X.IsViewable


def inner(xid):  # a window's inside on the screen
    g, t = win(xid).get_geometry(), win(xid).translate_coords(ROOT, 0, 0)
    return -t.x, -t.y, g.width, g.height


def outer(xid):
    """A top-level window's rectangle with the frame its window manager publishes."""
    x, y, w, h = inner(xid)
    left, right, top, bottom = prop(xid, "_NET_FRAME_EXTENTS", Xatom.CARDINAL) or [0] * 4
    return x - left, y - top, w + left + right, h + top + bottom


def check_centred(rect, on, what):
    dx, dy = (rect[i] + rect[i + 2] / 2 - on[i] - on[i + 2] / 2 for i in (0, 1))
    assert abs(dx) <= 1 and abs(dy) <= 1, f"{what} is off centre by {dx}, {dy}: {rect} in {on}"


def close_window(xid):
    """A close request, as a task bar sends it; then a round trip, as Xvfb drops what it has not
    read from a client that has gone."""
    win(xid).send_event(protocol.event.ClientMessage(window=win(xid), client_type=D.intern_atom(
        "WM_PROTOCOLS"), data=(32, [D.intern_atom("WM_DELETE_WINDOW"), 0, 0, 0, 0])))
    D.sync()


def minimise_then(xid, show, what):  # the window back, restored, when show() has run
    xdo("windowminimize", "--sync", xid)
    show()
    state = lambda: (prop(xid, "WM_STATE", D.intern_atom("WM_STATE"))[:1], viewable(xid),
                     "_NET_WM_STATE_HIDDEN" in net_state(xid))
    wait(lambda: state() == ([1], True, False),
         lambda: f"{what}: still minimised: (WM_STATE, viewable, hidden) = {state()}")


def expect_shape(xid, request, whole=False):
    """The shape is the reference region within the window (with `whole`, the whole region)."""
    want, (_, _, w, h) = reference_pixels(request), inner(xid)
    inside = {(x, y) for x, y in want if x < w and y < h}
    rects = lambda: win(xid).shape_get_rectangles(shape.SK.Bounding).rectangles
    pixels = lambda: {(x, y) for r in rects() for y in range(r.y, min(r.y + r.height, h))
                      for x in range(r.x, min(r.x + r.width, w))}
    wait(lambda: pixels() == inside, lambda: f"the preview's shape ({len(pixels())} pixels) is not "
         f"{request} ({len(inside)} pixels within the window)")
    assert not whole or inside == want, f"the {w} x {h} window cuts {request}"


def windows(parent=ROOT):
    for w in parent.query_tree().children:
        yield w
        yield from windows(w)


def of_program(w, pid):
    return prop(w.id, "_NET_WM_PID", Xatom.CARDINAL) == [pid] and viewable(w.id)


def popup_shown(pid):  # an override-redirect window, as a menu
    return any(of_program(w, pid) and w.get_attributes().override_redirect
               for w in ROOT.query_tree().children)


children = lambda node: [c for c in (node.getChildAtIndex(i) for i in range(node.childCount)) if c]


def apps(pid):
    return [a for a in children(pyatspi.Registry.getDesktop(0)) if safe(a.get_process_id) == pid]


def find_all(pid, role=None, name=None, showing=True):
    found, todo = [], [w for a in apps(pid) for w in reversed(children(a))]
    while todo:
        node = todo.pop()
        if not showing or is_(node, SHOWING):
            if role in (None, node.getRoleName()) and name in (None, node.name):
                found.append(node)
            todo += reversed(children(node))
    return found


def find(pid, role, name, showing=True):
    return wait(lambda: find_all(pid, role, name, showing)[0],
                f"no {role} named '{name}' in the accessibility tree")


is_ = lambda node, state: node.getState().contains(state)


def extents(node):
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x, e.y, e.width, e.height


def click_node(node, button=1):
    x, y, w, h = settled(lambda: extents(node))
    click_at(x + w // 2, y + h // 2, button)


text_of = lambda node: node.queryText().getText(0, -1)


def focus(node, what):
    node.queryComponent().grabFocus()
    wait(lambda: is_(node, FOCUSED), f"{what} did not take the focus")


def popup_items(open_menu):
    """The captions of the popup menu that open_menu() shows. Qt keeps popups out of the
    application's tree: a screen reader meets them by the event that shows them."""
    menus = []
    pyatspi.Registry.registerEventListener(lambda e: e.detail1 and e.source.getRoleName() ==
                                           "popup menu" and menus.append(e.source),
                                           "object:state-changed:showing")
    open_menu()
    wait(lambda: GLib.MainContext.default().iteration(False) and False or menus, "no popup menu")
    return [item.name.split("\t")[0] for item in children(menus[0])]


class Zarnik:
    def __init__(self, settings=None):
        log = open(f"{RUNTIME}/zarnik-{time.time_ns()}.log", "w")
        self.proc = subprocess.Popen([ZARNIK], stdout=log, stderr=subprocess.STDOUT,
                                     env={**os.environ, **(settings or {})})
        STARTED.append(self.proc)
        self.pid, self.seen = self.proc.pid, {}
        self.main = shown(MAIN, "the main window did not appear")
        self.surface = find(self.pid, "filler", "")
        time.sleep(0.3)

    def find(self, role, name, showing=True):
        """The object found before while it still is what was asked for: a walk takes long."""
        node = self.seen.get((role, name))
        assert self.proc.poll() is None, f"the program ended with status {self.proc.returncode}"
        if not safe(lambda: (node.getRoleName(), node.name) == (role, name) and (
                not showing or is_(node, SHOWING))):
            node = self.seen[role, name] = find(self.pid, role, name, showing)
        return node

    def menu(self, name):
        return self.find("menu item", name, showing=False)

    def states(self):
        return tuple(is_(self.menu(n), pyatspi.STATE_SENSITIVE) for n in ("Пример", "Код"))

    def expect(self, make, code, when):
        wait(lambda: self.states() == (make, code),
             lambda: f"{when}: (Пример, Код) enabled = {self.states()}, not {(make, code)}")

    def choose(self, name, *states):
        """Runs a menu item; given (Пример, Код) enabled states, expects them afterwards."""
        self.menu(name).queryAction().doAction(0)
        states and self.expect(*states, f"after {name}")

    def click(self, x, y, button=1):
        """A click at (x, y) pixels of the tracing surface."""
        sx, sy, _, _ = extents(self.surface)
        click_at(sx + x, sy + y, button)

    def trace(self, points=TRIANGLE, *states):
        for x, y in points:
            self.click(x, y)
        states and self.expect(*states, f"after the outline {points}")

    def aside(self, title):
        """Moves the shown code window or preview off the main window; gives its id."""
        xid = shown(title)
        xdo("windowmove", "--sync", xid, 850, 100 if title == CODE else 500)
        time.sleep(0.3)
        return xid

    def copies(self, label, text, what):
        """A click on a code box puts its whole text on the clipboard."""
        click_node(self.find("text", label))
        expect_clipboard(text, f"{what}: '{label}' did not copy its text")

    def procedure(self, text, what):
        wait(lambda: self.states()[1], f"{what}: Код stayed disabled")
        self.choose("Код")
        self.aside(CODE)
        self.copies("Sub:", text, what)

    def panel(self, item, *values):
        """Shows a panel, types values into its boxes (but where None) and presses its button."""
        self.choose(item)
        button = self.find("push button", "Создать")
        for label, value in zip(FIELDS, values):
            box = value and self.find("text", label)
            if box:
                xdo("windowfocus", "--sync", self.main)  # as no window manager does on a click
                focus(box, f"'{label}'")
                xdo("key", "--clearmodifiers", "ctrl+a")
                xdo("type", "--delay", "30", "--", value)
                wait(lambda: text_of(box) == value, f"typing {value!r} into '{label}' failed")
        button.queryAction().doAction(0)

    def focus_main(self, name=None):
        """Hands the keyboard to the main window, waits until no window that has just been shown
        takes it away again, and presses a key there if named."""
        wait(lambda: xdo("windowactivate" if WM else "windowfocus", "--sync", self.main) or
             time.sleep(0.3) or int(xdo("getwindowfocus")) == self.main,
             "the main window does not keep the keyboard focus")
        name and key(name)

    def about_window(self):
        """The about window's X id (it bears the application's name there) and accessible object."""
        return wait(lambda: [w.id for w in windows() if of_program(w, self.pid) and bytes(prop(
            w.id, "_NET_WM_NAME", D.intern_atom("UTF8_STRING"))) == b"Zarnik"][0],
            "the about window is not on the X server"), self.find("dialog", ABOUT)

    def about_point(self, label):
        """The middle of a label of the about window, placed by the X server: under a window
        manager the toolkit may believe the frameless window to be at the screen's corner."""
        xid, window = self.about_window()
        (x, y, _, _), (wx, wy, _, _) = settled(lambda: inner(xid)), extents(window)
        lx, ly, lw, lh = extents(self.find("label", label))
        return x + lx - wx + lw // 2, y + ly - wy + lh // 2

    def ends(self, what, seconds=10.0):
        wait(lambda: self.proc.poll() is not None, f"the program went on after {what}", seconds)
        assert self.proc.returncode == 0, f"status {self.proc.returncode} after {what}"


def close_box(box):
    xdo("windowfocus", "--sync", box, "key", "Return")
    wait(lambda: not window_named("Zarnik"), "the message box stayed after Enter")


def scenario_command_line():
    """No usable display: the program's own message and status 1. Its options answer without a
    display or the one-copy lock, an unknown one gives status 2, Qt's own ones go to Qt."""
    os.mkdir(lock := f"{RUNTIME}/session", 0o700)
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"} | {"XDG_RUNTIME_DIR": lock}
    free = next(n for n in range(999, 9999) if not os.path.exists(f"/tmp/.X11-unix/X{n}"))
    no_display = lambda o, e: e.startswith("zarnik: ") and "display" in e.splitlines()[0]
    for args, settings, status, answer in (
            ([], {}, 1, no_display), ([], {"QT_QPA_PLATFORM": "wayland"}, 1, no_display),
            ([], {"DISPLAY": f":{free}", "QT_QPA_PLATFORM": "wayland-egl;xcb"}, 1, no_display),
            (["--version"], {}, 0, lambda o, e: o == "zarnik 1.5.15\n"),
            (["--help"], {}, 0, lambda o, e: "--help" in o and "--version" in o),
            (["--bogus"], {}, 2, lambda o, e: "bogus" in e)):
        r = subprocess.run([ZARNIK, *args], env={**env, **settings}, capture_output=True,
                           text=True, timeout=20)
        assert r.returncode == status and answer(r.stdout, r.stderr), r
    assert not os.listdir(lock), "the one-copy lock was taken with no display or for an option"
    # Offscreen needs no display: the program takes its lock and runs on.
    STARTED.append(p := subprocess.Popen([ZARNIK, "-platform", "offscreen", "-style", "Fusion"],
                                         env=env, stderr=subprocess.PIPE, text=True))
    wait(lambda: os.listdir(lock) or p.poll() is not None, "the program with Qt's options hangs")
    time.sleep(1)
    assert p.poll() is None, f"with Qt's options: status {p.poll()}, {p.stderr.read()!r}"
    p.terminate()
    assert p.wait(10) == -signal.SIGTERM, f"the program ended with {p.returncode} on SIGTERM"


def scenario_polygon():
    """The worked example by clicks, copied by a click and by Ctrl+A, Ctrl+C; the reset; the same
    by a right-button drag; clicks on the preview; the end, with no clipboard manager to wait on."""
    z = Zarnik()
    z.expect(False, False, "at start")
    z.trace(TRIANGLE[:2], False, False)
    z.trace(TRIANGLE[2:], True, False)
    z.choose("Пример", False, True)
    expect_shape(shown(PREVIEW), TRIANGLE_SHAPE)
    z.choose("Код")
    code = z.aside(CODE)
    shot("code")  # the AppStream metadata's screenshot
    z.copies("Sub:", polygon_text(TRIANGLE), "the worked example")
    z.copies("General:", DECLARATIONS, "the worked example")
    xdo("windowfocus", "--sync", code)
    focus(z.find("text", "Sub:"), "'Sub:'")
    xdo("key", "--clearmodifiers", "ctrl+a", "ctrl+c")
    expect_clipboard(polygon_text(TRIANGLE), "Ctrl+A, Ctrl+C in 'Sub:'")

    z.choose("Сброс", False, False)
    wait(lambda: not window_named(PREVIEW), "the preview stayed after Сброс")
    assert window_named(CODE) == code, "the code window did not stay open after Сброс"
    wait(lambda: text_of(z.find("text", "Sub:")) == "", "Сброс left text in the procedure box")
    assert text_of(z.find("text", "General:")).replace("\n", CRLF) == DECLARATIONS, "General:"

    # A right-button press adds no vertex, each move reported then adds one where it is; a right
    # click enables the preview and adds nothing.
    z.focus_main()
    z.click(10, 20)
    z.click(70, 30, None)
    xdo("mousedown", 3)
    for x, y in TRIANGLE[1:]:
        z.click(x, y, None)
    xdo("mouseup", 3)
    z.expect(False, False, "after the drag")
    z.click(200, 200, button=3)
    z.expect(True, False, "after a right click")
    z.choose("Пример")
    preview = z.aside(PREVIEW)
    expect_shape(preview, TRIANGLE_SHAPE)
    z.copies("Sub:", polygon_text(TRIANGLE), "the dragged outline")
    x, y, _, _ = inner(preview)
    picture = {p for row in screen_pixels(x + 35, y + 30, 30, 15) for p in row}  # not a flat fill
    caption = screen_pixels(x + 55, y + 21, 1, 1)[0][0]  # the caption bar's last row
    assert len(picture) > 10 and caption[2] >= caption[0], \
        f"the preview shows {len(picture)} colours under a caption bar of {caption}"
    click_at(x + 200, y + 200)
    assert viewable(preview), "a click beside the preview's shape reached the preview"
    click_at(x + 55, y + 40)
    wait(lambda: not viewable(preview), "a click inside the preview's shape did not hide it")
    assert not D.get_selection_owner(D.intern_atom("CLIPBOARD_MANAGER")), "a clipboard manager"
    close_window(z.main)
    z.ends("its main window closed", seconds=4)


def scenario_shapes():
    """The ellipse and the rounded rectangle, by default and typed; an overflow and a full outline,
    each told by the program's own message box, after which the program goes on where it was."""
    z = Zarnik()
    # The panel over an outline is the panel alone, pixel for pixel (but its boxes, with a caret).
    z.choose("Окружность")
    x, y, width, height = settled(lambda: extents(z.find(None, "Параметры")))
    z.click(width + 8, 5, None)  # no hover on the panel
    boxes = [extents(b) for b in find_all(z.pid, "text")]
    pixels = lambda: [p for r, row in enumerate(screen_pixels(x, y, width, height))
                      for c, p in enumerate(row) if not any(bx <= x + c < bx + bw and
                                                            by <= y + r < by + bh
                                                            for bx, by, bw, bh in boxes)]
    alone = pixels()
    z.trace([(5, height + 8), (width + 8, 5)], False, False)
    assert [(0, 0, 0)] in screen_pixels(x + width + 2, y, 1, height), "no line beside the panel"
    shot("panel-over-outline")
    assert pixels() == alone, "the traced line shows through the panel"

    # The default ellipse by the keyboard alone: Alt+С, Enter, Tab to the button, Enter.
    z.focus_main("alt+Cyrillic_es")
    wait(lambda: popup_shown(z.pid), "Alt+С opened no menu")
    key("Return")
    button = z.find("push button", "Создать")
    wait(lambda: is_(button, FOCUSED) or key("Tab"), "Tab never reached Создать")
    key("Return")  # presses the focused button
    z.expect(False, True, "after the default ellipse from the keyboard")
    assert not find_all(z.pid, "push button", "Создать"), "the panel stayed shown"
    expect_shape(shown(PREVIEW), "E 7 7 333 333")
    z.procedure(vb(ELLIPSE, 100, 100, 5000, 5000), "the default ellipse")
    z.panel("Окружность", "-150", "300", "2.5", "&H7FFF")
    z.procedure(vb(ELLIPSE, -150, 300, 2, 32767), "a typed ellipse")
    z.panel("Прямоугольник")
    expect_shape(shown(PREVIEW), "R 7 7 333 333 100 100")
    z.procedure(vb(ROUNDRECT, 100, 100, 5000, 5000, 100, 100), "the default rounded rectangle")
    values = (150, 60, 3000, 4500, 900, 600)
    z.panel("Прямоугольник", *map(str, values))
    z.procedure(vb(ROUNDRECT, *values), "a typed rounded rectangle")

    z.panel("Окружность", None, None, "40000")
    box = shown("Zarnik", "no message box after an overflow")
    wait(lambda: [n for n in find_all(z.pid, "label") if "'6'" in n.name and "Переполнение" in
                  n.name], "the message box does not name the overflow error 6")
    close_box(box)
    z.expect(False, True, "after the overflow")
    z.copies("Sub:", vb(ROUNDRECT, *values), "the overflowing click changed the procedure")

    # 501 fast clicks on one spot (fast second clicks come as double clicks: mouse-downs all the
    # same). Closing the box that refuses the 501st vertex gives the main window back its outline.
    z.aside(PREVIEW)
    z.focus_main()
    z.click(100, 100, None)
    xdo("click", "--repeat", 501, "--delay", 5, 1)
    box = shown("Zarnik", "no message box for the 501st vertex")
    time.sleep(0.5)
    assert len(xdo("search", "--onlyvisible", "--name", "^Zarnik$").split()) == 1, "two boxes"
    close_box(box)
    z.click(30, 40)
    close_box(shown("Zarnik", "no message box for a click on the full outline"))
    z.choose("Пример")
    z.procedure(polygon_text([(100, 100)] * 500, [(100, 100), (30, 40)]), "the full outline")


def scenario_windows():
    """A second copy; keep-on-top; closing the preview and the code window; a close request while
    the preview's system menu is open, to the preview, then to the main window, which ends all."""
    z = Zarnik()
    second = subprocess.Popen([ZARNIK], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    STARTED.append(second)
    box = shown("Zarnik", "the second copy showed no message box")
    find(second.pid, "label", "Программа уже запущена!")
    find(second.pid, "push button", "OK")  # its own caption, not Qt's translation
    assert not find_all(second.pid, "frame", MAIN), "the second copy shows a main window"
    close_box(box)
    assert second.wait(10) == 0, f"the second copy ended with {second.returncode}"

    z.trace(TRIANGLE, True, False)
    z.panel("Окружность")
    z.expect(True, True, "after an ellipse on top of an outline")
    z.choose("Код")
    code = z.aside(CODE)
    above = lambda: "_NET_WM_STATE_ABOVE" in net_state(code)
    assert not above(), "the code window starts on top"
    on_top = z.find("check box", "Окно поверх остальных")
    click_node(on_top)
    wait(above, "the window manager was not asked to keep the code window above")
    assert is_(on_top, pyatspi.STATE_CHECKED), "the check box is not checked"
    xdo("windowactivate", "--sync", z.main)
    time.sleep(0.5)
    stack = prop(ROOT.id, "_NET_CLIENT_LIST_STACKING", Xatom.WINDOW)
    assert stack.index(code) > stack.index(z.main), "the main window went over the code window"
    click_node(on_top)
    wait(lambda: not above(), "the code window stayed on top when unchecked")

    for title, states in ((PREVIEW, (False, True)), (CODE, (False, False))):
        close_window(shown(title))
        wait(lambda: not window_named(title), f"the window '{title}' did not close")
        z.expect(*states, f"after closing the window '{title}'")
    square = [(30, 30), (130, 30), (130, 130), (30, 130)]
    z.trace(square)
    z.choose("Пример")
    z.procedure(polygon_text(square), "a code window made anew")
    z.aside(PREVIEW)
    for target in ("preview", "main"):
        z.trace([(0, 0), (320, 0), (0, 280)])  # over the preview's icon
        z.choose("Пример")
        preview = shown(PREVIEW)
        x, y, _, _ = settled(lambda: inner(preview))
        click_at(x + 14, y + 13)  # the icon
        wait(lambda: popup_shown(z.pid), "a click on the preview's icon opened no system menu")
        close_window(z.main if target == "main" else preview)
        if target == "preview":
            wait(lambda: not window_named(PREVIEW), "the preview did not close under its menu")
            wait(lambda: not popup_shown(z.pid), "the system menu stayed after its window closed")
            z.expect(False, True, "after closing the preview under its menu")
    z.ends("its main window closed under the preview's menu")


def scenario_about():
    """All four windows to a screen reader; the about window as a user meets it. The user's own Qt
    settings would scale the program, which keeps them for the URL handler alone."""
    user_qt = dict(QT_ENABLE_HIGHDPI_SCALING="1", QT_SCALE_FACTOR="2", QT_SCREEN_SCALE_FACTORS="2")
    z = Zarnik(user_qt)
    client = (round(4980 / 15), round(4395 / 15))
    assert inner(z.main)[2] == client[0] and extents(z.surface)[2:] == client, \
        f"the main window is {inner(z.main)[2:]}, its client area {extents(z.surface)[2:]}"
    z.trace()
    for item in ("Окружность", "Прямоугольник", "Пример", "Код", "О программе..."):
        z.choose(item)
    z.aside(CODE)
    about, _ = z.about_window()
    shot("all-open")
    named = {}
    for n in find_all(z.pid, showing=False):
        named.setdefault(n.getRoleName(), []).append(n.name)
    assert not any("" in named.get(role, []) for role in ("menu item", "push button", "check box",
                                                          "label", "text")), f"unnamed: {named}"
    assert sorted(named["text"]) == sorted(["General:", "Sub:", *FIELDS[:4], *FIELDS]), named
    assert named["push button"].count("Создать") == 2 and "Окно поверх остальных" in \
        named["check box"] and {"General:", "Sub:", *FIELDS, "FREEWARE"} <= set(named["label"])
    assert all(n.queryAction().nActions for n in find_all(z.pid, "menu item", showing=False))
    shown_windows = {(w.getRoleName(), w.name) for a in apps(z.pid) for w in children(a)
                     if is_(w, SHOWING)}
    assert {("frame", MAIN), ("frame", CODE), ("frame", PREVIEW), ("dialog", ABOUT)} <= \
        shown_windows, f"the windows are {shown_windows}"
    items = popup_items(lambda: click_node(z.find("text", "Sub:"), button=3))
    assert items == ["Копировать", "", "Выделить всё"], f"the text box's menu reads {items}"
    key("Escape")

    check_centred(settled(lambda: inner(about)), SCREEN, "the about window on the screen")
    assert "_NET_WM_STATE_SKIP_TASKBAR" in net_state(about), "the about window is in the task bar"
    assert not prop(about, "WM_TRANSIENT_FOR", Xatom.WINDOW), "the about window has an owner"
    hints = prop(about, "_MOTIF_WM_HINTS", D.intern_atom("_MOTIF_WM_HINTS"))
    assert hints[0] == 2 and hints[2] == 0, f"the about window asks for decorations: {hints}"
    # Outer to inner: light, highlight and face on the left and top; dark shadow, shadow and face
    # on the right and bottom; then the white client area.
    rows = screen_pixels(*inner(about))
    row, column = rows[len(rows) // 2], [r[len(r) // 2] for r in rows]
    grey = lambda *levels: [(v, v, v) for v in levels]
    assert [row[:4], column[:4], row[:-5:-1], column[:-5:-1]] == [grey(192, 255, 192, 255)] * 2 + \
        [grey(0, 128, 192, 255)] * 2, f"the edges left, top, right, bottom: {row[:4]}, {column[:4]}"
    wx, _, ww, _ = extents(z.find("dialog", ABOUT))
    for label in (WEB, "e-mail: " + MAIL, MAKER):
        lx, _, lw, _ = extents(z.find("label", label))
        assert abs(lx - wx + lw / 2 - ww / 2) <= 0.5, f"'{label}' is off the window's centre line"
    D.xfixes_query_version()
    for label, hand in ((WEB, True), ("e-mail: " + MAIL, True), ("FREEWARE", False)):
        click_at(*z.about_point(label), None)
        c = D.xfixes_get_cursor_image(ROOT)
        assert ((c.width, c.height, c.xhot, c.yhot) == (32, 32, 7, 0)) == hand, \
            f"over '{label}' the pointer is {c.width} x {c.height}, hot spot {c.xhot}, {c.yhot}"

    for label, url in ((WEB, WEB), ("e-mail: " + MAIL, f"mailto:{MAIL}?Subject=Zarnik%20v1.5.15")):
        z.choose("О программе...")
        click_at(*z.about_point(label))
        wait(lambda: open(f"{RUNTIME}/opened").read().splitlines()[-1] == url,
             f"'{label}' did not hand {url} to the URL handler")
        wait(lambda: not find_all(z.pid, "dialog", ABOUT), f"the about window stayed: '{label}'")
    with open(f"{RUNTIME}/opened-environment") as f:
        handed = dict(line.split("=", 1) for line in f.read().splitlines() if "=" in line)
    for name, value in {**user_qt, "QT_QPA_PLATFORM": None}.items():
        assert handed.get(name) == value, f"the URL handler got {name}={handed.get(name)}"

    z.choose("О программе...")
    z.about_window()
    close_window(z.main)
    wait(lambda: not window_named(MAIN), "the main window did not close")
    time.sleep(0.5)
    assert z.proc.poll() is None, "the program ended while the about window was open"
    click_at(*z.about_point("FREEWARE"))
    z.ends("its last window, the about window, closed")


def scenario_roads():
    """The roads under a window manager, which frames windows after they first appear and can
    minimise any: windows centred by their frames, a preview of the main window's outer size."""
    z = Zarnik()
    assert extents(z.surface)[2:] == tuple(round(t / (12 if DPI120 else 15)) for t in (4980, 4395))
    main = settled(lambda: outer(z.main))
    check_centred(main, SCREEN, "the main window on the screen")
    z.trace()
    z.choose("Пример")
    preview = shown(PREVIEW)
    expect_shape(preview, TRIANGLE_SHAPE)
    z.choose("Код")
    code = shown(CODE)
    check_centred(settled(lambda: outer(code)), main, "the code window on the main window")
    z.aside(CODE)
    minimise_then(code, lambda: z.choose("Код"), "the code window after Код")
    # At 96 dpi the default ellipse fits whole in the preview; at 120 dpi it is taller than the
    # window, on Windows too.
    minimise_then(preview, lambda: z.panel("Окружность"), "the preview after the ellipse")
    wait(lambda: outer(preview)[2:] == outer(z.main)[2:], lambda: f"the preview's outer size "
         f"{outer(preview)[2:]} is not the main window's {outer(z.main)[2:]}")
    corner = "8 8 417 417" if DPI120 else "7 7 333 333"
    expect_shape(preview, f"E {corner}", whole=not DPI120)
    shot("ellipse")
    z.procedure(vb(ELLIPSE, 100, 100, 5000, 5000), "the default ellipse")
    minimise_then(preview, lambda: z.panel("Прямоугольник"), "the preview after Прямоугольник")
    expect_shape(preview, f"R {corner} 100 100")
    # The new outline's first press resets, which hides the minimised preview.
    minimise_then(preview, lambda: (z.trace(), z.choose("Пример")), "the preview after Пример")
    expect_shape(preview, TRIANGLE_SHAPE)
    z.choose("О программе...")
    minimise_then(z.about_window()[0], lambda: z.choose("О программе..."), "the about window")


def scenario_menu_bar():
    """At the desktop's font the bar wraps, every item inside the window, each pressed by mouse and
    key; the ellipse road by keys alone; the key С of Создать and Сброс never runs Сброс itself."""
    z = Zarnik()
    wx, wy, ww, wh = inner(z.main)
    for name in ["Создать", "Пример", "Код", "Сброс", "О программе..."]:
        x, y, w, h = settled(lambda: extents(z.menu(name)))
        assert wx <= x and x + w <= wx + ww and wy <= y and y + h <= wy + wh, \
            f"'{name}' at {(x, y, w, h)} is not inside the window {(wx, wy, ww, wh)}"
    shot("main")
    panel = lambda: find_all(z.pid, "push button", "Создать")
    click_node(z.menu("Создать"))
    click_node(z.find("menu item", "Окружность"))
    wait(panel, "Окружность chosen by mouse showed no panel")
    click_node(z.menu("Сброс"))
    wait(lambda: not panel(), "Сброс by mouse left the panel shown")
    z.trace()
    click_node(z.menu("Пример"))
    z.expect(False, True, "after Пример by mouse")
    z.aside(PREVIEW)
    click_node(z.menu("Код"))
    code = z.aside(CODE)
    click_node(z.menu("Сброс"))
    z.expect(False, False, "after Сброс by mouse")
    click_node(z.menu("О программе..."))
    click_at(*z.about_point("FREEWARE"))
    wait(lambda: not find_all(z.pid, "dialog", ABOUT), "the about window stayed after a click")

    z.focus_main("alt+Cyrillic_es")
    wait(lambda: popup_shown(z.pid), "Alt+С opened no menu")
    key("Return")
    z.find("push button", "Создать").queryAction().doAction(0)  # on the panel that Enter showed
    z.expect(False, True, "after the ellipse")
    z.aside(PREVIEW)
    z.focus_main("alt+Cyrillic_ka")
    wait(lambda: int(xdo("getwindowfocus")) == code, "Alt+К did not bring the code window up")
    z.trace(TRIANGLE, True, False)
    points = text_of(z.find("text", "Sub:"))
    assert points.startswith("XY(0)"), f"the outline wrote {points!r}"
    z.focus_main("alt+Cyrillic_es")
    wait(lambda: popup_shown(z.pid), "Alt+С opened no menu")
    key("alt+Cyrillic_es")
    wait(lambda: not popup_shown(z.pid), "the second Alt+С left the menu open")
    assert z.states() == (True, False) and text_of(z.find("text", "Sub:")) == points, \
        "the second Alt+С ran Сброс"
    key("Return")
    z.expect(False, False, "Enter on the highlighted Сброс")
    wait(lambda: text_of(z.find("text", "Sub:")) == "", "Сброс left the point lines")
    z.trace()
    z.focus_main("alt+Cyrillic_pe")
    z.expect(False, True, "after Alt+П")
    shown(PREVIEW, "Alt+П showed no preview")
    z.focus_main("alt+Cyrillic_o")
    z.about_window()


def scenario_package():
    """The installed program starts, and its window's class is the one its desktop entry names."""
    z = Zarnik()
    assert win(z.main).get_wm_class()[1] == os.environ["E2E_WM_CLASS"], win(z.main).get_wm_class()


def main():
    # The access keys' letters on keys of their own, as in a Russian layout: xdotool would lend a
    # key to each press and take it back, which races the program's reading of the key.
    XK.load_keysym_group("cyrillic")
    first, last = D.display.info.min_keycode, D.display.info.max_keycode
    free = [first + i for i, syms in enumerate(D.get_keyboard_mapping(first, last - first + 1))
            if not any(syms)]
    for code, letter in zip(free, ("es", "pe", "ka", "o")):
        D.change_keyboard_mapping(code, [[XK.string_to_keysym(f"Cyrillic_{letter}")] * 2])
    if DPI120:  # Qt takes its dots per inch from the desktop's Xft.dpi, as desktops set it
        ROOT.change_property(D.intern_atom("RESOURCE_MANAGER"), Xatom.STRING, 8, b"Xft.dpi:\t120\n")
    D.sync()
    try:
        globals()[f"scenario_{SCENARIO}"]()
    except AssertionError as failure:
        shot("failure")
        print(f"FAIL ({SCENARIO}, {DESKTOP}): {failure}")
        return 1
    finally:
        for p in (p for p in STARTED if p.poll() is None):
            p.terminate(), p.wait(10)
    return 0


if __name__ == "__main__":
    sys.exit(main())
