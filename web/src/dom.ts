// SPDX-License-Identifier: GPL-3.0-or-later
// Small helpers for building the page's elements and handing files to the user.

// An element with attributes and children; the text of a string child is set as text, never
// parsed as markup.
export function element<K extends keyof HTMLElementTagNameMap>(
  tag: K,
  attributes: Record<string, string> = {},
  ...children: (Node | string)[]
): HTMLElementTagNameMap[K] {
  const made = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) made.setAttribute(name, value);
  made.append(...children);
  return made;
}

export function button(id: string, caption: string): HTMLButtonElement {
  return element("button", { id, type: "button" }, caption);
}

// Offers content as a file download named name: the bytes are the text's UTF-8, unchanged.
export function download(name: string, content: string, type: string): void {
  downloadBlob(name, new Blob([content], { type }));
}

export function downloadBlob(name: string, blob: Blob): void {
  const url = URL.createObjectURL(blob);
  const link = element("a", { href: url, download: name });
  document.body.append(link);
  link.click();
  link.remove();
  // The download has taken its copy by the time the page does anything else.
  setTimeout(() => URL.revokeObjectURL(url), 10_000);
}

// Replaces the selection of a text field by text, the caret after it, and tells the field's
// listeners as typing would.
export function insertText(field: HTMLInputElement | HTMLTextAreaElement, text: string): void {
  field.setRangeText(text, field.selectionStart ?? 0, field.selectionEnd ?? 0, "end");
  field.dispatchEvent(new Event("input", { bubbles: true }));
}

// Shows a modal dialog; when it closes, the focus goes back where it was.
export function showModal(dialog: HTMLDialogElement): void {
  const before = document.activeElement instanceof HTMLElement ? document.activeElement : null;
  dialog.addEventListener("close", () => before?.focus(), { once: true });
  dialog.showModal();
}
