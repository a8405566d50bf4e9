// SPDX-License-Identifier: GPL-3.0-or-later
// The program's message boxes as one accessible modal dialog: a caption, the message (line
// breaks kept) and its buttons. Messages that come while one is shown wait their turn. When a
// box closes, the focus goes where the caller says (the field at fault), else back where it was.
export class MessageBox {
  private queue: Promise<unknown> = Promise.resolve();
  // True while a closing box gives the focus back: the control is left as the user had it, as
  // when its window is activated again.
  returning = false;

  constructor(private readonly dialog: HTMLDialogElement) {}

  // A message with one "OK" button.
  show(text: string, caption = "Warning", returnFocus?: HTMLElement): Promise<void> {
    return this.enqueue(text, caption, ["OK"], returnFocus).then(() => undefined);
  }

  // A question: resolves to the caption of the button pressed; Escape is the last button.
  ask(text: string, caption: string, buttons: string[]): Promise<string> {
    return this.enqueue(text, caption, buttons);
  }

  private enqueue(
    text: string,
    caption: string,
    buttons: string[],
    returnFocus?: HTMLElement,
  ): Promise<string> {
    const shown = this.queue.then(() => this.open(text, caption, buttons, returnFocus));
    this.queue = shown;
    return shown;
  }

  private open(
    text: string,
    caption: string,
    buttons: string[],
    returnFocus?: HTMLElement,
  ): Promise<string> {
    const before = document.activeElement instanceof HTMLElement ? document.activeElement : null;
    this.dialog.querySelector("#messageCaption")!.textContent = caption;
    this.dialog.querySelector("#messageText")!.textContent = text;
    const row = this.dialog.querySelector("#messageButtons")!;
    return new Promise((resolve) => {
      const close = (answer: string): void => {
        this.dialog.close();
        const target = returnFocus ?? before;
        this.returning = true;
        target?.focus();
        this.returning = false;
        resolve(answer);
      };
      row.replaceChildren(
        ...buttons.map((label) => {
          const button = document.createElement("button");
          button.type = "button";
          button.textContent = label;
          button.addEventListener("click", () => close(label));
          return button;
        }),
      );
      this.dialog.oncancel = (event) => {
        event.preventDefault();
        close(buttons[buttons.length - 1]);
      };
      this.dialog.showModal();
      (row.firstElementChild as HTMLButtonElement).focus();
    });
  }
}
