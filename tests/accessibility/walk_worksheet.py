# SPDX-License-Identifier: GPL-3.0-or-later
"""Walks the running program's accessibility tree as a screen reader would: every control of the
worksheet has its name, then one full Compute is driven by accessible actions alone and the
report is read back from the results viewer. Exit status 77 when the bus cannot be reached."""
import sys
import time

import pyatspi

CAPTIONS = [
    "BLOCK DESIGN subtest scaled score:", "SIMILARITIES subtest scaled score:",
    "DIGIT SPAN subtest scaled score:", "CODING subtest scaled score:",
    "VOCABULARY subtest scaled score:", "LETTER-NUMBER SEQ subtest scaled score:",
    "MATRIX REASONING subtest scaled score:", "SYMBOL SEARCH subtest scaled score:",
]
OPTION_NAMES = [
    "95% CLs using traditional method", "90% CLs using traditional method",
    "95% CLs using Glutting (estimated true score) method",
    "90% CLs using Glutting (estimated true score) method", "Between observed scores",
    "Between estimated true scores", "Yes", "No", "Do NOT apply Bonferroni",
    "Apply sequential Bonferroni", "5% of population", "10% of population", "15% of population",
]
GROUPS = ["95% or 90% CLs using traditional or Glutting method...", "Reliability of differences...",
          "Calculate GAI...", "An abnormally low score (and abnormally large difference) is "
          "defined as being exhibited by less than.."]
failures = []


def check(holds, what):
    if not holds:
        failures.append(what)
        print("FAIL:", what)


def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def find_application(pid, seconds=30):
    deadline = time.time() + seconds
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            try:
                if app is not None and app.get_process_id() == pid:
                    return app
            except Exception:
                pass
        time.sleep(0.3)
    return None


def named(app, role, name):
    for node in walk(app):
        if node.getRole() == role and node.name.strip() == name.strip():
            return node
    return None


def press(node):
    actions = node.queryAction()
    for i in range(actions.nActions):
        if actions.getName(i) in ("Press", "press", "Toggle", "toggle", "SetFocus"):
            actions.doAction(i)
            return True
    return actions.nActions > 0 and actions.doAction(0)


def main():
    pid = int(sys.argv[1])
    try:
        app = find_application(pid)
    except Exception as error:  # the accessibility bus is not there
        print("SKIP: the accessibility bus cannot be reached:", error)
        return 77
    if app is None:
        print("SKIP: the program did not appear on the accessibility bus")
        return 77

    fields = [named(app, pyatspi.ROLE_TEXT, caption) for caption in CAPTIONS]
    for caption, field in zip(CAPTIONS, fields):
        check(field is not None, "a text field named " + repr(caption))
    for name in OPTION_NAMES:
        check(named(app, pyatspi.ROLE_RADIO_BUTTON, name) is not None, "option " + repr(name))
    group_names = [node.name.strip() for node in walk(app)
                   if node.getRole() in (pyatspi.ROLE_PANEL, pyatspi.ROLE_GROUPING)]
    for name in GROUPS:
        check(name.strip() in group_names, "option group " + repr(name))
    for name in ("Compute", "Clear Data", "Exit"):
        check(named(app, pyatspi.ROLE_PUSH_BUTTON, name) is not None, "button " + repr(name))
    notes = named(app, pyatspi.ROLE_TEXT, "User's Notes:")
    check(notes is not None, "the notes box")
    if failures:
        return 1

    # One Compute by accessible actions only.
    for field, score in zip(fields, ["10", "15", "10", "10", "16", "10", "10", "10"]):
        field.queryEditableText().setTextContents(score)
    notes.queryEditableText().setTextContents("Read by a screen reader")
    press(named(app, pyatspi.ROLE_RADIO_BUTTON, "90% CLs using traditional method"))
    press(named(app, pyatspi.ROLE_PUSH_BUTTON, "Compute"))
    report = None
    deadline = time.time() + 15
    while report is None and time.time() < deadline:
        time.sleep(0.3)
        report = named(app, pyatspi.ROLE_TEXT, "Report")
        if report is not None and report.queryText().characterCount == 0:
            report = None
    check(report is not None, "the results viewer's report after Compute")
    if report is not None:
        text = report.queryText().getText(0, -1)
        check("User's Notes: Read by a screen reader" in text, "the notes in the report")
        check("90%" in text and " INPUTS:" in text, "the 90% limits in the report")
        back = named(app, pyatspi.ROLE_PUSH_BUTTON, "Return to Worksheet")
        check(back is not None and back.getState().contains(pyatspi.STATE_FOCUSED),
              "the focus on Return to Worksheet")
    # No control on either window that a screen reader would announce without a name.
    controls = (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_CHECK_BOX,
                pyatspi.ROLE_TEXT, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SPIN_BUTTON,
                pyatspi.ROLE_MENU)
    for node in walk(app):
        if node.getRole() in controls and node.getState().contains(pyatspi.STATE_SHOWING):
            check(node.name.strip() != "", "a name for a " + node.getRoleName())
    print("accessibility: %d failed" % len(failures))
    return 1 if failures else 0


sys.exit(main())
