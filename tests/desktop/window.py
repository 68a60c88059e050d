"""The window program as a user meets it, driven through AT-SPI by its German captions.

    window.py PAGEWRIGHT SAMPLES_FOLDER RECOVERY_FOLDER SCREENSHOT_FOLDER

1. Start without a file, answer the sample question with Yes: the caption names test.pk2
   without a change mark; "Datei" lists every command in order; a screenshot is saved.
   Closing asks nothing.
2. Start after a crash (a recovery copy of the sample, changed): the copy is offered and
   restored, the caption shows the change mark; closing asks to save, No ends the program
   normally, and the recovery copy is gone.
"""

import os
import shutil
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from atspidriver import Program, fail, run, screenshot, wait_for  # noqa: E402

program, samples, recovery, shots = sys.argv[1:5]

FILE_MENU = [
    "Neu", "Öffnen...", "Speichern", "Speichern unter...", "-",
    "Export als CSV Datei...", "-",
    "Artikel aus CSV Datei importieren...",
    "Artikel aus CSV Datei importieren (1. Spalte ist Kategoriename)...",
    "Informationen zum Import Dateiformat...", "-",
    "Kategorien importieren...", "Informationen zum Kategorien Import Dateiformat...", "-",
    "Als PDF Datei exportieren...", "-",
    "Seiten als Bilder exportieren...", "-",
    "Als HTML Blätterkatalog exportieren...", "-",
    "Preisliste erzeugen...", "-",
    "Drucken", "Einzelne Seite drucken...", "Drucker einrichten", "-",
]
TABS = ["Produkte", "Voreinstellungen", "Katalog erzeugen", "Layout", "Hintergrund", "Logo"]
SAVE_PROMPT = "Speichern"


def first_start():
    app = Program([program], samples, "Pagewright")
    try:
        main = app.window("Orvanto Pagewright 1.0")
        app.answer("Testdatei öffnen?", "Yes")
        wait_for("the sample in the caption", lambda: main.name.endswith("- [test.pk2]"))

        for tab in TABS:
            app.find(main, tab, roles=("page tab",))
        for button in ["Öffnen...", "Speichern", "Speichern unter...", "Drucken", "Beenden"]:
            app.find(main, button, roles=("push button",))

        datei = app.find(main, "Datei", roles=("menu item",))
        app.press(datei)
        menu = datei.getChildAtIndex(0)
        items = wait_for(
            "the items of Datei",
            lambda: (lambda shown: shown if "Beenden" in shown else None)(app.menu_items(menu)),
        )
        # The recent-file list sits between the print group and "Beenden".
        head = items[: len(FILE_MENU)]
        if head != FILE_MENU or items[-1] != "Beenden":
            fail("Datei lists %r" % items)
        if not any("test.pk2" in i for i in items[len(FILE_MENU):-1]):
            fail("the sample is not among the recent files: %r" % items)
        time.sleep(0.5)  # the open menu is painted after its items are known
        screenshot(os.path.join(shots, "desktop-datei.png"))
        app.press(datei)  # closes the menu again

        screenshot(os.path.join(shots, "desktop-main.png"))
        app.press(app.find(main, "Beenden", roles=("push button",)))
        code = app.wait_exit()
        if code != 0:
            fail("the program ended with %s" % code)
    finally:
        app.kill()


def start_after_crash():
    os.makedirs(recovery, exist_ok=True)
    sample = os.path.join(samples, "test.pk2")
    shutil.copy(sample, os.path.join(recovery, "recovery.pk2"))
    with open(os.path.join(recovery, "recovery.txt"), "w", encoding="utf-8") as f:
        f.write(sample)

    app = Program([program], samples, "Pagewright")
    try:
        main = app.window("Orvanto Pagewright 1.0")
        app.answer("Wiederherstellen", "Yes")
        wait_for("the change mark", lambda: main.name.endswith("- [test.pk2*]"))
        app.press_into_dialog(app.find(main, "Beenden", roles=("push button",)))
        app.answer(SAVE_PROMPT, "No")
        code = app.wait_exit()
        if code != 0:
            fail("the program ended with %s" % code)
        if os.path.exists(os.path.join(recovery, "recovery.pk2")):
            fail("the recovery copy is still there after a normal close")
    finally:
        app.kill()


def scenario():
    first_start()
    start_after_crash()


sys.exit(run(scenario))
