#pragma once

// The command state: whether "&Пример" (MakeBut) and "&Код" (Program) are enabled. The two menu
// actions are its only store: a handler that changes it reads both flags, asks the rule of its
// event and writes the answer back.
struct Commands {
    bool makeBut = false;
    bool program = false;
    bool operator==(const Commands &) const = default;

    // A mouse-down on the main window, any button, before anything else: "&Пример" once the
    // outline has two vertices.
    static Commands mouseDown(Commands now, int pointCount) {
        return {now.makeBut || pointCount > 1, now.program};
    }
    // The same mouse-down finding code generated: it starts over, "&Код" off before the reset.
    static Commands startOver(Commands now) { return {now.makeBut, false}; }
    static Commands reset(Commands) { return {}; }
    // "&Пример" itself: off, and "&Код" on for an outline of more than two vertices.
    static Commands polygon(Commands now, int pointCount) {
        return {false, now.program || pointCount > 2};
    }
    // An ellipse or a rounded rectangle generated.
    static Commands shape(Commands now) { return {now.makeBut, true}; }
    static Commands codeWindowClosed(Commands) { return {}; }
    static Commands previewClosed(Commands now) { return {false, now.program}; }
};
