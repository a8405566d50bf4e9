// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheet: the description, the notes, the five option groups and the eight score fields
// with the desktop's captions, choices, defaults, order and focus rules, and Compute. Every
// rule (the key filter, the length limit, the notes rule, the checks and their messages) is the
// core's; this file only wires the controls to it.
import type { CaseValues, Computed, Core, ScoringOptions, WorksheetTexts } from "./core";
import type { MessageBox } from "./dialog";
import { button, element, insertText } from "./dom";

const FIELD_IDS = [
  "txtInput1", "txtInput2", "txtInput3", "txtInput4",
  "txtInput5", "txtInput6", "txtInput7", "txtinput8",
];
// The option groups in tab order, as the desktop's (the worksheet shows them in another order).
const TAB_ORDER = ["RadioGroup1", "RadioGroup2", "RadioGroup3", "GroupBox1", "RadioGroup4"];
const REMEMBERED_KEY = "orvale.txt";

export interface WorksheetHooks {
  memoText(): string; // the results memo, which Compute appends to
  decimalSeparator(): string;
  computed(result: Computed): void;
  changed(): void; // an entry, an option or the notes changed
}

export class Worksheet {
  readonly root: HTMLElement;
  readonly computeButton: HTMLButtonElement;
  readonly clearButton: HTMLButtonElement;
  private readonly fields: HTMLInputElement[];
  private readonly notes: HTMLTextAreaElement;
  private readonly groups = new Map<string, HTMLInputElement[]>();
  private pointerFocus = false;
  private windowLeft = false;

  constructor(
    private readonly core: Core,
    private readonly texts: WorksheetTexts,
    private readonly box: MessageBox,
    private readonly hooks: WorksheetHooks,
  ) {
    this.fields = FIELD_IDS.map((id) => this.scoreField(id));
    this.notes = this.notesBox();
    this.computeButton = button("cmdCompute", "Compute");
    this.clearButton = button("btnclearData", "Clear Data ");
    this.computeButton.addEventListener("click", () => void this.compute());
    this.clearButton.addEventListener("click", () => this.clearData());
    this.root = this.build();
    this.root.addEventListener("keydown", (event) => {
      if (event.ctrlKey && event.key === "Enter") {
        event.preventDefault();
        void this.compute();
      }
    });
    this.root.addEventListener("change", () => this.hooks.changed());
    window.addEventListener("blur", () => (this.windowLeft = true));
    window.addEventListener("focus", () => (this.windowLeft = false));
  }

  private build(): HTMLElement {
    const captions = this.texts.subtestCaptions;
    const scores = element(
      "div",
      { id: "scoreFields" },
      ...this.fields.map((field, k) =>
        element("div", { class: "score" }, element("label", { for: field.id }, captions[k]), field),
      ),
    );
    const options = element("div", { id: "options" }, ...TAB_ORDER.map((name) => this.optionGroup(name)));
    const notesRow = element(
      "div",
      { id: "Panel3" },
      element("label", { id: "lblComments", for: "memoComments" }, this.texts.notesCaption),
      this.notes,
      element("p", { id: "notesHint", class: "hint" }, "Up to 250 characters, printed at the top of the report"),
    );
    return element(
      "section",
      { id: "frmTemplate", "aria-label": "Worksheet" },
      element("p", { id: "DescripFld" }, this.texts.description),
      element("div", { id: "Panel1" }, scores, options),
      notesRow,
      element("div", { id: "pan1" }, this.computeButton, this.clearButton),
    );
  }

  private optionGroup(name: string): HTMLElement {
    const group = this.texts.optionGroups.find((g) => g.name === name)!;
    const legend = element("legend", {}, group.caption);
    const set = element("fieldset", { id: name }, legend);
    if (group.description) {
      const hint = element("span", { id: `${name}Hint`, class: "hint" }, group.description);
      set.setAttribute("aria-describedby", hint.id);
      set.append(hint);
    }
    const radios = group.items.map((item, k) => {
      const radio = element("input", { type: "radio", name, value: String(k) });
      radio.checked = k === 0;
      set.append(element("label", {}, radio, item));
      return radio;
    });
    this.groups.set(name, radios);
    return set;
  }

  private scoreField(id: string): HTMLInputElement {
    const field = element("input", {
      id, type: "text", inputmode: "decimal", autocomplete: "off", spellcheck: "false",
    });
    let previous = { value: "", start: 0, end: 0 };
    const remember = (): void => {
      previous = { value: field.value, start: field.selectionStart ?? 0, end: field.selectionEnd ?? 0 };
    };
    // Text that comes in (typed, pasted, dropped) goes through the key filter first.
    field.addEventListener("beforeinput", (event) => {
      remember();
      if (!event.inputType.startsWith("insert") || event.isComposing) return;
      const text = event.data ?? event.dataTransfer?.getData("text/plain") ?? "";
      const inserted = this.core.filterEntryText(text);
      if (inserted === text) return;
      event.preventDefault();
      if (inserted === null) {
        void this.box.show(this.texts.numericOnlyMessage, "Warning", field);
      } else {
        insertText(field, inserted);
      }
    });
    field.addEventListener("input", () => this.afterInput(field, previous));
    field.addEventListener("mousedown", () => (this.pointerFocus = true));
    field.addEventListener("focus", () => {
      // The keyboard's and the program's focus select the whole text, so that the next key
      // replaces it; a click places the caret, and a return to the window leaves it as it was.
      if (!this.pointerFocus && !this.windowLeft && !this.box.returning) field.select();
      this.pointerFocus = false;
    });
    return field;
  }

  // After any change of a field's text: what came in by a way the key filter did not see (an
  // input method, autofill) is checked as a whole, then the length limit applies.
  private afterInput(field: HTMLInputElement, previous: { value: string; start: number; end: number }): void {
    const filtered = this.core.filterEntryText(field.value);
    if (filtered === null) {
      field.value = previous.value;
      field.setSelectionRange(previous.start, previous.end);
      void this.box.show(this.texts.numericOnlyMessage, "Warning", field);
      return;
    }
    if (filtered !== field.value) field.value = filtered;
    const limited = this.core.limitEntryText(field.value);
    if (limited !== field.value) {
      field.value = limited;
      void this.box.show(this.texts.maxLengthMessage, "Warning", field).then(() => field.select());
      field.select();
    }
    this.hooks.changed();
  }

  private notesBox(): HTMLTextAreaElement {
    const notes = element("textarea", {
      id: "memoComments", rows: "1", spellcheck: "false", "aria-describedby": "notesHint",
    });
    const max = this.texts.maxNotesLength;
    notes.addEventListener("beforeinput", (event) => {
      if (!event.inputType.startsWith("insert") || event.isComposing) return;
      const text = event.inputType === "insertLineBreak" || event.inputType === "insertParagraph"
        ? "\n"
        : event.data ?? event.dataTransfer?.getData("text/plain") ?? "";
      const selected = notes.value.slice(notes.selectionStart, notes.selectionEnd);
      const room = max - (this.core.notesCharacters(notes.value) - this.core.notesCharacters(selected));
      const kept = this.core.notesInsertable(text, room);
      if (kept === text) return;
      event.preventDefault();
      if (kept !== "") insertText(notes, kept);
    });
    notes.addEventListener("input", () => {
      // What an input method composed is held to the same rule once it is in.
      const kept = this.core.notesInsertable(notes.value, max);
      if (kept !== notes.value) notes.value = kept;
      this.hooks.changed();
    });
    // One line tall, grown while it is edited with more than one line or after Enter.
    const grow = (force: boolean): void => {
      if (force || notes.value.includes("\n") || notes.scrollHeight > notes.clientHeight + 2) {
        notes.classList.add("expanded");
      }
    };
    notes.addEventListener("focus", () => grow(false));
    notes.addEventListener("keyup", (event) => grow(event.key === "Enter"));
    // Shrunk when left; when left by pressing a button below it, only once the press has ended,
    // so that the button does not move away from under the pointer before the click lands.
    let pointerDown = false;
    document.addEventListener("pointerdown", () => (pointerDown = true), true);
    document.addEventListener("pointerup", () => (pointerDown = false), true);
    const shrink = (): void => {
      if (document.activeElement !== notes) notes.classList.remove("expanded");
    };
    notes.addEventListener("blur", () => {
      if (!pointerDown) shrink();
      else document.addEventListener("click", () => setTimeout(shrink), { once: true, capture: true });
    });
    return notes;
  }

  options(): ScoringOptions {
    const index = (name: string): number => this.groups.get(name)!.findIndex((radio) => radio.checked);
    return {
      confidenceMethod: index("RadioGroup2"),
      trueScoreDifferences: index("RadioGroup3") === 1,
      applyBonferroni: index("RadioGroup1") === 1,
      calculateGai: index("RadioGroup4") === 0,
      cutoffIndex: index("GroupBox1") + 1,
    };
  }

  values(): CaseValues {
    return { entries: this.fields.map((field) => field.value), options: this.options(), notes: this.notes.value };
  }

  // Puts a case into the controls and selects the first field, as opening a case file does.
  show(values: CaseValues): void {
    this.fields.forEach((field, k) => (field.value = values.entries[k]));
    const o = values.options;
    const choose = (name: string, item: number): void => {
      this.groups.get(name)![item].checked = true;
    };
    choose("RadioGroup2", o.confidenceMethod);
    choose("RadioGroup3", o.trueScoreDifferences ? 1 : 0);
    choose("RadioGroup1", o.applyBonferroni ? 1 : 0);
    choose("RadioGroup4", o.calculateGai ? 0 : 1);
    choose("GroupBox1", o.cutoffIndex - 1);
    this.notes.value = values.notes;
    this.focusField(0);
  }

  focusField(k: number): void {
    this.fields[k].focus();
    this.fields[k].select();
  }

  // Each time the worksheet is shown: an empty first field takes the focus; otherwise the focus
  // stays where it was (the first field at start), a score field that has it selected whole.
  shown(previousFocus: HTMLElement | null): void {
    if (this.fields[0].value === "" || previousFocus === null || !this.root.contains(previousFocus)) {
      this.focusField(0);
      return;
    }
    previousFocus.focus();
    if (previousFocus instanceof HTMLInputElement && this.fields.includes(previousFocus)) previousFocus.select();
  }

  // The remembered scores of the last valid Compute, into the fields at start.
  loadRemembered(): void {
    const content = readStorage();
    if (content === null) return;
    const read = this.core.readRemembered(content);
    read.fields.forEach((text, k) => (this.fields[k].value = text));
    if (read.error) void this.box.show(read.error, this.texts.title);
  }

  async compute(): Promise<void> {
    const result = this.core.compute({
      ...this.values(),
      decimalSeparator: this.hooks.decimalSeparator(),
      memo: this.hooks.memoText(),
    });
    if ("field" in result) {
      await this.box.show(result.message, "Warning", this.fields[result.field]);
      this.focusField(result.field);
      return;
    }
    if ("error" in result) {
      await this.box.show(result.error, this.texts.title);
      return;
    }
    const stored = writeStorage(result.remembered);
    if (stored) await this.box.show(`The scores could not be saved in this browser: ${stored}`, this.texts.title);
    for (const warning of result.warnings) await this.box.show(warning);
    this.hooks.computed(result);
  }

  clearData(): void {
    for (const field of this.fields) field.value = "";
    this.notes.value = "";
    try {
      localStorage.removeItem(REMEMBERED_KEY);
    } catch {
      // Storage that cannot be reached holds nothing to forget; the fields are empty all the same.
    }
    this.hooks.changed();
    this.focusField(0);
  }
}

function readStorage(): string | null {
  try {
    return localStorage.getItem(REMEMBERED_KEY);
  } catch {
    return null;
  }
}

// Stores the remembered scores; the reason when the browser refused them.
function writeStorage(line: string): string | null {
  try {
    localStorage.setItem(REMEMBERED_KEY, line);
    return null;
  } catch (error) {
    return error instanceof Error ? error.message : String(error);
  }
}
