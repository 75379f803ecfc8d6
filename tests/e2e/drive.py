"""Drives the built zarnik binary from outside, as a user and a screen reader would: mouse and keys
through xdotool, menus and states through the accessibility bus (AT-SPI), the clipboard through
xclip and window shapes and stacking through the X server. One scenario per run:

    /usr/bin/python3 drive.py ZARNIK SHOTS_DIR SCENARIO

run.sh provides the X server, the session bus, the accessibility bus and, for some scenarios, a
window manager."""

import io
import os
import subprocess
import sys
import tarfile
import time

import pyatspi
from gi.repository import GLib
from Xlib import X, Xatom, display, protocol
from Xlib.ext import shape

ZARNIK, SHOTS, SCENARIO = sys.argv[1], sys.argv[2], sys.argv[3]
SHOT_PREFIX = sys.argv[4] if len(sys.argv) > 4 else SCENARIO
CRLF = "\r\n"
MAIN_TITLE = "Zarnik v1.5"
CODE_TITLE = "Программный код"
PREVIEW_TITLE = "Пример"
ABOUT_TITLE = "Zarnik v1.5.15"


def polygon_procedure(points):
    """The procedure text for an outline of the given vertices, closed back to the first."""
    n = len(points)
    lines = ["Dim hRgn As Long", "", f"ReDim XY({n}) As Coordinates", ""]
    for i, (x, y) in enumerate(points + points[:1]):
        lines.append(f"XY({i}).X={x}: XY({i}).Y={y}")
    lines += ["", f"hRgn = CreatePolygonRgn(XY(0),{n}, 2)", "Call SetWindowRgn(Me.hWnd, hRgn, True)",
              ""]
    return CRLF.join(lines)


# The worked example: three vertices (10, 20), (100, 20) and (50, 80).
TRIANGLE = [(10, 20), (100, 20), (50, 80)]
TRIANGLE_PROCEDURE = CRLF.join([
    "Dim hRgn As Long", "", "ReDim XY(3) As Coordinates", "",
    "XY(0).X=10: XY(0).Y=20", "XY(1).X=100: XY(1).Y=20", "XY(2).X=50: XY(2).Y=80",
    "XY(3).X=10: XY(3).Y=20", "", "hRgn = CreatePolygonRgn(XY(0),3, 2)",
    "Call SetWindowRgn(Me.hWnd, hRgn, True)", ""])
POLYGON_DECLARATIONS = CRLF.join([
    "Private Type Coordinates", "X As Long", "Y As Long", "End Type", "Dim XY() As Coordinates", "",
    "Private Declare Function SetWindowRgn Lib _",
    '"user32" (ByVal hWnd As Long, _',
    "ByVal hRgn As Long, ByVal bRedraw As Long) As Long",
    "Private Declare Function CreatePolygonRgn Lib _",
    '"gdi32"(lpPoint As Coordinates, ByVal nCount As _',
    "Long, ByVal nPolyFillMode As Long) As Long"])


def ellipse_procedure(p0, p1, p2, p3):
    return CRLF.join([
        "Dim MakeCircle As String", "",
        f"MakeCircle = CreateEllipticRgn({p0}/ Screen.TwipsPerPixelX, _",
        f"{p1}/ Screen.TwipsPerPixelY, _", f"{p3}/ Screen.TwipsPerPixelX, _",
        f"{p2}/ Screen.TwipsPerPixelY)", "Call SetWindowRgn(Me.hWnd, MakeCircle, True)", ""])


def roundrect_procedure(q4, q5, q6, q7, q8, q9):
    return CRLF.join([
        "Dim MakeRegion As Long",
        f"MakeRegion = CreateRoundRectRgn({q5} / Screen.TwipsPerPixelX, _",
        f"{q4} / Screen.TwipsPerPixelY, _", f"{q7} / Screen.TwipsPerPixelX, _",
        f"{q6}/ Screen.TwipsPerPixelY, _", f"{q9},{q8})", "",
        "Call SetWindowRgn(Me.hWnd, MakeRegion, True)"])


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_for(predicate, message, seconds=10.0):
    """Polls until predicate() gives a true value and returns it; a busy machine may be slow."""
    end = time.monotonic() + seconds
    while True:
        try:
            value = predicate()
        except Exception:  # a window or accessible that is going away answers with errors
            value = None
        if value:
            return value
        if time.monotonic() > end:
            raise Failure(message)
        time.sleep(0.1)


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], check=True, capture_output=True,
                          text=True).stdout


def move_to(x, y):
    """Puts the pointer at (x, y); --sync would wait forever for a move to where it already is."""
    here = xdotool("getmouselocation", "--shell")
    if f"X={x}\nY={y}\n" not in here:
        xdotool("mousemove", "--sync", x, y)


def shot(name):
    """Saves the whole screen as <scenario>-<name>.png in the screenshots folder."""
    path = os.path.join(SHOTS, f"{SHOT_PREFIX}-{name}.png")
    subprocess.run(["import", "-window", "root", path], check=False)


def screen_pixels(x, y, width, height):
    """The screen's pixels in a rectangle, as rows of (red, green, blue)."""
    d = display.Display()
    try:
        data = d.screen().root.get_image(x, y, width, height, X.ZPixmap, 0xFFFFFFFF).data
    finally:
        d.close()
    # 32 bits a pixel, blue first; a row is never padded at this depth.
    return [[tuple(data[4 * (row * width + col) + i] for i in (2, 1, 0)) for col in range(width)]
            for row in range(height)]


def clipboard():
    r = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True)
    return r.stdout if r.returncode == 0 else None


def clipboard_becomes(text, message):
    expected = text.encode("utf-8")
    try:
        wait_for(lambda: clipboard() == expected, message)
    except Failure:
        got = clipboard()
        raise Failure(f"{message}\n  expected {expected!r}\n  got      {got!r}")


# --- the accessibility tree -------------------------------------------------------------------

def app_nodes(pid):
    desk = pyatspi.Registry.getDesktop(0)
    for i in range(desk.childCount):
        a = desk.getChildAtIndex(i)
        try:
            if a is not None and a.get_process_id() == pid:
                yield a
        except Exception:
            continue


def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def find_all(pid, role=None, name=None, showing=None):
    found = []
    for a in app_nodes(pid):
        for n in walk(a):
            if role is not None and n.getRoleName() != role:
                continue
            if name is not None and n.name != name:
                continue
            if showing is not None and is_showing(n) != showing:
                continue
            found.append(n)
    return found


def find(pid, role, name, showing=None, seconds=10.0):
    return wait_for(lambda: (find_all(pid, role, name, showing) or [None])[0],
                    f"no {role} named '{name}' (showing={showing}) in the accessibility tree",
                    seconds)


def popup_items(open_menu):
    """The captions of the menu items in the popup menu that open_menu() shows. Qt keeps popup
    menus out of the application's tree: a screen reader meets them through the event that shows
    them."""
    menus = []

    def on_showing(event):
        if event.detail1 and event.source.getRoleName() == "popup menu":
            menus.append(event.source)
    pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
    try:
        open_menu()
        context = GLib.MainContext.default()
        end = time.monotonic() + 10
        while not menus and time.monotonic() < end:
            context.iteration(False)
            time.sleep(0.02)
    finally:
        pyatspi.Registry.deregisterEventListener(on_showing, "object:state-changed:showing")
    check(menus, "no popup menu was shown")
    menu = menus[0]
    return [menu.getChildAtIndex(i).name.split("\t")[0] for i in range(menu.childCount)]


def is_showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def is_sensitive(node):
    return node.getState().contains(pyatspi.STATE_SENSITIVE)


def activate(node):
    node.queryAction().doAction(0)


def extents(node):
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x, e.y, e.width, e.height


def settled_extents(node):
    """The node's place once it has stopped moving (a window manager may still be placing it)."""
    last = extents(node)
    for _ in range(20):
        time.sleep(0.15)
        now = extents(node)
        if now == last:
            return now
        last = now
    return last


def click_node(node, button=1):
    x, y, w, h = settled_extents(node)
    move_to(x + w // 2, y + h // 2)
    xdotool("click", button)
    time.sleep(0.3)


def text_of(node):
    t = node.queryText()
    return t.getText(0, -1)


# --- the program ------------------------------------------------------------------------------

class Zarnik:
    def __init__(self, settings=None):
        """Starts the program, with `settings` added to its environment."""
        self.log = open(os.path.join(os.environ["X11_RUNTIME"], f"zarnik-{time.time_ns()}.log"),
                        "w")
        self.proc = subprocess.Popen([ZARNIK], stdout=self.log, stderr=subprocess.STDOUT,
                                     env={**os.environ, **(settings or {})})
        self.pid = self.proc.pid
        self.main_window = wait_for(lambda: window_named(MAIN_TITLE),
                                    "the main window did not appear", 20)
        self.frame = find(self.pid, "frame", MAIN_TITLE)
        self.surface = find(self.pid, "filler", "")
        time.sleep(0.3)

    def menu(self, name):
        return find(self.pid, "menu item", name)

    def menu_states(self):
        return is_sensitive(self.menu("Пример")), is_sensitive(self.menu("Код"))

    def expect_menu(self, make, program, when):
        wait_for(lambda: self.menu_states() == (make, program),
                 f"{when}: (Пример, Код) enabled = {self.menu_states()}, expected "
                 f"{(make, program)}")

    def click(self, x, y, button=1):
        """A click at (x, y) pixels of the tracing surface."""
        sx, sy, _, _ = extents(self.surface)
        move_to(sx + x, sy + y)
        xdotool("click", button)
        time.sleep(0.25)

    def right_drag(self, start, points):
        sx, sy, _, _ = extents(self.surface)
        move_to(sx + start[0], sy + start[1])
        xdotool("mousedown", 3)
        time.sleep(0.25)
        for x, y in points:
            move_to(sx + x, sy + y)
            time.sleep(0.25)
        xdotool("mouseup", 3)
        time.sleep(0.25)

    def code_window(self):
        """The shown code window, moved beside the main window so that both take clicks."""
        xid = wait_for(lambda: window_named(CODE_TITLE), "the code window is not shown")
        xdotool("windowmove", "--sync", xid, 850, 100)
        time.sleep(0.3)
        return xid

    def box(self, label):
        return find(self.pid, "text", label, showing=True)

    def alive(self):
        return self.proc.poll() is None


def window_named(title):
    r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                       capture_output=True, text=True)
    ids = r.stdout.split()
    return int(ids[0]) if ids else None


def close_window(xid):
    """Asks a window to close as a window manager's close box does (WM_DELETE_WINDOW)."""
    d = display.Display()
    w = d.create_resource_object("window", xid)
    protocols = d.intern_atom("WM_PROTOCOLS")
    delete = d.intern_atom("WM_DELETE_WINDOW")
    event = protocol.event.ClientMessage(window=w, client_type=protocols,
                                         data=(32, [delete, X.CurrentTime, 0, 0, 0]))
    w.send_event(event)
    # A round trip before hanging up: Xvfb drops the requests still unread on a connection whose
    # client has gone, and on a busy machine it may get to this one only after the close.
    d.sync()
    d.close()


def net_wm_state(xid):
    d = display.Display()
    try:
        w = d.create_resource_object("window", xid)
        prop = w.get_full_property(d.intern_atom("_NET_WM_STATE"), Xatom.ATOM)
        return {d.get_atom_name(a) for a in (prop.value if prop else [])}
    finally:
        d.close()


def outer_geometry(xid):
    """A top-level window's outer rectangle on the screen, (x, y, width, height): the window's own
    place and size, grown by the frame its window manager publishes in _NET_FRAME_EXTENTS."""
    d = display.Display()
    try:
        w = d.create_resource_object("window", xid)
        g = w.get_geometry()
        t = w.translate_coords(d.screen().root, 0, 0)
        prop = w.get_full_property(d.intern_atom("_NET_FRAME_EXTENTS"), Xatom.CARDINAL)
        left, right, top, bottom = prop.value if prop else (0, 0, 0, 0)
        return -t.x - left, -t.y - top, g.width + left + right, g.height + top + bottom
    finally:
        d.close()


def settled_outer_geometry(xid):
    """The outer rectangle once the window manager has stopped placing and framing the window."""
    last = outer_geometry(xid)
    for _ in range(20):
        time.sleep(0.15)
        now = outer_geometry(xid)
        if now == last:
            return now
        last = now
    return last


def check_centred(inner, outer, what):
    dx = inner[0] + inner[2] / 2 - (outer[0] + outer[2] / 2)
    dy = inner[1] + inner[3] / 2 - (outer[1] + outer[3] / 2)
    check(abs(dx) <= 1 and abs(dy) <= 1,
          f"{what} is off centre by ({dx}, {dy}): {inner} in {outer}")


def minimise(xid):
    xdotool("windowminimize", "--sync", xid)


def shown_state(xid):
    """(WM_STATE, viewable, hidden) of a window: ("Normal", True, False) for a shown one."""
    d = display.Display()
    try:
        w = d.create_resource_object("window", xid)
        wm_state = d.intern_atom("WM_STATE")
        prop = w.get_full_property(wm_state, wm_state)
        state = {1: "Normal", 3: "Iconic"}.get(prop.value[0] if prop else 0, "Withdrawn")
        viewable = w.get_attributes().map_state == X.IsViewable
    finally:
        d.close()
    return state, viewable, "_NET_WM_STATE_HIDDEN" in net_wm_state(xid)


def expect_restored(xid, what):
    try:
        wait_for(lambda: shown_state(xid) == ("Normal", True, False), "")
    except Failure:
        raise Failure(f"{what}: still minimised, (WM_STATE, viewable, hidden) = {shown_state(xid)}")


def reference_pixels(request):
    """The pixels of a region as the reference answers in tests/data/gdi-regions.tar.xz give it."""
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data",
                        "gdi-regions.tar.xz")
    with tarfile.open(path, "r:xz") as archive:
        for line in io.TextIOWrapper(archive.extractfile("cases.txt")):
            asked, answer = line.split("|")
            if asked.strip() == request:
                numbers = list(map(int, answer.split()))
                rects = [numbers[1 + 4 * i:5 + 4 * i] for i in range(numbers[0])]
                return {(x, y) for l, t, r, b in rects for y in range(t, b) for x in range(l, r)}
    raise Failure(f"no reference answer for {request}")


def shape_pixels(xid):
    d = display.Display()
    try:
        rects = d.create_resource_object("window", xid).shape_get_rectangles(
            shape.SK.Bounding).rectangles
        return {(x, y) for r in rects for y in range(r.y, r.y + r.height)
                for x in range(r.x, r.x + r.width)}
    finally:
        d.close()


def expect_shape_area(xid, pixels, tolerance, what):
    """Waits until the window's shape covers about `pixels` pixels."""
    try:
        wait_for(lambda: abs(shape_area(xid)[0] - pixels) <= pixels * tolerance, "")
    except Failure:
        shaped, whole = shape_area(xid)
        raise Failure(f"{what} is shaped to {shaped} of its {whole} pixels, not about {pixels}")


def shape_area(xid):
    """The area of a window's bounding shape and the area of the window itself, in pixels."""
    d = display.Display()
    try:
        w = d.create_resource_object("window", xid)
        g = w.get_geometry()
        rects = w.shape_get_rectangles(shape.SK.Bounding).rectangles
        return sum(r.width * r.height for r in rects), g.width * g.height
    finally:
        d.close()


# --- scenarios --------------------------------------------------------------------------------

def polygon_road(z, trace):
    """Traces the worked example's triangle with `trace`, previews it and checks the code window's
    two boxes through the clipboard."""
    z.expect_menu(False, False, "at start")
    trace()
    z.expect_menu(True, False, "after the outline")
    activate(z.menu("Пример"))
    z.expect_menu(False, True, "after Пример")
    preview = wait_for(lambda: window_named(PREVIEW_TITLE), "the preview window is not shown")
    # The triangle covers 90 x 60 / 2 = 2700 pixels; its slanted edges add or take a few.
    expect_shape_area(preview, 2700, 0.15, "the triangle's preview")
    activate(z.menu("Код"))
    z.code_window()
    shot("code")
    click_node(z.box("Sub:"))
    clipboard_becomes(TRIANGLE_PROCEDURE, "the procedure box did not copy the worked example")
    click_node(z.box("General:"))
    clipboard_becomes(POLYGON_DECLARATIONS, "the declarations box did not copy the polygon's")


def scenario_polygon(z):
    def three_clicks():
        z.click(10, 20)
        z.click(100, 20)
        z.expect_menu(False, False, "after two clicks")
        z.click(50, 80)
    polygon_road(z, three_clicks)
    shot("main")
    # The keyboard's copy gives the stored text too, CR LF included ("General:" was copied last).
    xdotool("windowfocus", "--sync", window_named(CODE_TITLE))
    box = z.box("Sub:")
    box.queryComponent().grabFocus()
    wait_for(lambda: box.getState().contains(pyatspi.STATE_FOCUSED), "'Sub:' did not take the focus")
    xdotool("key", "--clearmodifiers", "ctrl+a", "ctrl+c")
    clipboard_becomes(TRIANGLE_PROCEDURE, "Ctrl+A, Ctrl+C in 'Sub:' did not copy the stored text")


def scenario_right_drag(z):
    def drag():
        z.click(10, 20)  # vertex 0
        # The press adds no vertex; every reported move adds one, at its exact position.
        z.right_drag((70, 30), [(100, 20), (50, 80)])
        z.expect_menu(False, False, "after the drag, before the next press")
        z.click(200, 200, button=3)  # a right click enables the preview and adds nothing
    polygon_road(z, drag)


def run_panel(z, item, values, button_index):
    activate(z.menu(item))
    buttons = find(z.pid, "push button", "Создать", showing=True)
    for label, value in values.items():
        box = z.box(label)
        # With no window manager nobody hands the keyboard to the window that was clicked.
        xdotool("windowfocus", "--sync", z.main_window)
        box.queryComponent().grabFocus()
        wait_for(lambda: box.getState().contains(pyatspi.STATE_FOCUSED),
                 f"'{label}' did not take the focus")
        xdotool("key", "--clearmodifiers", "ctrl+a")
        xdotool("type", "--delay", "30", "--", value)
        wait_for(lambda: text_of(box) == value, f"typing {value!r} into '{label}' did not land")
    shot(f"panel-{button_index}")
    activate(buttons)


def check_procedure(z, expected, what):
    wait_for(lambda: is_sensitive(z.menu("Код")), f"{what}: Код stayed disabled")
    activate(z.menu("Код"))
    z.code_window()
    click_node(z.box("Sub:"))
    clipboard_becomes(expected, f"{what}: wrong procedure on the clipboard")


def panel_covers_the_outline(z):
    """The ellipse panel is opaque: its pixels over a traced line equal its pixels over an empty
    surface. Two clicks beside the panel draw a line across it and keep both commands off."""
    activate(z.menu("Окружность"))
    panel = wait_for(lambda: find_all(z.pid, name="Параметры", showing=True),
                     "'Окружность' did not show its panel")[0]
    x, y, width, height = settled_extents(panel)
    sx, sy, _, _ = extents(z.surface)
    move_to(sx + width + 8, sy + 5)  # no hover on the panel
    time.sleep(0.3)
    # The focused box's caret blinks: the boxes, opaque in any case, are left out.
    boxes = [extents(b) for b in find_all(z.pid, "text", showing=True)]

    def panel_pixels():
        rows = screen_pixels(x, y, width, height)
        for bx, by, bw, bh in boxes:
            for row in rows[by - y:by - y + bh]:
                row[bx - x:bx - x + bw] = [None] * bw
        return rows
    alone = panel_pixels()
    shot("panel-alone")
    z.click(5, height + 8)
    z.click(width + 8, 5)
    z.expect_menu(False, False, "after the line across the panel")
    check([(0, 0, 0)] in screen_pixels(sx + width + 2, sy, 1, height), "no line beside the panel")
    shot("panel-over-outline")
    check(panel_pixels() == alone, "the traced line shows through the panel")


def scenario_ellipse(z):
    panel_covers_the_outline(z)
    run_panel(z, "Окружность", {}, 0)
    z.expect_menu(False, True, "after the default ellipse")
    check(not find_all(z.pid, "push button", "Создать", showing=True), "the panel stayed shown")
    preview = wait_for(lambda: window_named(PREVIEW_TITLE), "no preview after the ellipse")
    shot("default")
    # The ellipse in (7, 7, 333, 333): a circle 326 pixels across.
    expect_shape_area(preview, 3.14159 * 163 * 163, 0.03, "the default ellipse's preview")
    check_procedure(z, ellipse_procedure(100, 100, 5000, 5000), "default ellipse")
    run_panel(z, "Окружность",
              {"Отступ сверху": "-150", "Отступ слева": "300", "Высота": "2.5", "Ширина": "&H7FFF"},
              0)
    check_procedure(z, ellipse_procedure(-150, 300, 2, 32767), "typed ellipse")
    shot("typed")


def scenario_roundrect(z):
    run_panel(z, "Прямоугольник", {}, 1)
    z.expect_menu(False, True, "after the default rounded rectangle")
    check_procedure(z, roundrect_procedure(100, 100, 5000, 5000, 100, 100),
                    "default rounded rectangle")
    shot("default")
    # Boxes in the order of the panel: top, left, height, width, corner height, corner width.
    run_panel(z, "Прямоугольник",
              {"Отступ сверху": "150", "Отступ слева": "60", "Высота": "3000", "Ширина": "4500",
               "Точка закругления по высоте": "900", "Точка закругления по ширине": "600"}, 1)
    check_procedure(z, roundrect_procedure(150, 60, 3000, 4500, 900, 600),
                    "typed rounded rectangle")
    shot("typed")


def scenario_overflow(z):
    run_panel(z, "Окружность", {}, 0)
    check_procedure(z, ellipse_procedure(100, 100, 5000, 5000), "default ellipse")
    run_panel(z, "Окружность", {"Высота": "40000"}, 0)
    box = wait_for(lambda: window_named("Zarnik"), "no message box after an overflow")
    shot("message")
    wait_for(lambda: [n for n in find_all(z.pid, "label", showing=True)
                      if "'6'" in n.name and "Переполнение" in n.name],
             "the message box does not name the overflow error 6")
    xdotool("windowfocus", "--sync", box, "key", "Return")
    wait_for(lambda: window_named("Zarnik") is None, "the message box stayed after OK")
    check(z.alive(), "the program ended after the overflow")
    z.expect_menu(False, True, "after the overflow")
    # The click stopped before writing: the code window keeps the previous procedure.
    click_node(z.box("Sub:"))
    clipboard_becomes(ellipse_procedure(100, 100, 5000, 5000),
                      "the overflowing click changed the procedure text")


def scenario_reset(z):
    scenario_polygon(z)
    code = z.code_window()
    activate(z.menu("Сброс"))
    z.expect_menu(False, False, "after Сброс")
    wait_for(lambda: window_named(PREVIEW_TITLE) is None, "the preview stayed shown after Сброс")
    check(window_named(CODE_TITLE) == code, "the code window did not stay open after Сброс")
    wait_for(lambda: text_of(z.box("Sub:")) == "", "Сброс left text in the procedure box")
    check(text_of(z.box("General:")).replace("\n", CRLF) == POLYGON_DECLARATIONS,
          "Сброс changed the declarations box")
    shot("code-open")


def scenario_close_windows(z):
    # Both commands enabled at once: an outline of three vertices, then an ellipse.
    for x, y in TRIANGLE:
        z.click(x, y)
    z.expect_menu(True, False, "after the outline")
    run_panel(z, "Окружность", {}, 0)
    z.expect_menu(True, True, "after an ellipse on top of an outline")
    close_window(wait_for(lambda: window_named(PREVIEW_TITLE), "no preview after the ellipse"))
    wait_for(lambda: window_named(PREVIEW_TITLE) is None, "the preview did not close")
    z.expect_menu(False, True, "after closing the preview")
    check(z.alive(), "closing the preview ended the program")
    activate(z.menu("Код"))
    close_window(z.code_window())
    wait_for(lambda: window_named(CODE_TITLE) is None, "the code window did not close")
    z.expect_menu(False, False, "after closing the code window")
    check(z.alive(), "closing the code window ended the program")
    # The next code window is a fresh one: no procedure, the initial declarations.
    square = [(30, 30), (130, 30), (130, 130), (30, 130)]
    for x, y in square:
        z.click(x, y)
    z.expect_menu(True, False, "after a new outline")
    activate(z.menu("Пример"))
    check_procedure(z, polygon_procedure(square), "the code window opened again")
    shot("reopened")


def scenario_close_under_menu(z):
    """A close request, as a task bar sends it, while the preview's system menu is open: to the
    preview, which goes while the program goes on; then to the main window, which ends it."""
    for target in ("preview", "main"):
        for x, y in [(0, 0), (320, 0), (0, 280)]:  # a triangle over the preview's icon
            z.click(x, y)
        activate(z.menu("Пример"))
        preview = wait_for(lambda: window_named(PREVIEW_TITLE), "the preview window is not shown")
        x, y = window_origin(preview)
        move_to(x + 14, y + 13)  # its icon
        xdotool("click", 1)
        wait_for(popup_menu_shown, "a click on the preview's icon did not open its system menu")
        shot(f"menu-{target}")
        if target == "main":
            close_window(z.main_window)
            wait_for(lambda: z.proc.poll() is not None, "the program went on after its main window")
            check(z.proc.returncode == 0, f"the program ended with status {z.proc.returncode}")
            return
        close_window(preview)
        wait_for(lambda: window_named(PREVIEW_TITLE) is None, "the preview did not close")
        wait_for(lambda: not popup_menu_shown(), "the system menu stayed after its window closed")
        check(z.alive(), "closing the preview under its menu ended the program")
        z.expect_menu(False, True, "after closing the preview")


def popup_menu_shown():
    """Whether a popup (an override-redirect window, such as a menu) is on the screen."""
    d = display.Display()
    try:
        return any(w.get_attributes().override_redirect and
                   w.get_attributes().map_state == X.IsViewable
                   for w in d.screen().root.query_tree().children)
    finally:
        d.close()


def window_origin(xid):
    """The root position of a window's top-left corner."""
    d = display.Display()
    try:
        t = d.create_resource_object("window", xid).translate_coords(d.screen().root, 0, 0)
        return -t.x, -t.y
    finally:
        d.close()


def scenario_on_top(z):
    run_panel(z, "Окружность", {}, 0)
    z.expect_menu(False, True, "after the ellipse")
    activate(z.menu("Код"))
    code = z.code_window()
    check("_NET_WM_STATE_ABOVE" not in net_wm_state(code), "the code window starts on top")
    box = find(z.pid, "check box", "Окно поверх остальных", showing=True)
    click_node(box)
    wait_for(lambda: "_NET_WM_STATE_ABOVE" in net_wm_state(code),
             "the window manager was not told to keep the code window above")
    check(box.getState().contains(pyatspi.STATE_CHECKED), "the check box is not checked")
    shot("checked")
    # Above the main window even when the main window is activated.
    xdotool("windowactivate", "--sync", z.main_window)
    time.sleep(0.5)
    stack = stacking_order()
    check(stack.index(frame_of(code)) > stack.index(frame_of(z.main_window)),
          "the main window was raised above the code window that is kept on top")
    click_node(box)
    wait_for(lambda: "_NET_WM_STATE_ABOVE" not in net_wm_state(code),
             "unchecking did not take the code window off the top")


def frame_of(xid):
    """The top-level window (the manager's frame) that holds a client window."""
    d = display.Display()
    try:
        w = d.create_resource_object("window", xid)
        root = d.screen().root
        while True:
            parent = w.query_tree().parent
            if parent.id == root.id:
                return w.id
            w = parent
    finally:
        d.close()


def stacking_order():
    d = display.Display()
    try:
        return [w.id for w in d.screen().root.query_tree().children]
    finally:
        d.close()


def click_in_about(z, node):
    """Clicks a control of the about window. The place comes from the X server: under a window
    manager the toolkit may go on believing that the frameless window sits at the screen's corner,
    and report its controls' places so; their places inside the window are right."""
    window = node
    while window.parent.getRoleName() != "application":  # up to the top-level window
        window = window.parent
    we = extents(window)
    ne = extents(node)
    _, x, y = about_on_screen(z, window)
    move_to(x + ne[0] - we[0] + ne[2] // 2, y + ne[1] - we[1] + ne[3] // 2)
    xdotool("click", 1)


def about_on_screen(z, window=None):
    """The about window's X id and root position."""
    if window is None:
        window = find(z.pid, "label", "FREEWARE", showing=True)
        while window.parent.getRoleName() != "application":
            window = window.parent
    we = extents(window)
    return wait_for(lambda: window_on_screen(z.pid, we[2], we[3]),
                    "no window of the about window's size on the X server")


def window_on_screen(pid, width, height):
    """The root position of the program's viewable window of that size, once it has stopped
    moving (a window manager may still be placing it)."""
    d = display.Display()
    try:
        root = d.screen().root
        pid_atom = d.intern_atom("_NET_WM_PID")

        def search(w):
            for child in w.query_tree().children:
                prop = child.get_full_property(pid_atom, Xatom.CARDINAL)
                if prop and prop.value[0] == pid and \
                        child.get_attributes().map_state == X.IsViewable:
                    g = child.get_geometry()
                    if (g.width, g.height) == (width, height):
                        return child
                found = search(child)
                if found:
                    return found
            return None

        found = search(root)
        if not found:
            return None
        places = []
        for _ in range(3):
            t = found.translate_coords(root, 0, 0)
            places.append((-t.x, -t.y))
            time.sleep(0.2)
        return (found.id, *places[-1]) if places[0] == places[-1] else None
    finally:
        d.close()


def check_about_looks(z, web):
    """The about window's raised dialog edge, 3 pixels wide, and its two links and the maker's line
    centred on the window."""
    xid, x, y = about_on_screen(z)
    d = display.Display()
    try:
        g = d.create_resource_object("window", xid).get_geometry()
    finally:
        d.close()
    w, h = g.width, g.height
    rows = screen_pixels(x, y, w, h)
    # Outer to inner: light, highlight and face on the left and top; dark shadow, shadow and face on
    # the right and bottom; then the white client area.
    raised = [(192, 192, 192), (255, 255, 255), (192, 192, 192), (255, 255, 255)]
    sunken = [(0, 0, 0), (128, 128, 128), (192, 192, 192), (255, 255, 255)]
    edges = {"left": [rows[h // 2][i] for i in range(4)],
             "top": [rows[i][w // 2] for i in range(4)],
             "right": [rows[h // 2][w - 1 - i] for i in range(4)],
             "bottom": [rows[h - 1 - i][w // 2] for i in range(4)]}
    for side, expected in (("left", raised), ("top", raised), ("right", sunken),
                           ("bottom", sunken)):
        check(edges[side] == expected, f"the about window's {side} edge is {edges[side]}")

    window = find(z.pid, "label", "FREEWARE", showing=True)
    while window.parent.getRoleName() != "application":
        window = window.parent
    wx, _, ww, _ = extents(window)
    for name in (web, "e-mail: " + os.environ["ZARNIK_MAIL_ADDRESS"],
                 os.environ["ZARNIK_MAKER_LINE"]):
        lx, _, lw, _ = extents(find(z.pid, "label", name, showing=True))
        off = lx - wx + lw / 2 - ww / 2
        check(abs(off) <= 0.5, f"'{name}' is {off} pixels off the about window's centre line")


# The about scenario runs the program with Qt settings of the user's own that would scale it (and
# with no QT_QPA_PLATFORM): the program keeps one screen pixel to one Qt pixel for itself and hands
# the settings on to what it starts.
USER_QT_SETTINGS = {"QT_ENABLE_HIGHDPI_SCALING": "1", "QT_SCALE_FACTOR": "2",
                    "QT_SCREEN_SCALE_FACTORS": "2"}
SETTINGS = {"about": USER_QT_SETTINGS}


def scenario_about(z):
    twips = 12 if "dpi120" in os.environ["E2E_DESKTOP"] else 15
    client = (round(4980 / twips), round(4395 / twips))
    d = display.Display()
    width = d.create_resource_object("window", z.main_window).get_geometry().width
    d.close()
    check(width == client[0] and tuple(extents(z.surface)[2:]) == client,
          f"the main window is {width} px wide on the X server, its client area "
          f"{extents(z.surface)[2:]}; expected {client[0]} and {client}")

    opened = os.path.join(os.environ["X11_RUNTIME"], "opened")
    web = os.environ["ZARNIK_WEB_ADDRESS"]
    activate(z.menu("О программе..."))
    link = find(z.pid, "label", web, showing=True)
    shot("window")
    check_about_looks(z, web)
    click_in_about(z, link)
    wait_for(lambda: os.path.exists(opened), "the web link never reached the URL handler")
    with open(opened) as f:
        check(f.read().strip() == web, "the web link opened something else")
    with open(os.path.join(os.environ["X11_RUNTIME"], "opened-environment")) as f:
        handed = dict(line.split("=", 1) for line in f.read().splitlines() if "=" in line)
    for name, value in {**USER_QT_SETTINGS, "QT_QPA_PLATFORM": None}.items():
        check(handed.get(name) == value,
              f"the URL handler got {name}={handed.get(name)}, the user's own is {value}")
    wait_for(lambda: not find_all(z.pid, "label", web, showing=True),
             "the about window stayed after its link")

    # Closing the main window leaves the about window and the program running.
    activate(z.menu("О программе..."))
    find(z.pid, "label", web, showing=True)
    close_window(z.main_window)
    try:
        wait_for(lambda: window_named(MAIN_TITLE) is None, "")
    except Failure:
        named = subprocess.run(["xdotool", "search", "--name", f"^{MAIN_TITLE}$"],
                               capture_output=True, text=True).stdout.split()
        raise Failure(f"the main window {z.main_window} did not close; windows of that name now: "
                      f"{named}, program running: {z.alive()}")
    time.sleep(0.5)
    check(z.alive(), "the program ended while the about window was open")
    find(z.pid, "label", web, showing=True)
    shot("after-main-closed")
    # The about window is the program's one window now; a click on it closes it and ends the
    # program.
    click_in_about(z, find(z.pid, "label", "FREEWARE", showing=True))
    try:
        wait_for(lambda: z.proc.poll() is not None, "")
    except Failure:
        left = [n.name for n in find_all(z.pid, "label", showing=True)]
        raise Failure(f"the program kept running after its last window closed; labels still "
                      f"shown: {left}")
    check(z.proc.returncode == 0, f"the program ended with status {z.proc.returncode}")


def scenario_roads(z):
    """Every road in one run on a desktop with a window manager, which frames the windows after
    they first appear and can minimise any of them: the main window is centred on the screen and
    the code window on the main window by their outer frames, the preview takes the main window's
    outer size, and a minimised window comes back when the program shows it."""
    main = settled_outer_geometry(z.main_window)
    d = display.Display()
    screen = (0, 0, d.screen().width_in_pixels, d.screen().height_in_pixels)
    d.close()
    check_centred(main, screen, "the main window on the screen")

    # The polygon road; the code window opens centred on the main window.
    for x, y in TRIANGLE:
        z.click(x, y)
    activate(z.menu("Пример"))
    preview = wait_for(lambda: window_named(PREVIEW_TITLE), "the preview window is not shown")
    expect_shape_area(preview, 2700, 0.15, "the triangle's preview")
    activate(z.menu("Код"))
    code = wait_for(lambda: window_named(CODE_TITLE), "the code window is not shown")
    check_centred(settled_outer_geometry(code), main, "the code window on the main window")
    z.code_window()
    click_node(z.box("Sub:"))
    clipboard_becomes(TRIANGLE_PROCEDURE, "the procedure box did not copy the worked example")
    click_node(z.box("General:"))
    clipboard_becomes(POLYGON_DECLARATIONS, "the declarations box did not copy the polygon's")
    minimise(code)
    activate(z.menu("Код"))
    expect_restored(code, "the code window after Код")

    # The ellipse road, with the preview minimised before: it comes back at the main window's outer
    # size, and at 96 dpi the default ellipse (7, 7, 333, 333) fits in it whole.
    minimise(preview)
    run_panel(z, "Окружность", {}, 0)
    expect_restored(preview, "the preview after the ellipse")
    try:
        wait_for(lambda: outer_geometry(preview)[2:] == outer_geometry(z.main_window)[2:], "")
    except Failure:
        raise Failure(f"the preview's outer size {outer_geometry(preview)[2:]} is not the main "
                      f"window's {outer_geometry(z.main_window)[2:]}")
    if "dpi120" not in os.environ["E2E_DESKTOP"]:
        pixels = shape_pixels(preview)
        check(pixels == reference_pixels("E 7 7 333 333"),
              "the preview's shape is not the reference ellipse (7, 7, 333, 333)")
        _, _, width, height = outer_geometry(preview)
        check(all(x < width and y < height for x, y in pixels),
              f"the window of {width} x {height} cuts the default ellipse")
    shot("ellipse")
    check_procedure(z, ellipse_procedure(100, 100, 5000, 5000), "default ellipse")

    # The rounded-rectangle road, the same way.
    minimise(preview)
    run_panel(z, "Прямоугольник", {}, 1)
    expect_restored(preview, "the preview after the rounded rectangle")
    check_procedure(z, roundrect_procedure(100, 100, 5000, 5000, 100, 100),
                    "default rounded rectangle")

    # A new outline: its first press resets, which hides the minimised preview; "Пример" brings it
    # back.
    minimise(preview)
    for x, y in TRIANGLE:
        z.click(x, y)
    activate(z.menu("Пример"))
    expect_restored(preview, "the preview after Пример")
    expect_shape_area(preview, 2700, 0.15, "the triangle's preview")

    # The about road: a minimised about window comes back at the next "О программе...".
    activate(z.menu("О программе..."))
    about, _, _ = about_on_screen(z)
    minimise(about)
    activate(z.menu("О программе..."))
    expect_restored(about, "the about window after О программе...")
    shot("about")


def scenario_second_copy(z):
    second = subprocess.Popen([ZARNIK], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    box = wait_for(lambda: window_named("Zarnik"), "the second copy showed no message box", 20)
    wait_for(lambda: find_all(second.pid, "label", "Программа уже запущена!"),
             "the second copy's message box does not say 'Программа уже запущена!'")
    find(second.pid, "push button", "OK")  # its own caption, not Qt's translated one
    check(len(find_all(second.pid, "frame", MAIN_TITLE, showing=True)) == 0,
          "the second copy shows a main window")
    shot("message")
    xdotool("windowfocus", "--sync", box, "key", "Return")
    wait_for(lambda: second.poll() is not None, "the second copy did not end after OK")
    check(second.returncode == 0, f"the second copy ended with {second.returncode}")
    # The first copy goes on working.
    check(z.alive(), "the first copy ended")
    run_panel(z, "Окружность", {}, 0)
    check_procedure(z, ellipse_procedure(100, 100, 5000, 5000), "first copy after the refusal")


def scenario_accessibility(z):
    # Open everything that has controls: both panels' fields stay in the tree when hidden, the
    # code window and the about window are opened.
    scenario_polygon(z)
    activate(z.menu("О программе..."))
    wait_for(lambda: find_all(z.pid, "label", os.environ["ZARNIK_WEB_ADDRESS"], showing=True),
             "the about window did not open")
    shot("all-open")
    named = {}
    unnamed = []
    for a in app_nodes(z.pid):
        for n in walk(a):
            role = n.getRoleName()
            if role in ("menu item", "push button", "check box", "label", "text"):
                named.setdefault(role, []).append(n.name)
                if not n.name:
                    unnamed.append(role)
    check(not unnamed, f"controls without an accessible name: {unnamed}")
    texts = named.get("text", [])
    for box in ["General:", "Sub:", "Отступ сверху", "Отступ слева", "Высота", "Ширина",
                "Точка закругления по высоте", "Точка закругления по ширине"]:
        check(box in texts, f"no text box named '{box}'; text boxes: {texts}")
    check(sorted(texts) == sorted(["General:", "Sub:"] + ["Отступ сверху", "Отступ слева",
                                                          "Высота", "Ширина"] * 2 +
                                  ["Точка закругления по высоте",
                                   "Точка закругления по ширине"]),
          f"unexpected text boxes: {texts}")
    check(named.get("push button", []).count("Создать") == 2, "the panels' buttons are unnamed")
    # Every window is a window to a screen reader, named by its caption or, for the about window
    # that has none, by its title line.
    windows = [(n.getRoleName(), n.name) for a in app_nodes(z.pid)
               for n in (a.getChildAtIndex(i) for i in range(a.childCount)) if is_showing(n)]
    for role, name in [("frame", MAIN_TITLE), ("frame", CODE_TITLE), ("frame", PREVIEW_TITLE),
                       ("dialog", ABOUT_TITLE)]:
        check((role, name) in windows, f"no {role} named '{name}'; windows: {windows}")
    check("Окно поверх остальных" in named.get("check box", []),
          f"no check box named 'Окно поверх остальных': {named.get('check box')}")
    labels = named.get("label", [])
    for caption in ["General:", "Sub:", "Отступ сверху", "FREEWARE"]:
        check(caption in labels, f"no label '{caption}'; labels: {labels}")
    # Every command can be reached: each menu item offers an action.
    for item in find_all(z.pid, "menu item"):
        check(item.queryAction().nActions > 0, f"menu item '{item.name}' has no action")
    # Qt's own texts speak Russian, as the menu of a text box.
    items = popup_items(lambda: click_node(z.box("Sub:"), button=3))
    shot("text-menu")
    check(items == ["Копировать", "", "Выделить всё"], f"the text box's menu reads {items}")
    xdotool("key", "Escape")


# --- the menu bar at the desktop's font and from the keyboard ------------------------------------

MENU_ITEMS = ["Создать", "Пример", "Код", "Сброс", "О программе..."]


def key(*keys):
    xdotool("key", "--delay", "150", *keys)
    time.sleep(0.4)


def focus_main(z):
    """Hands the keyboard to the main window, through the window manager when there is one."""
    verb = "windowactivate" if "wm" in os.environ["E2E_DESKTOP"].split("+") else "windowfocus"
    xdotool(verb, "--sync", z.main_window)
    time.sleep(0.3)


def client_rect(xid):
    """A window's inside on the screen, as the X server has it."""
    d = display.Display()
    try:
        w = d.create_resource_object("window", xid)
        g = w.get_geometry()
        t = w.translate_coords(d.screen().root, 0, 0)
        return -t.x, -t.y, g.width, g.height
    finally:
        d.close()


def preview_aside():
    """Moves the shown preview window off the main window, where it would take the clicks."""
    xid = wait_for(lambda: window_named(PREVIEW_TITLE), "the preview window is not shown")
    xdotool("windowmove", "--sync", xid, 850, 500)
    time.sleep(0.3)


def panel_shown(z):
    return bool(find_all(z.pid, "push button", "Создать", showing=True))


def about_shown(z):
    return bool(find_all(z.pid, "label", "FREEWARE", showing=True))


def scenario_menu_bar(z):
    """Every item of the bar lies inside the window, however many lines it takes, and each is
    pressed once by the mouse and once by its access key."""
    wx, wy, ww, wh = client_rect(z.main_window)
    for name in MENU_ITEMS:
        x, y, w, h = settled_extents(z.menu(name))
        check(wx <= x and x + w <= wx + ww and wy <= y and y + h <= wy + wh,
              f"menu item '{name}' at {(x, y, w, h)} is not inside the window {(wx, wy, ww, wh)}")
    shot("main")

    click_node(z.menu("Создать"))
    click_node(find(z.pid, "menu item", "Окружность", showing=True))
    wait_for(lambda: panel_shown(z), "Окружность chosen by mouse showed no panel")
    click_node(z.menu("Сброс"))
    wait_for(lambda: not panel_shown(z), "Сброс by mouse left the panel shown")
    for x, y in TRIANGLE:
        z.click(x, y)
    z.expect_menu(True, False, "after the outline")
    click_node(z.menu("Пример"))
    z.expect_menu(False, True, "after Пример by mouse")
    preview_aside()
    click_node(z.menu("Код"))
    code = z.code_window()
    click_node(z.menu("Сброс"))
    z.expect_menu(False, False, "after Сброс by mouse")
    click_node(z.menu("О программе..."))
    wait_for(lambda: about_shown(z), "О программе... by mouse showed no about window")
    click_in_about(z, find(z.pid, "label", "FREEWARE", showing=True))
    wait_for(lambda: not about_shown(z), "the about window stayed after a click")

    focus_main(z)
    key("alt+Cyrillic_es")
    find(z.pid, "menu item", "Окружность", showing=True)
    key("Return")
    wait_for(lambda: panel_shown(z), "Alt+С, Enter showed no panel")
    key("alt+Cyrillic_es", "alt+Cyrillic_es", "Return")
    wait_for(lambda: not panel_shown(z), "Alt+С twice and Enter did not reset")
    for x, y in TRIANGLE:
        z.click(x, y)
    z.expect_menu(True, False, "after the second outline")
    focus_main(z)
    key("alt+Cyrillic_pe")
    z.expect_menu(False, True, "after Alt+П")
    wait_for(lambda: window_named(PREVIEW_TITLE), "Alt+П showed no preview")
    focus_main(z)
    key("alt+Cyrillic_ka")
    wait_for(lambda: int(xdotool("getwindowfocus")) == code, "Alt+К did not bring the code window up")
    focus_main(z)
    key("alt+Cyrillic_o")
    wait_for(lambda: about_shown(z), "Alt+О showed no about window")
    shot("about")


def scenario_menu_keys(z):
    """The ellipse road with the keyboard alone, then the key С that Создать and Сброс share: it
    never runs Сброс by itself."""
    focus_main(z)
    key("alt+Cyrillic_es")
    find(z.pid, "menu item", "Окружность", showing=True)
    key("Return")
    button = find(z.pid, "push button", "Создать", showing=True)
    for _ in range(8):
        if button.getState().contains(pyatspi.STATE_FOCUSED):
            break
        key("Tab")
    check(button.getState().contains(pyatspi.STATE_FOCUSED), "Tab never reached Создать")
    key("space")  # presses the focused button
    z.expect_menu(False, True, "after the ellipse from the keyboard")
    preview_aside()
    focus_main(z)
    key("alt+Cyrillic_ka")
    z.code_window()

    for x, y in TRIANGLE:
        z.click(x, y)
    z.expect_menu(True, False, "after the outline")
    points = text_of(z.box("Sub:"))
    check(points.startswith("XY(0)"), f"the outline wrote {points!r}")
    focus_main(z)
    key("alt+Cyrillic_es")
    find(z.pid, "menu item", "Окружность", showing=True)
    key("alt+Cyrillic_es")
    wait_for(lambda: not find_all(z.pid, "menu item", "Окружность", showing=True),
             "the second Alt+С left the menu open")
    shot("highlighted")
    check(z.menu_states() == (True, False) and text_of(z.box("Sub:")) == points,
          "the second Alt+С ran Сброс")
    key("Return")
    z.expect_menu(False, False, "Enter on the highlighted Сброс")
    wait_for(lambda: text_of(z.box("Sub:")) == "", "Сброс left the point lines")


SCENARIOS = {name[len("scenario_"):]: f for name, f in globals().items()
             if name.startswith("scenario_")}


def main():
    z = Zarnik(SETTINGS.get(SCENARIO))
    try:
        SCENARIOS[SCENARIO](z)
    except Failure as failure:
        shot("failure")
        print(f"FAIL ({SCENARIO}): {failure}")
        return 1
    finally:
        if z.alive():
            z.proc.terminate()
            z.proc.wait(10)
    print(f"ok: {SCENARIO}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
